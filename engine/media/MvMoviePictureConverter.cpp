#include "media/MvMoviePictureConverter.h"

#include "image/MvNewImageValue.h"
#include "image/MvYuvKernels.h"
#include "media/MvDecodedImage.h"
#include "media/MvPackedPixels.h"
#include "values/MvMemoryRequest.h"

namespace {

// Grey and palette pictures are rare in movies and have their own rules
// (grey frames, colour tables); they go the way image files go.
bool isOrdinaryColour(AVPixelFormat format) {
    const AVPixFmtDescriptor* description = av_pix_fmt_desc_get(format);
    return description && description->nb_components > 1 &&
           !(description->flags & AV_PIX_FMT_FLAG_PAL);
}

// The rounding image files use: samples deeper than 8 bits round exactly
// to the nearest 8-bit level; 8-bit YUV takes swscale's fast unscaled
// path, whose error is far below what the codecs themselves lose.
int conversionFlags(AVPixelFormat from) {
    const AVPixFmtDescriptor* description = av_pix_fmt_desc_get(from);
    const bool deep = description && (description->comp[0].depth > 8 ||
                                      (description->flags & AV_PIX_FMT_FLAG_FLOAT));
    return deep ? SWS_POINT | SWS_ACCURATE_RND : SWS_BILINEAR;
}

// Most video is 8-bit 4:2:0; the engine's own kernel converts it faster
// than swscale does, giving each pixel pair the chroma sample it shares as
// swscale does at even heights. At odd heights swscale interpolates the
// chroma, and keeps that work.
bool isEvenYuv420(const AVFrame& picture, MvYuvKernels::Range& range) {
    const AVPixelFormat format = static_cast<AVPixelFormat>(picture.format);
    range = format == AV_PIX_FMT_YUVJ420P ? MvYuvKernels::Range::kFull : MvYuvKernels::Range::kVideo;
    return (format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P) &&
           picture.height % 2 == 0;
}

void convertYuv420(const AVFrame& picture, MvYuvKernels::Range range, std::uint8_t* rows,
                   std::ptrdiff_t stride) {
    for (int y = 0; y < picture.height; ++y)
        MvYuvKernels::yuv420RowToBgra(picture.data[0] + std::ptrdiff_t(y) * picture.linesize[0],
                                      picture.data[1] + std::ptrdiff_t(y / 2) * picture.linesize[1],
                                      picture.data[2] + std::ptrdiff_t(y / 2) * picture.linesize[2],
                                      rows + y * stride, picture.width, range);
}

[[noreturn]] void raiseUnconvertible(const std::string& path, AVPixelFormat format) {
    const char* name = av_get_pix_fmt_name(format);
    MvRaise("Could not convert the pixels of file \"" + path + "\" (" +
            (name ? name : "unknown format") + ").");
}

} // namespace

SwsContext* MvMoviePictureConverter::scalerFor(const AVFrame& picture) {
    if (!scaler_ || picture.width != width_ || picture.height != height_ ||
        picture.format != format_) {
        const AVPixelFormat from = static_cast<AVPixelFormat>(picture.format);
        scaler_ = MvNewScaler(picture.width, picture.height, from, AV_PIX_FMT_BGRA,
                              conversionFlags(from));
        width_ = picture.width;
        height_ = picture.height;
        format_ = picture.format;
    }
    return scaler_.get();
}

MvValue* MvMoviePictureConverter::frameValue(const AVFrame& picture, const std::string& path) {
    const AVPixelFormat from = static_cast<AVPixelFormat>(picture.format);
    if (!isOrdinaryColour(from))
        return MvFrameValueOfDecodedImage(picture, path.c_str());
    MvCheckMemoryRequest(static_cast<std::uint64_t>(picture.width) * picture.height,
                         sizeof(bcPix), "image");
    MvPixelArray<bcPix> pixels(picture.width, picture.height, MvPixelArray<bcPix>::Unfilled{});
    auto* rows = reinterpret_cast<std::uint8_t*>(pixels.data());
    const auto stride = static_cast<std::ptrdiff_t>(pixels.stride());
    MvYuvKernels::Range range;
    if (isEvenYuv420(picture, range))
        convertYuv420(picture, range, rows, stride);
    else if (!MvConvertPackedPixels(picture.data[0], picture.linesize[0], from, rows, stride,
                               AV_PIX_FMT_BGRA, picture.width, picture.height)) {
        SwsContext* scaler = scalerFor(picture);
        if (!scaler)
            raiseUnconvertible(path, from);
        std::uint8_t* planes[4] = {rows, nullptr, nullptr, nullptr};
        const int strides[4] = {static_cast<int>(stride), 0, 0, 0};
        if (sws_scale(scaler, picture.data, picture.linesize, 0, picture.height, planes,
                      strides) != picture.height)
            raiseUnconvertible(path, from);
    }
    return MvMakeImage(std::move(pixels));
}
