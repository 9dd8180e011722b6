// Directory listings and whole-file operations.
#include "MvPlatform.h"
#include "MvRegularFile.h"

#include <cstdint>

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#  define WIN32_LEAN_AND_MEAN
#  include <windows.h>
#else
#  include <cerrno>
#  include <dirent.h>

namespace {

bool endsWith(const std::string& name, const std::string& suffix) {
    return name.size() >= suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace
#endif

namespace MvPlatform {

#if defined(_WIN32)

bool listDirectory(const std::string& path, const std::string& suffix,
                   std::vector<std::string>& names, std::string& error) {
    std::string pattern = path.empty() ? std::string() : path;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += "*" + suffix;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return true;   // the directory exists but nothing matches
        error = "the directory cannot be read";
        return false;
    }
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

#else

bool listDirectory(const std::string& path, const std::string& suffix,
                   std::vector<std::string>& names, std::string& error) {
    DIR* directory = opendir(path.empty() ? "." : path.c_str());
    if (!directory) {
        error = std::error_code(errno, std::generic_category()).message();
        return false;
    }
    while (dirent* entry = readdir(directory)) {
        std::string name = entry->d_name;
        if (endsWith(name, suffix))
            names.push_back(std::move(name));
    }
    closedir(directory);
    return true;
}

#endif

// Only a regular file has a size: a folder, a device or a pipe is refused
// (and a pipe is not waited on).
bool fileSize(const std::string& path, std::uint64_t& size, std::string& error) {
    const FileCheck check = checkRegularFile(path, UINT64_MAX);
    if (!check) {
        error = "it " + check.reason;
        return false;
    }
    size = check.size;
    return true;
}

bool copyFile(const std::string& from, const std::string& to, std::string& error) {
    std::error_code code;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, code);
    if (code)
        error = code.message();
    return !code;
}

// Only files: a directory is left alone.
bool deleteFile(const std::string& path) {
    std::error_code code;
    if (std::filesystem::is_directory(path, code))
        return false;
    return std::filesystem::remove(path, code) && !code;
}

bool createDirectory(const std::string& path, std::string& error) {
    std::error_code code;
    if (std::filesystem::create_directory(path, code))
        return true;
    error = code ? code.message() : "it already exists";
    return false;
}

} // namespace MvPlatform
