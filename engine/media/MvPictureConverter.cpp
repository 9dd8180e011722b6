#include "media/MvPictureConverter.h"

#include "image/MvYuvKernels.h"
#include "morvane/Mv2DValue.h"
#include "morvane/MvException.h"
#include "morvane/MvGWorld.h"
#include "morvane/MvImageApi.h"

#include <climits>
#include <cstddef>

namespace {

// Rows of BGRA pixels: the first and the step from one to the next.
struct BgraRows {
    const std::uint8_t* first = nullptr;
    int stride = 0;
};

// A colour frame's own pixels, when its rows lie evenly in memory (they do
// for every frame the engine makes); such a frame needs no copy.
bool frameRows(MvValue* image, int width, int height, BgraRows& rows) {
    if (image->GetType() != MvTypeFrame || width <= 0 || height <= 0)
        return false;
    const std::uint8_t* first = MvFrameColorGetLine(image, 0);
    const std::ptrdiff_t stride =
        height > 1 ? MvFrameColorGetLine(image, 1) - first : std::ptrdiff_t(width) * 4;
    if (stride < std::ptrdiff_t(width) * 4 || stride > INT_MAX ||
        MvFrameColorGetLine(image, height - 1) != first + stride * (height - 1))
        return false;
    rows.first = first;
    rows.stride = static_cast<int>(stride);
    return true;
}

// The usual case of lossy video, 4:2:0 of the frame's own even size, by the
// engine's vectorised rows; false for the others, which swscale converts.
bool kernelToYuv420(const BgraRows& rows, int width, int height, AVFrame& p) {
    const bool video = p.format == AV_PIX_FMT_YUV420P;
    if ((!video && p.format != AV_PIX_FMT_YUVJ420P) || width != p.width || height != p.height ||
        width % 2 != 0 || height % 2 != 0)
        return false;
    const auto range = video ? MvYuvKernels::Range::kVideo : MvYuvKernels::Range::kFull;
    for (int y = 0; y < height; y += 2) {
        const std::uint8_t* top = rows.first + std::ptrdiff_t(rows.stride) * y;
        std::uint8_t* luma = p.data[0] + std::ptrdiff_t(p.linesize[0]) * y;
        MvYuvKernels::bgraRowsToYuv420(top, top + rows.stride, luma, luma + p.linesize[0],
                                       p.data[1] + std::ptrdiff_t(p.linesize[1]) * (y / 2),
                                       p.data[2] + std::ptrdiff_t(p.linesize[2]) * (y / 2),
                                       width, range);
    }
    return true;
}

} // namespace

MvPictureConverter::MvPictureConverter(AVPixelFormat format, int width, int height)
    : format_(format), width_(width), height_(height) {
    picture_->format = format;
    picture_->width = width;
    picture_->height = height;
    if (av_frame_get_buffer(picture_.get(), 0) < 0)
        MvRaise("Not enough memory for a movie frame.");
}

SwsContext& MvPictureConverter::scalerFrom(int width, int height) {
    if (scaler_ && width == fromWidth_ && height == fromHeight_)
        return *scaler_;
    // Without scaling, area averaging of full-width chroma gives each
    // subsampled chroma sample the mean of the pixels it covers, and it is
    // swscale's fastest exact path from BGRA; a change of size blends.
    const bool sameSize = width == width_ && height == height_;
    const int flags = sameSize ? SWS_AREA | SWS_FULL_CHR_H_INP : SWS_BILINEAR;
    MvScalerPtr made =
        MvNewScaler(width, height, AV_PIX_FMT_BGRA, width_, height_, format_, flags);
    if (!made)
        MvRaise("Internal Error: no pixel conversion for a movie frame.");
    scaler_ = std::move(made);
    fromWidth_ = width;
    fromHeight_ = height;
    return *scaler_;
}

AVFrame& MvPictureConverter::convert(MvValue* image) {
    // The encoder may still hold the last picture; then this one gets a
    // buffer of its own.
    if (av_frame_make_writable(picture_.get()) < 0)
        MvRaise("Not enough memory for a movie frame.");
    auto* picture = dynamic_cast<Mv2DValue*>(image);
    if (!picture)
        MvRaise("The value is not a frame or image.");
    const int width = picture->GetWidth();
    const int height = picture->GetHeight();
    BgraRows rows;
    mv_auto_value<MvGWorld> copy;
    if (!frameRows(image, width, height, rows)) {
        copy = MvImageCreateGWorld(image);
        rows.first = copy->Lock();
        rows.stride = copy->getRowBytes();
    }
    if (!kernelToYuv420(rows, width, height, *picture_)) {
        const std::uint8_t* planes[4] = {rows.first, nullptr, nullptr, nullptr};
        const int strides[4] = {rows.stride, 0, 0, 0};
        sws_scale(&scalerFrom(width, height), planes, strides, 0, height, picture_->data,
                  picture_->linesize);
    }
    if (copy)
        copy->Unlock();
    return *picture_;
}
