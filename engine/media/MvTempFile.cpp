// Names of temporary media files, in the current directory.
#include "morvane/MvFile.h"

#include "morvane/MvDateTime.h"
#include "morvane/MvException.h"
#include "platform/MvPlatform.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace {

const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string tempFilePath(const std::string& folder, const std::tm& when, int sequence) {
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    return folder + separator + "MvTemp_" + kMonths[when.tm_mon % 12] +
           std::to_string(when.tm_mday) + "_" + std::to_string(when.tm_hour) +
           std::to_string(when.tm_min) + std::to_string(when.tm_sec) + "_" +
           std::to_string(sequence) + ".mov";
}

bool somethingAt(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

struct TempFileLocation {
    std::int16_t volume = 0;
    std::int32_t directory = 0;
};

TempFileLocation& tempFileLocation() {
    static TempFileLocation location;
    return location;
}

} // namespace

void MvCreateTempFileSpec(MvFSSpec* spec) {
    if (!spec)
        MvRaise("Internal Error: Could not make file specification.");
    const std::string folder = MvPlatform::currentDirectory();
    if (folder.empty())
        MvRaise("Internal Error: Could not get current directory.s");
    const MvDateTime now;
    int sequence = 0;
    std::string path = tempFilePath(folder, *now.fields, sequence);
    while (somethingAt(path))
        path = tempFilePath(folder, *now.fields, ++sequence);
    MvFile(path).getFSSpec(*spec);
}

std::int16_t MvSetTempFileLocation(std::int16_t volume, std::int32_t directory) {
    tempFileLocation() = TempFileLocation{volume, directory};
    return volume;
}
