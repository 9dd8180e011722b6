// Images turned into pictures of one pixel format and size for an encoder.
// The converter keeps its scaler and its picture from one image to the
// next, so that a run of frames costs one conversion each and no new
// buffers.
#ifndef MORVANE_ENGINE_MVPICTURECONVERTER_H
#define MORVANE_ENGINE_MVPICTURECONVERTER_H

#include "media/MvFFmpeg.h"
#include "morvane/MvValue.h"

class MvPictureConverter {
public:
    MvPictureConverter(AVPixelFormat format, int width, int height);
    // The image's pixels in the converter's picture (scaled when the image
    // has another size). The picture stays valid until the next call; a
    // holder that keeps a reference to it makes the next call use a new
    // buffer.
    AVFrame& convert(MvValue* image);

private:
    // The scaler from BGRA pictures of width x height.
    SwsContext& scalerFrom(int width, int height);

    AVPixelFormat format_;
    int width_;
    int height_;
    MvFramePtr picture_ = MvNewFrame();
    MvScalerPtr scaler_;
    int fromWidth_ = 0;
    int fromHeight_ = 0;
};

#endif
