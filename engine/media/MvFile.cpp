// File specifications: absolute paths, made against the current directory.
#include "morvane/MvFile.h"

#include "morvane/MvException.h"
#include "platform/MvPlatform.h"
#include "values/MvEntryGuard.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

// The source named when a status without a text of its own is reported.
const char* const kFileSource = "server/CppSrc/MvFile";

constexpr std::int16_t kIOError = -36;
constexpr std::int16_t kNoSuchVolume = -35;
constexpr std::int16_t kBadName = -37;
constexpr std::int16_t kDirectoryNotFound = -120;
constexpr std::int16_t kAccessDenied = -5000;
constexpr std::int16_t kIncompletePath = -5025;

// Raises the text of a file status other than 0 and "file not found".
[[noreturn]] void raiseFileStatus(std::int16_t status) {
    switch (status) {
    case kIOError: MvRaise("I/O error.");
    case kNoSuchVolume: MvRaise("No such volume.");
    case kBadName: MvRaise("Bad filename.");
    case kDirectoryNotFound: MvRaise("Directory not found.");
    case kAccessDenied: MvRaise("User does not have the correct access priveleges.");
    case kIncompletePath: MvRaise("AppleTalk: Directory not found or incomplete pathname.");
    default:
        MvCheckSystemError(status, __LINE__, kFileSource);
        MvRaise("Internal Error: Could not make file specification.");
    }
}

// The status of a path the system could not look at: a missing file in an
// existing folder is only "not found"; the rest say what is in the way.
std::int16_t statusOfMissing(const std::filesystem::path& path, int error) {
    switch (error) {
    case ENOENT: {
        std::error_code folderError;
        const std::filesystem::path folder = path.parent_path();
        if (std::filesystem::is_directory(folder, folderError))
            return kMvFileNotFound;
        return std::filesystem::exists(folder, folderError) ? kIncompletePath : kDirectoryNotFound;
    }
    case ENOTDIR: return kIncompletePath;
    case EACCES:
    case EPERM: return kAccessDenied;
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: return kBadName;
    case ENODEV:
    case ENXIO: return kNoSuchVolume;
    case EIO: return kIOError;
    default: return static_cast<std::int16_t>(-10000 - (error & 0x3FF));
    }
}

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

std::int16_t MvFile::getFSSpec(MvFSSpec& spec) const {
    const std::filesystem::path path(path_);
    if (path_.empty() || !path.is_absolute())
        MvRaise("Internal Error: Could not make file specification.");
    std::error_code error;
    const std::filesystem::file_status found = std::filesystem::status(path, error);
    std::int16_t status = 0;
    if (error || !std::filesystem::exists(found))
        status = statusOfMissing(path, error ? error.value() : ENOENT);
    if (status != 0 && status != kMvFileNotFound)
        raiseFileStatus(status);
    spec.path = path_;
    return status;
}

MvFile* MvFileCreate() { MV_GUARDED_ENTRY(nullptr, return new MvFile();); }

MvFile* MvFileCreateFromPath(const char* path) {
    MV_GUARDED_ENTRY(nullptr, return new MvFile(path ? path : ""););
}

void MvFileDelete(MvFile* file) { delete file; }
