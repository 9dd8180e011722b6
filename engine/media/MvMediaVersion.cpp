#include "morvane/MvMedia.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>

std::int32_t MvGetQuickTimeVersion() {
    const unsigned version = avformat_version();
    const unsigned major = AV_VERSION_MAJOR(version);
    const unsigned minor = std::min(AV_VERSION_MINOR(version), 255u);
    return static_cast<std::int32_t>((major & 0xFF) << 8 | minor);
}
