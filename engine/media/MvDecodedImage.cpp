#include "media/MvDecodedImage.h"

#include "image/MvGWorldPixels.h"
#include "image/MvNewImageValue.h"
#include "media/MvPackedPixels.h"
#include "morvane/MvException.h"
#include "values/MvMemoryRequest.h"

#include <cstring>
#include <limits>
#include <string>

namespace {

[[noreturn]] void raiseUnconvertible(const char* path, AVPixelFormat format) {
    const char* name = av_get_pix_fmt_name(format);
    MvRaise(std::string("Could not convert the pixels of file \"") + path + "\" (" +
            (name ? name : "unknown format") + ").");
}

bool isGrey(AVPixelFormat format) {
    const AVPixFmtDescriptor* description = av_pix_fmt_desc_get(format);
    return description && description->nb_components == 1 &&
           !(description->flags & AV_PIX_FMT_FLAG_PAL);
}

// Samples deeper than 8 bits are rounded exactly to the nearest 8-bit
// level; 8-bit pictures (JPEG's YUV above all) take swscale's fast paths.
int conversionFlags(AVPixelFormat from) {
    const AVPixFmtDescriptor* description = av_pix_fmt_desc_get(from);
    const bool deep = description && (description->comp[0].depth > 8 ||
                                      (description->flags & AV_PIX_FMT_FLAG_FLOAT));
    return deep ? SWS_POINT | SWS_ACCURATE_RND : SWS_BILINEAR;
}

// Converts the whole picture into rows of format at rows with stride bytes
// between them.
void convertInto(const AVFrame& picture, AVPixelFormat format, unsigned char* rows,
                 std::size_t stride, const char* path) {
    const AVPixelFormat from = static_cast<AVPixelFormat>(picture.format);
    if (MvConvertPackedPixels(picture.data[0], picture.linesize[0], from, rows,
                              static_cast<std::ptrdiff_t>(stride), format, picture.width,
                              picture.height))
        return;
    MvScalerPtr scaler =
        MvNewScaler(picture.width, picture.height, from, format, conversionFlags(from));
    if (!scaler)
        raiseUnconvertible(path, from);
    unsigned char* planes[4] = {rows, nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(stride), 0, 0, 0};
    sws_scale(scaler.get(), picture.data, picture.linesize, 0, picture.height, planes, strides);
}

template <class Pix>
MvPixelArray<Pix> pixelsOfSize(const AVFrame& picture) {
    MvCheckMemoryRequest(static_cast<std::uint64_t>(picture.width) * picture.height, sizeof(Pix),
                         "image");
    return MvPixelArray<Pix>(picture.width, picture.height);
}

MvValue* greyFrame(const AVFrame& picture, const char* path) {
    MvPixelArray<bgPix> pixels = pixelsOfSize<bgPix>(picture);
    convertInto(picture, AV_PIX_FMT_GRAY8, reinterpret_cast<unsigned char*>(pixels.data()),
                pixels.stride(), path);
    return MvMakeImage(std::move(pixels));
}

MvValue* colourFrame(const AVFrame& picture, const char* path) {
    MvPixelArray<bcPix> pixels = pixelsOfSize<bcPix>(picture);
    convertInto(picture, AV_PIX_FMT_BGRA, reinterpret_cast<unsigned char*>(pixels.data()),
                pixels.stride(), path);
    return MvMakeImage(std::move(pixels));
}

// FFmpeg's palette: 256 native-endian 32-bit words 0xAARRGGBB.
std::uint32_t paletteEntry(const AVFrame& picture, int index) {
    std::uint32_t argb;
    std::memcpy(&argb, picture.data[1] + 4 * index, 4);
    return argb;
}

// The picture's indices drawn into an indexed buffer with its colour
// table, read back as colours; the table's transparency is then put back,
// since buffer tables have none.
MvValue* paletteFrame(const AVFrame& picture, const char* path) {
    constexpr int kLargestBuffer = std::numeric_limits<std::int16_t>::max();
    if (picture.width > kLargestBuffer || picture.height > kLargestBuffer)
        return colourFrame(picture, path);
    MvColorTable table(256);
    bool transparent = false;
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t argb = paletteEntry(picture, i);
        table[i] = MvColorSpec{static_cast<std::int16_t>(i),
                               static_cast<std::uint16_t>((argb >> 16 & 0xFF) * 257),
                               static_cast<std::uint16_t>((argb >> 8 & 0xFF) * 257),
                               static_cast<std::uint16_t>((argb & 0xFF) * 257)};
        transparent = transparent || (argb >> 24) != 0xFF;
    }
    MvCheckMemoryRequest(static_cast<std::uint64_t>(picture.width) * picture.height, 5, "image");
    const MvRect bounds{0, 0, static_cast<std::int16_t>(picture.height),
                        static_cast<std::int16_t>(picture.width)};
    MvGWorld indexed(bounds, kMvPixelFormatIndexed8, &table);
    {
        MvGWorldDrawScope scope(indexed);
        for (int y = 0; y < picture.height; ++y)
            std::memcpy(indexed.getLineX(y),
                        picture.data[0] + std::ptrdiff_t(y) * picture.linesize[0],
                        static_cast<std::size_t>(picture.width));
    }
    MvPixelArray<bcPix> pixels = MvColorPixelsFromGWorld(indexed);
    if (transparent) {
        for (int y = 0; y < picture.height; ++y) {
            const unsigned char* indices = picture.data[0] + std::ptrdiff_t(y) * picture.linesize[0];
            bcPix* row = pixels.row(y);
            for (int x = 0; x < picture.width; ++x)
                row[x].alpha = static_cast<std::uint8_t>(paletteEntry(picture, indices[x]) >> 24);
        }
    }
    return MvMakeImage(std::move(pixels));
}

} // namespace

MvValue* MvFrameValueOfDecodedImage(const AVFrame& picture, const char* path) {
    const AVPixelFormat format = static_cast<AVPixelFormat>(picture.format);
    if (format == AV_PIX_FMT_PAL8)
        return paletteFrame(picture, path);
    if (isGrey(format))
        return greyFrame(picture, path);
    return colourFrame(picture, path);
}
