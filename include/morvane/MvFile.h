// A file or a folder, named by one absolute path, and the names of
// temporary media files.
#ifndef MORVANE_MVFILE_H
#define MORVANE_MVFILE_H

#include "MvExport.h"

#include <cstdint>
#include <string>

// What the media layer reads and writes through: the native path of a file
// that may not exist yet.
struct MvFSSpec {
    std::string path;
};

// The status getFSSpec returns for a file that does not exist (yet).
constexpr std::int16_t kMvFileNotFound = -43;

class MV_EXPORT MvFile {
public:
    // The process's current directory at the time it is made.
    MvFile();
    // path made absolute against the current directory.
    explicit MvFile(const std::string& path);
    MvFile(const MvFile&) = default;
    MvFile& operator=(const MvFile&) = default;

    const std::string& path() const { return path_; }
    // The folder part of the path (the path itself when it names a folder).
    std::string folder() const;
    // Makes this path the process's current directory; false when it cannot.
    bool makeCurrent() const;

    // Fills spec for this path. Returns 0 when the file exists and
    // kMvFileNotFound when it does not (spec is usable all the same: files
    // are created through it). Any other failure (a missing or closed
    // folder, a bad name) raises its file-status text.
    std::int16_t getFSSpec(MvFSSpec& spec) const;

private:
    std::string path_;
};

MV_EXPORT MvFile* MvFileCreate();
MV_EXPORT MvFile* MvFileCreateFromPath(const char* path);
MV_EXPORT void MvFileDelete(MvFile* file);

// Names a file that does not exist yet in the current directory:
// MvTemp_<month><day>_<hours><minutes><seconds>_<n>.mov, every number
// without leading zeros, the month as JAN .. DEC, n the first sequence
// number from 0 whose file is not there. A name handed out but not yet
// written can be handed out again. Raises when the current directory
// cannot be read.
MV_EXPORT void MvCreateTempFileSpec(MvFSSpec* spec);

// Stores a volume and a directory for temporary files and returns the
// volume. Temporary files are named in the current directory all the same.
MV_EXPORT std::int16_t MvSetTempFileLocation(std::int16_t volume, std::int32_t directory);

#endif
