// Whole-file reads that refuse folders, devices, pipes and huge files.
#include "MvRegularFile.h"

#include <system_error>

#if defined(_WIN32)
#  include <filesystem>
#  include <fstream>
#else
#  include <cerrno>
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

namespace MvPlatform {

namespace {

FileCheck problem(FileProblem kind, std::string reason) {
    FileCheck check;
    check.problem = kind;
    check.reason = std::move(reason);
    return check;
}

FileCheck tooLarge(std::uint64_t limit) {
    return problem(FileProblem::TooLarge,
                   "is larger than " + std::to_string(limit) + " bytes");
}

} // namespace

#if defined(_WIN32)

FileCheck checkRegularFile(const std::string& path, std::uint64_t limit) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return problem(FileProblem::Missing, "cannot be opened");
    if (std::filesystem::is_directory(status))
        return problem(FileProblem::Folder, "is a folder");
    if (!std::filesystem::is_regular_file(status))
        return problem(FileProblem::NotRegular, "is not a regular file");
    FileCheck check;
    check.size = std::filesystem::file_size(path, error);
    if (error)
        return problem(FileProblem::Unreadable, "cannot be measured");
    if (check.size > limit)
        return tooLarge(limit);
    return check;
}

FileCheck readRegularFile(const std::string& path, std::uint64_t limit, std::string& contents) {
    FileCheck check = checkRegularFile(path, limit);
    if (!check)
        return check;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return problem(FileProblem::Missing, "cannot be opened");
    contents.resize(static_cast<std::size_t>(check.size));
    in.read(contents.data(), static_cast<std::streamsize>(contents.size()));
    contents.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return problem(FileProblem::Unreadable, "cannot be read");
    return check;
}

#else

namespace {

std::string systemReason(int code) { return std::error_code(code, std::generic_category()).message(); }

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Opens without blocking: opening a pipe for reading would otherwise wait
// for a writer. The flag does not change how a regular file is read.
FileCheck openChecked(const std::string& path, std::uint64_t limit, int& fd) {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return problem(FileProblem::Missing, "cannot be opened: " + systemReason(errno));
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return problem(FileProblem::Unreadable, "cannot be examined: " + systemReason(errno));
    if (S_ISDIR(info.st_mode))
        return problem(FileProblem::Folder, "is a folder");
    if (!S_ISREG(info.st_mode))
        return problem(FileProblem::NotRegular, "is not a regular file");
    FileCheck check;
    check.size = static_cast<std::uint64_t>(info.st_size);
    if (check.size > limit)
        return tooLarge(limit);
    return check;
}

} // namespace

FileCheck checkRegularFile(const std::string& path, std::uint64_t limit) {
    int fd = -1;
    FileCheck check = openChecked(path, limit, fd);
    Descriptor closer(fd);
    return check;
}

// Reads up to the end of the file, which may have grown or shrunk since it
// was examined; growing past the limit is refused like a large file.
FileCheck readRegularFile(const std::string& path, std::uint64_t limit, std::string& contents) {
    int fd = -1;
    FileCheck check = openChecked(path, limit, fd);
    Descriptor closer(fd);
    if (!check)
        return check;
    contents.clear();
    contents.reserve(static_cast<std::size_t>(check.size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return problem(FileProblem::Unreadable, "cannot be read: " + systemReason(errno));
        }
        if (contents.size() + static_cast<std::size_t>(got) > limit)
            return tooLarge(limit);
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    check.size = contents.size();
    return check;
}

#endif

} // namespace MvPlatform
