#include "media/MvMovieFrames.h"

#include "morvane/Mv2DValue.h"
#include "morvane/MvGWorld.h"
#include "morvane/MvImageApi.h"

#include <cmath>

namespace {

MvTimeCode timeCodeAt(double time, double duration) {
    MvTimeCode code;
    const double seconds = std::floor(time + 1e-9);
    const long whole = static_cast<long>(seconds);
    const double rate = duration > 0 ? 1.0 / duration : 0.0;
    code.hours = static_cast<std::uint8_t>(whole / 3600 % 256);
    code.minutes = static_cast<std::uint8_t>(whole / 60 % 60);
    code.seconds = static_cast<std::uint8_t>(whole % 60);
    code.frames = static_cast<std::uint8_t>(std::floor((time - seconds) * rate + 1e-6));
    return code;
}

} // namespace

void MvSetMovieFrameTiming(MvValue* frame, double time, double duration) {
    auto* image = dynamic_cast<Mv2DValue*>(frame);
    if (!image)
        return;
    image->duration = duration;
    image->timeCode = timeCodeAt(time, duration);
}

bool MvIsImageValue(MvValue* value) {
    return value && dynamic_cast<Mv2DValue*>(value) != nullptr;
}
