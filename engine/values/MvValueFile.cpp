// Loading single values from files; the writer is MvValue::SaveToFile.
#include "MvValueFileProbes.h"

#include "MvBooleanValue.h"
#include "MvColorValue.h"
#include "MvDateTimeValue.h"
#include "MvListValue.h"
#include "MvNumberValue.h"
#include "MvTextValue.h"
#include "MvVectorValue.h"
#include "image/MvNewImageValue.h"
#include "morvane/MvException.h"
#include "morvane/MvValueFile.h"

#include <fstream>
#include <iterator>

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

} // namespace

void MvSetValueFileProbes(const MvValueFileProbes& installed) { probes() = installed; }

MvValueFileProbes::FrameExporter MvValueFileFrameExporter() { return probes().exportFrame; }

MvValue* ReadValue(std::istream& in) {
    std::uint32_t type;
    if (!readLittleEndian32(in, type) || type > MvTypeImage)
        return nullptr;
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
    case MvTypeList:
        return new MvListValue(in);
    case MvTypeFrameMono:
    case MvTypeFrame:
    case MvTypeImageMono:
    case MvTypeImage:
        return MvReadImageBody(static_cast<MvTypeEnum>(type), in);
    default:
        // Kinds whose bodies this build cannot read yet, and the kinds that
        // have no body at all, are unknown to the loader.
        return nullptr;
    }
}

MvValue* LoadValueFromFile(const char* path) {
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
    std::ifstream textIn(path);
    std::string whole((std::istreambuf_iterator<char>(textIn)), std::istreambuf_iterator<char>());
    return new MvTextValue(std::move(whole));
}

MvValue* LoadValueFromURL(const char* url) {
    const MvValueFileProbes& media = probes();
    if (media.openMovieURL)
        if (MvValue* movie = media.openMovieURL(url))
            return movie;
    MvRaise(std::string("The URL \"") + url + "\" does not have a recognized ending.");
}
