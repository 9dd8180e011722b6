// The property-name vocabulary shared by every value kind.
#include "morvane/MvException.h"
#include "morvane/MvProperties.h"

#include <cstring>

namespace {

// Indexed by property id; id 0 and id 28 have no name.
const char* const kPropertyNames[MvPropertyIdCount + 1] = {
    nullptr,          "type",         "frame",       "width",
    "height",         "size",         "offset",      "length",
    "red",            "green",        "blue",        "intensity",
    "duration",       "frame_rate",   "compression", "overlay_compression",
    "depth",          "graphics_mode", "quality",    "temporal_quality",
    "name",           "movie",        "time_code",   "second",
    "minute",         "hour",         "day_of_week", "day_of_month",
    nullptr,          "month",        "year",        "mask",
    "SafeAppendMode", "trigger",      "hue",         "saturation",
    "brightness",     "black_level",  "white_level", "contrast",
    "sharpness",      "gamma",        "input",       "input_format"};

} // namespace

int MvPropertyIdFromName(const char* name) {
    if (!name)
        return 0;
    for (int id = 1; id <= MvPropertyIdCount; ++id)
        if (kPropertyNames[id] && std::strcmp(kPropertyNames[id], name) == 0)
            return id;
    return 0;
}

const char* MvPropertyNameFromId(int id) {
    if (id < 1 || id > MvPropertyIdCount || !kPropertyNames[id])
        MvRaise("Unknown property name");
    return kPropertyNames[id];
}
