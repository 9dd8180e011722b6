// Owning handles for the FFmpeg objects the media layer uses, and FFmpeg's
// error codes as text. Only engine/media includes FFmpeg's headers.
#ifndef MORVANE_ENGINE_MVFFMPEG_H
#define MORVANE_ENGINE_MVFFMPEG_H

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

struct MvCodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct MvFrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct MvPacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct MvScalerFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using MvCodecContextPtr = std::unique_ptr<AVCodecContext, MvCodecContextFree>;
using MvFramePtr = std::unique_ptr<AVFrame, MvFrameFree>;
using MvPacketPtr = std::unique_ptr<AVPacket, MvPacketFree>;
using MvScalerPtr = std::unique_ptr<SwsContext, MvScalerFree>;

// FFmpeg reports on the standard error stream; the engine reports its own
// errors, so FFmpeg is told to stay quiet before it is first used.
void MvQuietFFmpeg();

// FFmpeg's description of an error code ("Invalid data found when
// processing input").
std::string MvFFmpegErrorText(int code);

// A codec context for codec that works on the calling thread only (the
// engine starts no threads); raises a memory error when none can be made.
MvCodecContextPtr MvNewCodecContext(const AVCodec* codec);
MvFramePtr MvNewFrame();
MvPacketPtr MvNewPacket();

// A scaler from one size and format to the same size in another, also on
// the calling thread only; null when swscale cannot convert between them.
// Without scaling, flags only choose how chroma is interpolated and how
// exactly the conversion rounds.
MvScalerPtr MvNewScaler(int width, int height, AVPixelFormat from, AVPixelFormat to,
                        int flags = SWS_POINT | SWS_ACCURATE_RND);
// The same from one size to another.
MvScalerPtr MvNewScaler(int width, int height, AVPixelFormat from, int toWidth, int toHeight,
                        AVPixelFormat to, int flags);

#endif
