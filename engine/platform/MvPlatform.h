// Operating-system services used by the rest of the engine.
//
// Everything that differs between operating systems sits behind these
// functions; the rest of the engine is standard C++.
#ifndef MORVANE_ENGINE_MVPLATFORM_H
#define MORVANE_ENGINE_MVPLATFORM_H

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace MvPlatform {

// The process's current directory, as an absolute path.
std::string currentDirectory();
// Makes path the current directory; false when it cannot be entered.
bool setCurrentDirectory(const std::string& path);

void sleepMilliseconds(long milliseconds);

// Wall-clock milliseconds since the process started (wraps after ~49 days).
std::uint32_t elapsedMilliseconds();

// The local calendar time of when, safe to call from any thread.
void localTime(std::time_t when, std::tm& into);

// The stack of the running thread, as the system reports it: the lowest
// address it may grow down to and its whole size. False when the system
// cannot tell. Asked once per thread; later calls give the same answer.
struct StackBounds {
    std::uintptr_t lowest = 0;
    std::size_t size = 0;
};
bool currentThreadStack(StackBounds& bounds);

// The host's beep, or nothing when the host installed none.
void beep();

// The host's clipboard, or a clipboard private to the process.
void setClipboardText(const std::string& text);
std::string clipboardText();
// The bytes of the PNG file the host gives for the clipboard's picture;
// empty when it holds none.
std::string clipboardImage();

// Dynamic libraries. Handles are opaque; a loaded library is never unloaded.
using LibraryHandle = void*;
// Null when the library cannot be loaded, with the reason in error. Only a
// regular file is handed to the system's loader: a pipe or a device would
// block it or be read without end.
LibraryHandle loadLibrary(const std::string& path, std::string& error);
// The exported symbol of that plain name, or null.
void* findSymbol(LibraryHandle library, const char* name);

// The operating system and processor the engine runs on ("Linux" and
// "x86_64", "Windows" and "x86", ...).
std::string operatingSystemName();
std::string processorName();

// Files and directories; relative paths are relative to the current
// directory. The functions that can fail describe the failure in error.
// The entries of a directory (the special entries included where the system
// lists them) whose names end with suffix, in the order the file system
// gives them.
bool listDirectory(const std::string& path, const std::string& suffix,
                   std::vector<std::string>& names, std::string& error);
// The size in bytes of a regular file (a folder, a device or a pipe has none).
bool fileSize(const std::string& path, std::uint64_t& size, std::string& error);
// Copies a file, replacing an existing destination.
bool copyFile(const std::string& from, const std::string& to, std::string& error);
bool deleteFile(const std::string& path);
bool createDirectory(const std::string& path, std::string& error);

} // namespace MvPlatform

#endif
