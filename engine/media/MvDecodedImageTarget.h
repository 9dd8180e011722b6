// A decoder that writes its picture straight into the pixels of the frame
// value it becomes, so that reading a file touches one picture-sized buffer
// instead of two: no zero-filled decoder buffer, no second pass that copies
// it into a new frame. Pictures whose pixels fit a frame's rows where they
// are (8-bit RGB, BGR, RGBA, BGRA) are finished in place; all others are
// decoded into FFmpeg's own buffers and converted as before.
#ifndef MORVANE_ENGINE_MVDECODEDIMAGETARGET_H
#define MORVANE_ENGINE_MVDECODEDIMAGETARGET_H

#include "image/MvPixelArray.h"
#include "media/MvFFmpeg.h"
#include "morvane/MvException.h"
#include "morvane/MvValue.h"

#include <memory>

class MvDecodedImageTarget {
public:
    MvDecodedImageTarget() = default;
    MvDecodedImageTarget(const MvDecodedImageTarget&) = delete;
    MvDecodedImageTarget& operator=(const MvDecodedImageTarget&) = delete;

    // Makes context take its picture buffers from this target. The target
    // must outlive the context and every picture it decodes.
    void attachTo(AVCodecContext& context);

    // Raises the memory error met while a buffer was being handed out, if
    // there was one (the decoder saw only a failed allocation).
    void raiseFailure();

    // The frame value of picture, which the attached context decoded: made
    // from the target's pixels when the decoder wrote into them, else
    // converted (MvFrameValueOfDecodedImage). path names the file in errors.
    MvValue* frameValueOf(const AVFrame& picture, const char* path);

private:
    static int getBuffer(AVCodecContext* context, AVFrame* frame, int flags);
    bool fits(AVCodecContext& context, const AVFrame& frame) const;
    int handOut(AVFrame& frame);

    MvPixelArray<bcPix> pixels_;
    bool handedOut_ = false;
    std::unique_ptr<MvException> failure_;
};

#endif
