// Loading single values from files; the writer is MvValue::SaveToFile.
#include "MvValueFileProbes.h"

#include "MvBooleanValue.h"
#include "MvColorValue.h"
#include "MvDateTimeValue.h"
#include "MvListValue.h"
#include "MvNumberValue.h"
#include "MvTextValue.h"
#include "MvImageMakers.h"
#include "MvMemoryRequest.h"
#include "MvValueBodies.h"
#include "MvVectorValue.h"
#include "morvane/MvException.h"
#include "morvane/MvValueFile.h"
#include "platform/MvRegularFile.h"

#include <cstdint>

#include <fstream>

namespace {

MvValueFileProbes& probes() {
    static MvValueFileProbes installed;
    return installed;
}

bool readLittleEndian32(std::istream& in, std::uint32_t& v) {
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4))
        return false;
    v = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
        std::uint32_t(bytes[3]) << 24;
    return true;
}

// A file read whole as a text value: the same bound as a script.
constexpr std::uint64_t kTextFileLimit = MvPlatform::kScriptSizeLimit;

// Only regular files are loaded: a folder, a device or a pipe would be read
// for ever or block. A missing file and a folder are not found, as before.
void requireRegularFile(const char* path) {
    const MvPlatform::FileCheck check = MvPlatform::checkRegularFile(path, UINT64_MAX);
    if (check.problem == MvPlatform::FileProblem::Missing ||
        check.problem == MvPlatform::FileProblem::Folder)
        MvRaise(std::string("file \"") + path + "\" cannot be found.");
    if (!check)
        MvRaise(std::string("file \"") + path + "\" " + check.reason + ".");
}

} // namespace

void MvSetValueFileProbes(const MvValueFileProbes& installed) { probes() = installed; }

MvValueFileProbes::FrameExporter MvValueFileFrameExporter() { return probes().exportFrame; }

MvValue* MvNewMovieValue() {
    if (!probes().newMovie)
        MvRaise("Values of kind movie are not available in this build.");
    return probes().newMovie();
}

MvValue* MvReadFlatBody(std::uint32_t type, std::istream& in) {
    switch (type) {
    case MvTypeNumber:
        return new MvNumberValue(in);
    case MvTypeBoolean:
        return new MvBooleanValue(in);
    case MvTypeText:
        return new MvTextValue(in);
    case MvTypeVector:
        return new MvVectorValue(in);
    case MvTypeColor:
        return new MvColorValue(in);
    case MvTypeDate:
        return new MvDateTimeValue(in);
    case MvTypeFrameMono:
    case MvTypeFrame:
    case MvTypeImageMono:
    case MvTypeImage:
        if (MvInstalledImageMakers().readBody)
            return MvInstalledImageMakers().readBody(static_cast<MvTypeEnum>(type), in);
        return nullptr;
    default:
        // Kinds whose bodies this build cannot read yet, and the kinds that
        // have no body at all, are unknown to the loader.
        return nullptr;
    }
}

MvValue* ReadValue(std::istream& in) {
    std::uint32_t type;
    if (!readLittleEndian32(in, type) || type > MvTypeImage)
        return nullptr;
    if (type == MvTypeList)
        return MvListValue::read(in);
    return MvReadFlatBody(type, in);
}

MvValue* LoadValueFromFile(const char* path) {
    requireRegularFile(path);
    const MvValueFileProbes& media = probes();
    if (media.openMovieFile)
        if (MvValue* movie = media.openMovieFile(path))
            return movie;
    if (media.importImage)
        if (MvValue* image = media.importImage(path))
            return image;

    std::ifstream in(path, std::ios::binary);
    if (!in)
        MvRaise(std::string("file \"") + path + "\" cannot be found.");
    unsigned char marker[4] = {0, 0, 0, 0};
    in.read(reinterpret_cast<char*>(marker), 4);
    // A folder opens on some systems but cannot be read: it is no file.
    if (in.bad())
        MvRaise(std::string("file \"") + path + "\" cannot be found.");
    if (in.gcount() == 4 && marker[0] == 0xAA && marker[1] == 0xAA && marker[2] == 0xAA &&
        marker[3] == 0xAA) {
        MvValue* value = ReadValue(in);
        if (!value)
            MvRaise(std::string("file \"") + path + "\" is of an unknown type.");
        return value;
    }
    in.close();
    // The text is read whole, within the file limit and the memory limit.
    const MvPlatform::FileCheck check = MvPlatform::checkRegularFile(path, kTextFileLimit);
    if (check)
        MvCheckMemoryRequest(check.size, 1, "text");
    std::string whole;
    const MvPlatform::FileCheck read = MvPlatform::readRegularFile(path, kTextFileLimit, whole);
    if (!read)
        MvRaise(std::string("file \"") + path + "\" " + read.reason + ".");
    return new MvTextValue(std::move(whole));
}

MvValue* LoadValueFromURL(const char* url) {
    const MvValueFileProbes& media = probes();
    if (media.openMovieURL)
        if (MvValue* movie = media.openMovieURL(url))
            return movie;
    MvRaise(std::string("The URL \"") + url + "\" does not have a recognized ending.");
}
