// Reading files that a script, a host or a plug-in names.
//
// A name may lead to something that is no file at all: a folder, a device
// that never ends (/dev/zero), a pipe that blocks until someone writes to
// it. Everything the engine reads whole goes through these functions, which
// open without blocking, refuse anything but a regular file and refuse
// files above a size limit, so that a bad name gives an error instead of a
// hang or an exhausted memory.
#ifndef MORVANE_ENGINE_MVREGULARFILE_H
#define MORVANE_ENGINE_MVREGULARFILE_H

#include <cstdint>
#include <string>

namespace MvPlatform {

// Scripts and the files they include: far above any script written by hand
// or generated, far below what would exhaust a machine.
constexpr std::uint64_t kScriptSizeLimit = std::uint64_t(256) << 20;

enum class FileProblem {
    None,
    Missing,       // cannot be opened (absent, no permission, ...)
    Folder,
    NotRegular,    // a device, a pipe, a socket
    TooLarge,      // above the limit
    Unreadable     // opened, but reading failed
};

// The outcome of a check or a read; reason says what is wrong as the rest of
// a sentence about the file ("is a folder", "is larger than 268435456
// bytes", "cannot be opened: No such file or directory").
struct FileCheck {
    FileProblem problem = FileProblem::None;
    std::string reason;
    std::uint64_t size = 0;   // of a regular file
    explicit operator bool() const { return problem == FileProblem::None; }
};

// Whether path names a regular file of at most limit bytes, without
// reading it (and without blocking on a pipe).
FileCheck checkRegularFile(const std::string& path, std::uint64_t limit);

// The whole contents of the regular file path, of at most limit bytes.
FileCheck readRegularFile(const std::string& path, std::uint64_t limit, std::string& contents);

} // namespace MvPlatform

#endif
