#include "media/MvMovieEncoder.h"

#include "morvane/MvException.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>

namespace {

// Lossy codecs get 4:2:0 pictures when they take them: what every player
// decodes (4:4:4 H.264, for one, is beyond most) and what they are made
// for; JPEG's are full range. Pictures of an odd size cannot be halved for
// it, and lossless codecs keep as much of the BGRA pixels as they can.
AVPixelFormat bestFormat(const AVCodec& codec, int width, int height) {
    if (!codec.pix_fmts)
        return AV_PIX_FMT_YUV420P;
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec.id);
    const bool lossy = descriptor && (descriptor->props & AV_CODEC_PROP_LOSSY) &&
                       width % 2 == 0 && height % 2 == 0;
    const AVPixelFormat usual =
        codec.id == AV_CODEC_ID_MJPEG ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    for (const AVPixelFormat* format = codec.pix_fmts; lossy && *format != AV_PIX_FMT_NONE;
         ++format)
        if (*format == usual)
            return usual;
    return avcodec_find_best_pix_fmt_of_list(codec.pix_fmts, AV_PIX_FMT_BGRA, 0, nullptr);
}

// Quality 0..1 on the encoder's own scales: a fixed quantiser for the
// classic codecs, a constant rate factor for the newer ones.
void applyQuality(AVCodecContext& context, const AVCodec& codec, double quality) {
    quality = std::clamp(quality, 0.0, 1.0);
    const int qscale = static_cast<int>(std::lround(31.0 - 29.0 * quality));
    context.flags |= AV_CODEC_FLAG_QSCALE;
    context.global_quality = FF_QP2LAMBDA * qscale;
    const std::string name = codec.name;
    if (name == "libx264" || name == "libx265")
        av_opt_set_double(context.priv_data, "crf", 51.0 * (1.0 - quality) * 0.7, 0);
    if (name == "libx264")
        av_opt_set(context.priv_data, "preset", "veryfast", 0);
    if (name == "libvpx" || name == "libvpx-vp9") {
        av_opt_set_int(context.priv_data, "crf", std::lround(63.0 * (1.0 - quality) * 0.8), 0);
        context.bit_rate = 0;
        av_opt_set_int(context.priv_data, "cpu-used", 8, 0);
        av_opt_set(context.priv_data, "deadline", "realtime", 0);
    }
    if (name == "libaom-av1")
        av_opt_set_int(context.priv_data, "cpu-used", 8, 0);
}

} // namespace

MvMovieSettings& MvMoviePreferences() {
    static MvMovieSettings preferences;
    return preferences;
}

MvMovieEncoder::MvMovieEncoder(const MvMovieSettings& settings, AVCodecID codecId, int width,
                               int height, AVRational timeBase, bool globalHeader) {
    MvQuietFFmpeg();
    const AVCodec* codec = avcodec_find_encoder(codecId);
    if (!codec)
        MvRaise(std::string("No encoder for ") + avcodec_get_name(codecId) + ".");
    context_ = MvNewCodecContext(codec);
    AVCodecContext& c = *context_;
    c.width = width;
    c.height = height;
    c.pix_fmt = bestFormat(*codec, width, height);
    c.time_base = timeBase;
    c.framerate = av_d2q(settings.frameRate > 0 ? settings.frameRate : 29.97, 1 << 20);
    c.gop_size = std::max(settings.keyFrameInterval, 1);
    c.max_b_frames = 0;
    c.sample_aspect_ratio = AVRational{1, 1};
    if (globalHeader)
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    applyQuality(c, *codec, settings.spatialQuality);
    if (codec->supported_framerates) {
        const int nearest = av_find_nearest_q_idx(c.framerate, codec->supported_framerates);
        c.framerate = codec->supported_framerates[nearest];
        c.time_base = av_inv_q(c.framerate);
    }
    const int status = avcodec_open2(&c, codec, nullptr);
    if (status < 0)
        MvRaise(std::string("The movie compressor ") + codec->name + " cannot encode frames of " +
                std::to_string(width) + " x " + std::to_string(height) + " (" +
                MvFFmpegErrorText(status) + ").");
    converter_ = std::make_unique<MvPictureConverter>(c.pix_fmt, width, height);
}

std::string MvMovieEncoder::name() const { return context_->codec->name; }

void MvMovieEncoder::encode(MvValue* image, std::int64_t pts,
                            const std::function<void(AVPacket&)>& sink) {
    AVFrame& picture = converter_->convert(image);
    picture.pts = pts;
    const int status = avcodec_send_frame(context_.get(), &picture);
    if (status < 0)
        MvRaise("Could not compress a movie frame (" + MvFFmpegErrorText(status) + ").");
    drain(sink);
}

void MvMovieEncoder::flush(const std::function<void(AVPacket&)>& sink) {
    avcodec_send_frame(context_.get(), nullptr);
    drain(sink);
}

void MvMovieEncoder::drain(const std::function<void(AVPacket&)>& sink) {
    while (avcodec_receive_packet(context_.get(), packet_.get()) == 0) {
        sink(*packet_);
        av_packet_unref(packet_.get());
    }
}
