// Decoded movie pictures as frame values.
//
// A movie's pictures share one size and pixel format, so the converter
// keeps its swscale context from one picture to the next, and it writes
// straight into the new frame's pixel rows, which need no zeroing first.
#ifndef MORVANE_ENGINE_MVMOVIEPICTURECONVERTER_H
#define MORVANE_ENGINE_MVMOVIEPICTURECONVERTER_H

#include "media/MvFFmpeg.h"
#include "morvane/MvValue.h"

#include <string>

class MvMoviePictureConverter {
public:
    // A new frame value (owned by the caller) with the picture's pixels:
    // a frame_mono for grey pictures, a frame for all others, as image
    // files give them. path names the movie in errors.
    MvValue* frameValue(const AVFrame& picture, const std::string& path);

private:
    // The context converting pictures like picture to BGRA; null when
    // swscale has none.
    SwsContext* scalerFor(const AVFrame& picture);

    MvScalerPtr scaler_;
    int width_ = 0;
    int height_ = 0;
    int format_ = AV_PIX_FMT_NONE;
};

#endif
