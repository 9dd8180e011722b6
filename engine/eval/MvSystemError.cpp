// Messages for operating-system and media error codes.
#include "morvane/MvException.h"

#include <initializer_list>

namespace {

const char* const kSupportAddress = "support@morvane.example";

struct SystemErrorText {
    std::int16_t code;
    std::initializer_list<const char*> lines;
};

// Each line after the first is written on its own line behind three blanks.
// A line that asks the user to write in is completed by the support address.
const SystemErrorText kSystemErrors[] = {
    {-34, {"Disk is full"}},
    {-35, {"No such volume."}},
    {-36, {"I/O Error"}},
    {-37, {"Bad filename."}},
    {-43, {"File not found."}},
    {-45, {"File is locked."}},
    {-47, {"File is busy."}},
    {-108, {"Out of memory"}},
    {-120, {"Directory not found."}},
    {-2207,
     {"The video source cannot work with your current monitor color settings!",
      "Try reducing the number of colors from millions to thousands (and restarting),",
      "If this fails please inform "}},
    {-2208,
     {"The video source cannot work offscreen.",
      "Try reducing the number of colors from millions to thousands,",
      "If this fails please inform "}},
    {-5000, {"AppleTalk: User does not have the correct access privileges."}},
    {-5025, {"AppleTalk: Directory not found or incomplete pathname."}},
    {-5029, {"AppleTalk: Directory not found."}},
    {-5031, {"AppleTalk: Volume is Locked."}},
    {-8961,
     {"The chosen compressor cound not be found.",
      "(1) Try setting temporal_quality to zero. Some codec's don't like nonzero values.",
      "(2) Try choosing a different compressor.",
      "(3) Please send report to "}},
    {-9403, {"Insufficient memory is available to record."}},
    {-9404, {"Insufficient disk space is available to record."}},
    {-9405,
     {"The video source is not available.", "Please check your camera installation,",
      "or choose another camera in the preferences dialog."}},
};

bool asksForReport(const std::string& line) {
    auto endsWith = [&line](const char* tail) {
        std::string t(tail);
        return line.size() >= t.size() && line.compare(line.size() - t.size(), t.size(), t) == 0;
    };
    return endsWith("inform ") || endsWith("send report to ");
}

} // namespace

const char* MvSupportAddress() { return kSupportAddress; }

std::string MvSystemErrorText(std::int16_t code, int line, const char* sourceFile) {
    for (const SystemErrorText& entry : kSystemErrors) {
        if (entry.code != code)
            continue;
        std::string text;
        bool first = true;
        for (const char* part : entry.lines) {
            if (!first)
                text += "\n   ";
            first = false;
            text += part;
            if (asksForReport(part)) {
                text += kSupportAddress;
                text += ".";
            }
        }
        return text;
    }
    std::ostringstream text;
    text << "Caught System Error (" << code << ") at line " << line << " in file "
         << (sourceFile ? sourceFile : "") << "\n"
         << "Please send report to " << kSupportAddress << ".\n";
    return text.str();
}

void MvCheckSystemError(std::int16_t code, int line, const char* sourceFile) {
    if (code != 0)
        MvRaise(MvSystemErrorText(code, line, sourceFile));
}
