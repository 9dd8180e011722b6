// Operating-system services used by the rest of the engine.
//
// Everything that differs between operating systems sits behind these
// functions; the rest of the engine is standard C++.
#ifndef MORVANE_ENGINE_MVPLATFORM_H
#define MORVANE_ENGINE_MVPLATFORM_H

#include <cstdint>
#include <string>

namespace MvPlatform {

// The process's current directory, as an absolute path.
std::string currentDirectory();
// Makes path the current directory; false when it cannot be entered.
bool setCurrentDirectory(const std::string& path);

void sleepMilliseconds(long milliseconds);

// Wall-clock milliseconds since the process started (wraps after ~49 days).
std::uint32_t elapsedMilliseconds();

// The host's beep, or nothing when the host installed none.
void beep();

// The host's clipboard, or a clipboard private to the process.
void setClipboardText(const std::string& text);
std::string clipboardText();

} // namespace MvPlatform

#endif
