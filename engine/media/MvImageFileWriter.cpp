// A frame is converted to a pixel format its type's FFmpeg encoder takes
// (the engine's own encoders take its rows as they are), encoded in memory,
// and the encoded file replaces the target only when all of it is written.
#include "media/MvImageFileWriter.h"

#include "image/MvImageValues.h"
#include "media/MvExportTypes.h"
#include "media/MvFFmpeg.h"
#include "media/MvPackedPixels.h"
#include "media/MvPalette.h"
#include "morvane/MvException.h"
#include "morvane/MvFile.h"
#include "values/MvReplacingFile.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>

namespace {

[[noreturn]] void raiseNotWritten(const char* path, const MvExportType& type,
                                  const std::string& reason) {
    MvRaise(std::string("Could not write file \"") + path + "\" as " + type.name + ": " + reason +
            ".");
}

bool encoderTakes(const AVCodec& encoder, AVPixelFormat format) {
    if (!encoder.pix_fmts)
        return true;
    for (const AVPixelFormat* f = encoder.pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
        if (*f == format)
            return true;
    return false;
}

bool hasTransparency(const MvPixelArray<bgPix>&) { return false; }

bool hasTransparency(const MvPixelArray<bcPix>& pixels) {
    for (std::int32_t y = 0; y < pixels.height(); ++y) {
        const bcPix* row = pixels.row(y);
        for (std::int32_t x = 0; x < pixels.width(); ++x)
            if (row[x].alpha != 255)
                return true;
    }
    return false;
}

template <class Pix> constexpr AVPixelFormat kSourceFormat = AV_PIX_FMT_BGRA;
template <> constexpr AVPixelFormat kSourceFormat<bgPix> = AV_PIX_FMT_GRAY8;

// What the encoder is given: a pixel format and, for palette formats, the
// palette that holds every colour of the frame exactly.
struct Target {
    AVPixelFormat format = AV_PIX_FMT_NONE;
    MvPalette palette;
};

template <class Pix>
Target chooseTarget(const MvExportType& type, const AVCodec& encoder,
                    const MvPixelArray<Pix>& pixels) {
    const AVPixelFormat* formats = std::is_same<Pix, bgPix>::value ? type.grey
                                   : hasTransparency(pixels)      ? type.withAlpha
                                                                  : type.opaque;
    Target target;
    for (const AVPixelFormat* f = formats; *f != AV_PIX_FMT_NONE; ++f) {
        if (!encoderTakes(encoder, *f))
            continue;
        // A palette is used only when it loses nothing.
        if (*f == AV_PIX_FMT_PAL8 && !MvExactPalette(pixels, target.palette))
            continue;
        target.format = *f;
        return target;
    }
    return target;
}

template <class Pix>
void fillPicture(AVFrame& picture, const Target& target, const MvPixelArray<Pix>& pixels) {
    if (target.format == AV_PIX_FMT_PAL8) {
        MvFillPaletteIndices(pixels, target.palette, picture);
        return;
    }
    const std::uint8_t* rows = reinterpret_cast<const std::uint8_t*>(pixels.data());
    if (MvConvertPackedPixels(rows, static_cast<std::ptrdiff_t>(pixels.stride()),
                              kSourceFormat<Pix>, picture.data[0], picture.linesize[0],
                              target.format, pixels.width(), pixels.height()))
        return;
    MvScalerPtr scaler = MvNewScaler(pixels.width(), pixels.height(), kSourceFormat<Pix>,
                                     target.format, SWS_BILINEAR);
    if (!scaler)
        MvRaise("Internal Error: no pixel conversion for an image file.");
    const std::uint8_t* planes[4] = {rows, nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(pixels.stride()), 0, 0, 0};
    sws_scale(scaler.get(), planes, strides, 0, pixels.height(), picture.data, picture.linesize);
}

int qualityScale(double quality) {
    const double scaled = std::trunc(quality * 1024.0);
    if (!(scaled > 0))
        return 0;
    return static_cast<int>(std::min(scaled, 1024.0));
}

void addPackets(AVCodecContext& context, std::string& bytes, const char* path,
                const MvExportType& type) {
    MvPacketPtr packet = MvNewPacket();
    for (;;) {
        const int status = avcodec_receive_packet(&context, packet.get());
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF)
            return;
        if (status < 0)
            raiseNotWritten(path, type, MvFFmpegErrorText(status));
        bytes.append(reinterpret_cast<const char*>(packet->data),
                     static_cast<std::size_t>(packet->size));
        av_packet_unref(packet.get());
    }
}

// The whole file the type's own encoder makes of the pixels, straight from
// the frame's rows.
template <class Pix>
std::string encodeOwn(const MvExportType& type, const MvPixelArray<Pix>& pixels, double quality,
                      const char* path) {
    // Types that write translucent frames as they write opaque ones (JPEG)
    // need not look at every alpha.
    const bool keepsAlpha = type.withAlpha != type.opaque;
    const MvEncoderInput input{reinterpret_cast<const std::uint8_t*>(pixels.data()),
                               static_cast<std::ptrdiff_t>(pixels.stride()),
                               pixels.width(),
                               pixels.height(),
                               std::is_same<Pix, bgPix>::value,
                               keepsAlpha && hasTransparency(pixels)};
    std::string bytes;
    const std::string failure = type.ownEncoder(input, qualityScale(quality), bytes);
    if (!failure.empty())
        raiseNotWritten(path, type, failure);
    if (bytes.empty())
        raiseNotWritten(path, type, "the encoder gave no data");
    return bytes;
}

// The whole file the type's encoder makes of the pixels.
template <class Pix>
std::string encode(const MvExportType& type, const MvPixelArray<Pix>& pixels, double quality,
                   const char* path) {
    if (type.ownEncoder)
        return encodeOwn(type, pixels, quality, path);
    const bool grey = std::is_same<Pix, bgPix>::value;
    const AVCodec* encoder = avcodec_find_encoder_by_name(grey ? type.greyEncoder : type.encoder);
    if (!encoder)
        raiseNotWritten(path, type, "the encoder is missing");
    const Target target = chooseTarget(type, *encoder, pixels);
    if (target.format == AV_PIX_FMT_NONE)
        raiseNotWritten(path, type, "the encoder takes none of the pixel formats");

    MvCodecContextPtr context = MvNewCodecContext(encoder);
    context->width = pixels.width();
    context->height = pixels.height();
    context->pix_fmt = target.format;
    context->time_base = AVRational{1, 25};
    context->color_range = AVCOL_RANGE_JPEG;
    if (type.setQuality)
        type.setQuality(*context, qualityScale(quality));
    int status = avcodec_open2(context.get(), encoder, nullptr);
    if (status < 0)
        raiseNotWritten(path, type, MvFFmpegErrorText(status));

    MvFramePtr picture = MvNewFrame();
    picture->format = target.format;
    picture->width = pixels.width();
    picture->height = pixels.height();
    picture->color_range = AVCOL_RANGE_JPEG;
    picture->quality = context->global_quality;
    if (av_frame_get_buffer(picture.get(), 0) < 0)
        throw new MvMemoryException("During allocation of image data.");
    fillPicture(*picture, target, pixels);

    std::string bytes;
    status = avcodec_send_frame(context.get(), picture.get());
    if (status < 0)
        raiseNotWritten(path, type, MvFFmpegErrorText(status));
    addPackets(*context, bytes, path, type);
    avcodec_send_frame(context.get(), nullptr);
    addPackets(*context, bytes, path, type);
    if (bytes.empty())
        raiseNotWritten(path, type, "the encoder gave no data");
    if (type.trailer)
        bytes += type.trailer;
    return bytes;
}

template <class Pix>
void exportFrame(MvImageValueB<Pix>& frame, const char* path) {
    const MvExportType* type = MvExportTypeWithCode(frame.compressionCode);
    if (!type)
        MvRaise("Unknown frame compression type.");
    if (frame.pixels.empty())
        MvRaise("Can't create a frame or image with zero area.");
    // A path in a folder that is missing or closed fails here, before
    // anything is encoded.
    MvFSSpec spec;
    MvFile(path).getFSSpec(spec);
    const std::string bytes = encode(*type, frame.pixels, frame.quality, path);
    MvReplacingFile file(path, std::ios::binary);
    file.stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.commit();
}

} // namespace

void MvExportFrame(MvValue* frame, const char* path) {
    switch (frame ? frame->GetType() : MvTypeUndefined) {
    case MvTypeFrameMono:
        exportFrame(*static_cast<MvImageValueB<bgPix>*>(frame), path);
        return;
    case MvTypeFrame:
        exportFrame(*static_cast<MvImageValueB<bcPix>*>(frame), path);
        return;
    default:
        MvRaise("Internal type problem: only frames are written as image files");
    }
}
