// A file or a folder, named by one absolute path.
#ifndef MORVANE_MVFILE_H
#define MORVANE_MVFILE_H

#include "MvExport.h"

#include <string>

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

private:
    std::string path_;
};

MV_EXPORT MvFile* MvFileCreate();
MV_EXPORT MvFile* MvFileCreateFromPath(const char* path);
MV_EXPORT void MvFileDelete(MvFile* file);

#endif
