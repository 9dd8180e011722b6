#include "media/MvFFmpeg.h"

#include "morvane/MvException.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

std::string MvFFmpegErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    if (av_strerror(code, text, sizeof text) < 0)
        return "error " + std::to_string(code);
    return text;
}

void MvQuietFFmpeg() {
    static const bool silenced = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)silenced;
}

MvCodecContextPtr MvNewCodecContext(const AVCodec* codec) {
    MvQuietFFmpeg();
    MvCodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context)
        throw new MvMemoryException("During allocation of image data.");
    context->thread_count = 1;
    context->thread_type = 0;
    return context;
}

MvFramePtr MvNewFrame() {
    MvFramePtr frame(av_frame_alloc());
    if (!frame)
        throw new MvMemoryException("During allocation of image data.");
    return frame;
}

MvPacketPtr MvNewPacket() {
    MvPacketPtr packet(av_packet_alloc());
    if (!packet)
        throw new MvMemoryException("During allocation of image data.");
    return packet;
}

MvScalerPtr MvNewScaler(int width, int height, AVPixelFormat from, AVPixelFormat to,
                        int flags) {
    return MvNewScaler(width, height, from, width, height, to, flags);
}

MvScalerPtr MvNewScaler(int width, int height, AVPixelFormat from, int toWidth, int toHeight,
                        AVPixelFormat to, int flags) {
    MvQuietFFmpeg();
    MvScalerPtr scaler(sws_alloc_context());
    if (!scaler)
        throw new MvMemoryException("During allocation of image data.");
    av_opt_set_int(scaler.get(), "srcw", width, 0);
    av_opt_set_int(scaler.get(), "srch", height, 0);
    av_opt_set_int(scaler.get(), "dstw", toWidth, 0);
    av_opt_set_int(scaler.get(), "dsth", toHeight, 0);
    av_opt_set_pixel_fmt(scaler.get(), "src_format", from, 0);
    av_opt_set_pixel_fmt(scaler.get(), "dst_format", to, 0);
    av_opt_set_int(scaler.get(), "sws_flags", flags, 0);
    av_opt_set_int(scaler.get(), "threads", 1, 0);
    if (sws_init_context(scaler.get(), nullptr, nullptr) < 0)
        return nullptr;
    return scaler;
}
