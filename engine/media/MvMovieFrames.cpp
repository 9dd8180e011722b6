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

MvFramePtr MvPictureOfImage(MvValue* image, AVPixelFormat format, int width, int height) {
    mv_auto_value<MvGWorld> pixels(MvImageCreateGWorld(image));
    MvFramePtr picture = MvNewFrame();
    picture->format = format;
    picture->width = width;
    picture->height = height;
    if (av_frame_get_buffer(picture.get(), 0) < 0)
        MvRaise("Not enough memory for a movie frame.");
    const int fromWidth = pixels->getWidth();
    const int fromHeight = pixels->getHeight();
    MvScalerPtr scaler(sws_getContext(fromWidth, fromHeight, AV_PIX_FMT_BGRA, width, height,
                                      format, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler)
        MvRaise("Internal Error: no pixel conversion for a movie frame.");
    unsigned char* base = pixels->Lock();
    const std::uint8_t* planes[4] = {base, nullptr, nullptr, nullptr};
    const int strides[4] = {pixels->getRowBytes(), 0, 0, 0};
    sws_scale(scaler.get(), planes, strides, 0, fromHeight, picture->data, picture->linesize);
    pixels->Unlock();
    return picture;
}
