#include "media/MvDecodedImageTarget.h"

#include "image/MvNewImageValue.h"
#include "media/MvDecodedImage.h"
#include "media/MvPackedPixels.h"
#include "values/MvMemoryRequest.h"

#include <cstddef>
#include <cstdint>

namespace {

// The frame's pixels belong to the target, not to the buffer FFmpeg holds.
void keepPixels(void*, std::uint8_t*) {}

} // namespace

void MvDecodedImageTarget::attachTo(AVCodecContext& context) {
    context.opaque = this;
    context.get_buffer2 = getBuffer;
}

void MvDecodedImageTarget::raiseFailure() {
    if (failure_)
        throw failure_.release();
}

// Called by the decoder (C code) for each picture buffer: nothing may be
// thrown through it, so a memory error is kept for raiseFailure.
int MvDecodedImageTarget::getBuffer(AVCodecContext* context, AVFrame* frame, int flags) {
    MvDecodedImageTarget& target = *static_cast<MvDecodedImageTarget*>(context->opaque);
    if (target.handedOut_ || !target.fits(*context, *frame))
        return avcodec_default_get_buffer2(context, frame, flags);
    try {
        return target.handOut(*frame);
    } catch (MvException* e) {
        target.failure_.reset(e);
        return AVERROR(ENOMEM);
    }
}

// Whether the decoder may write frame into a frame's rows: a format that
// becomes BGRA in place, and a picture whose rows, as far as the decoder
// may write them (its aligned size, and the 16 bytes that FFmpeg's own
// buffers leave after a row for wide loads), lie inside the frame's rows,
// which are aligned as the decoder needs.
bool MvDecodedImageTarget::fits(AVCodecContext& context, const AVFrame& frame) const {
    constexpr std::size_t kOverread = 16;
    const AVPixelFormat format = static_cast<AVPixelFormat>(frame.format);
    if (!(context.codec->capabilities & AV_CODEC_CAP_DR1) || !MvCanConvertToBgraInPlace(format))
        return false;
    if (frame.width <= 0 || frame.height <= 0)
        return false;
    int width = frame.width, height = frame.height;
    int lineAlign[AV_NUM_DATA_POINTERS] = {0};
    avcodec_align_dimensions2(&context, &width, &height, lineAlign);
    const std::size_t stride = MvPixelArray<bcPix>::strideFor(frame.width);
    const std::size_t rowBytes =
        std::size_t(width) * std::size_t(av_get_bits_per_pixel(av_pix_fmt_desc_get(format)) / 8);
    const std::size_t align = std::size_t(lineAlign[0]);
    return height == frame.height && rowBytes + kOverread <= stride && align > 0 &&
           stride % align == 0 && MvPixelArray<bcPix>::kAlignment % align == 0;
}

int MvDecodedImageTarget::handOut(AVFrame& frame) {
    MvCheckMemoryRequest(static_cast<std::uint64_t>(frame.width) * frame.height, sizeof(bcPix),
                         "image");
    pixels_ = MvPixelArray<bcPix>(frame.width, frame.height);
    std::uint8_t* rows = reinterpret_cast<std::uint8_t*>(pixels_.data());
    frame.buf[0] = av_buffer_create(rows, pixels_.stride() * std::size_t(frame.height), keepPixels,
                                    nullptr, 0);
    if (!frame.buf[0])
        return AVERROR(ENOMEM);
    frame.data[0] = rows;
    frame.linesize[0] = static_cast<int>(pixels_.stride());
    frame.extended_data = frame.data;
    handedOut_ = true;
    return 0;
}

MvValue* MvDecodedImageTarget::frameValueOf(const AVFrame& picture, const char* path) {
    const bool inPixels = handedOut_ &&
                          picture.data[0] == reinterpret_cast<std::uint8_t*>(pixels_.data()) &&
                          picture.linesize[0] == static_cast<int>(pixels_.stride()) &&
                          picture.width == pixels_.width() && picture.height == pixels_.height();
    if (!inPixels)
        return MvFrameValueOfDecodedImage(picture, path);
    MvConvertToBgraInPlace(picture.data[0], picture.linesize[0],
                           static_cast<AVPixelFormat>(picture.format), picture.width,
                           picture.height);
    handedOut_ = false;
    return MvMakeImage(std::move(pixels_));
}
