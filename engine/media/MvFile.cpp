// File specifications: absolute paths, made against the current directory.
#include "morvane/MvFile.h"

#include "morvane/MvException.h"
#include "platform/MvPlatform.h"
#include "values/MvEntryGuard.h"

#include <filesystem>
#include <system_error>

namespace {

std::string currentDirectoryOrRaise() {
    std::string here = MvPlatform::currentDirectory();
    if (here.empty())
        MvRaise("Internal Error: Could not get current directory.s");
    return here;
}

} // namespace

MvFile::MvFile() : path_(currentDirectoryOrRaise()) {}

MvFile::MvFile(const std::string& path) {
    std::filesystem::path given(path);
    if (given.is_absolute())
        path_ = given.lexically_normal().string();
    else
        path_ = (std::filesystem::path(currentDirectoryOrRaise()) / given).lexically_normal().string();
}

std::string MvFile::folder() const {
    std::error_code error;
    if (std::filesystem::is_directory(path_, error))
        return path_;
    return std::filesystem::path(path_).parent_path().string();
}

bool MvFile::makeCurrent() const { return MvPlatform::setCurrentDirectory(folder()); }

MvFile* MvFileCreate() { MV_GUARDED_ENTRY(nullptr, return new MvFile();); }

MvFile* MvFileCreateFromPath(const char* path) {
    MV_GUARDED_ENTRY(nullptr, return new MvFile(path ? path : ""););
}

void MvFileDelete(MvFile* file) { delete file; }
