#include "media/MvExportTypes.h"

#include "media/MvJpegEncoder.h"
#include "media/MvPngEncoder.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

namespace {

constexpr std::uint32_t fourCharCode(const char (&c)[5]) {
    return std::uint32_t(std::uint8_t(c[0])) << 24 | std::uint32_t(std::uint8_t(c[1])) << 16 |
           std::uint32_t(std::uint8_t(c[2])) << 8 | std::uint32_t(std::uint8_t(c[3]));
}

constexpr int kLossless = 1024;

// The q scale of FFmpeg's DCT and wavelet encoders runs from 1 (best) to
// 31; quality maps onto it geometrically, so that the usual qualities get
// the finer steps: 1024 gives 1, 768 gives 2, 512 (the default) 6, 0 gives 31.
void setQScaleQuality(AVCodecContext& encoder, int quality) {
    const double scale = std::pow(31.0, (kLossless - quality) / double(kLossless));
    const int q = std::max(1, std::min(31, static_cast<int>(std::lround(scale))));
    encoder.flags |= AV_CODEC_FLAG_QSCALE;
    encoder.global_quality = FF_QP2LAMBDA * q;
    encoder.qmin = 1;
}

// WebP: lossless at full quality, otherwise its quality 0 .. 100.
void setWebpQuality(AVCodecContext& encoder, int quality) {
    if (quality >= kLossless) {
        av_opt_set_int(encoder.priv_data, "lossless", 1, 0);
        return;
    }
    av_opt_set_double(encoder.priv_data, "quality", quality * 100.0 / kLossless, 0);
}

// JPEG 2000: the reversible wavelet at full quality, otherwise the q scale.
void setJpeg2000Quality(AVCodecContext& encoder, int quality) {
    if (quality >= kLossless) {
        av_opt_set_int(encoder.priv_data, "pred", 1, 0);
        return;
    }
    setQScaleQuality(encoder, quality);
}

const AVPixelFormat kJpegColour[] = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_NONE};
const AVPixelFormat kJpegGrey[] = {AV_PIX_FMT_GRAY8, AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_NONE};
const AVPixelFormat kRgba[] = {AV_PIX_FMT_RGBA, AV_PIX_FMT_RGB24, AV_PIX_FMT_NONE};
const AVPixelFormat kRgb[] = {AV_PIX_FMT_RGB24, AV_PIX_FMT_NONE};
const AVPixelFormat kBgra[] = {AV_PIX_FMT_BGRA, AV_PIX_FMT_BGR24, AV_PIX_FMT_NONE};
const AVPixelFormat kBgr[] = {AV_PIX_FMT_BGR24, AV_PIX_FMT_NONE};
const AVPixelFormat kGrey[] = {AV_PIX_FMT_GRAY8, AV_PIX_FMT_RGB24, AV_PIX_FMT_NONE};
const AVPixelFormat kPalette[] = {AV_PIX_FMT_PAL8, AV_PIX_FMT_RGB8, AV_PIX_FMT_NONE};
const AVPixelFormat kGreyPalette[] = {AV_PIX_FMT_GRAY8, AV_PIX_FMT_PAL8, AV_PIX_FMT_NONE};
const AVPixelFormat kJpeg2000Colour[] = {AV_PIX_FMT_RGBA, AV_PIX_FMT_RGB24, AV_PIX_FMT_NONE};
const AVPixelFormat kWebpAlpha[] = {AV_PIX_FMT_BGRA, AV_PIX_FMT_NONE};
const AVPixelFormat kWebpOpaque[] = {AV_PIX_FMT_BGR24, AV_PIX_FMT_BGRA, AV_PIX_FMT_NONE};

// The export types, in the order the compression lookup lists them. "JPEG"
// is the frames' default; its code is the one the image values start with.
const MvExportType kExportTypes[] = {
    {"JPEG", fourCharCode("jpeg"), "mjpeg", "mjpeg", "jpg jpeg jpe jfif",
     kJpegColour, kJpegColour, kJpegGrey, nullptr, nullptr, MvEncodeJpeg},
    {"PNG", fourCharCode("PNGf"), "png", "png", "png",
     kRgba, kRgb, kGrey, nullptr, nullptr, MvEncodePng},
    {"TIFF", fourCharCode("TIFF"), "tiff", "tiff", "tif tiff",
     kRgba, kRgb, kGrey, nullptr, nullptr, nullptr},
    {"BMP", fourCharCode("BMPf"), "bmp", "bmp", "bmp dib",
     kBgra, kBgr, kGrey, nullptr, nullptr, nullptr},
    {"TGA", fourCharCode("TPIC"), "targa", "targa", "tga",
     kBgra, kBgr, kGrey, nullptr, nullptr, nullptr},
    {"SGI", fourCharCode(".SGI"), "sgi", "sgi", "sgi rgb rgba bw",
     kRgba, kRgb, kGrey, nullptr, nullptr, nullptr},
    {"JPEG 2000", fourCharCode("jp2 "), "jpeg2000", "jpeg2000", "jp2 j2k j2c",
     kJpeg2000Colour, kRgb, kGrey, nullptr, setJpeg2000Quality, nullptr},
    {"WebP", fourCharCode("WEBP"), "libwebp", "libwebp", "webp",
     kWebpAlpha, kWebpOpaque, kWebpOpaque, nullptr, setWebpQuality, nullptr},
    {"GIF", fourCharCode("GIFf"), "gif", "gif", "gif",
     kPalette, kPalette, kGreyPalette, ";", nullptr, nullptr},
    {"PNM", fourCharCode("PNM "), "ppm", "pgm", "pnm ppm pgm pbm",
     kRgb, kRgb, kGrey, nullptr, nullptr, nullptr},
    {"QOI", fourCharCode("qoif"), "qoi", "qoi", "qoi",
     kRgba, kRgb, kRgb, nullptr, nullptr, nullptr},
};

bool hasEncoders(const MvExportType& type) {
    if (type.ownEncoder)
        return true;
    return avcodec_find_encoder_by_name(type.encoder) &&
           avcodec_find_encoder_by_name(type.greyEncoder);
}

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

const std::vector<const MvExportType*>& MvAvailableExportTypes() {
    static const std::vector<const MvExportType*> available = [] {
        std::vector<const MvExportType*> types;
        for (const MvExportType& type : kExportTypes)
            if (hasEncoders(type))
                types.push_back(&type);
        return types;
    }();
    return available;
}

const MvExportType* MvExportTypeWithCode(std::uint32_t code) {
    for (const MvExportType* type : MvAvailableExportTypes())
        if (type->code == code)
            return type;
    return nullptr;
}

const MvExportType* MvExportTypeWithEnding(const std::string& ending) {
    const std::string wanted = lowerCase(ending);
    for (const MvExportType* type : MvAvailableExportTypes()) {
        std::istringstream endings(type->endings);
        std::string one;
        while (endings >> one)
            if (one == wanted)
                return type;
    }
    return nullptr;
}
