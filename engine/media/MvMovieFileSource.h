// A movie file's first video stream as a frame source. Opening reads every
// packet once (without decoding) to index the frames in display order;
// frame n is then found by seeking to the key frame at or before it and
// decoding forward.
#ifndef MORVANE_ENGINE_MVMOVIEFILESOURCE_H
#define MORVANE_ENGINE_MVMOVIEFILESOURCE_H

#include "media/MvMovieSource.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <memory>

struct MvFormatContextClose {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
using MvFormatContextPtr = std::unique_ptr<AVFormatContext, MvFormatContextClose>;

class MvMovieFileSource : public MvMovieSource {
public:
    // Opens path (a file name or a URL). Raises "Cannot open movie file"
    // when it cannot be opened, the not-a-movie message when FFmpeg finds
    // no video in it.
    explicit MvMovieFileSource(const std::string& path);

    int frameCount() const override { return static_cast<int>(frames_.size()); }
    double frameTime(int n) const override;
    double frameDuration(int n) const override;
    const AVCodecParameters& codecParameters() const override { return *stream_->codecpar; }
    bool isKeyFrame(int n) const override { return frames_[n].key; }
    AVRational timeBase() const { return stream_->time_base; }
    // Frame n's display time in the stream's time base.
    std::int64_t framePts(int n) const { return frames_[n].pts; }
    // The file's sound stream, or null.
    const AVStream* soundStream() const;
    AVFormatContext& format() { return *format_; }
    int videoStreamIndex() const { return stream_->index; }
    // The time of the first frame in seconds of the file's clock.
    double startSeconds() const { return start_ * av_q2d(stream_->time_base); }
    // Someone else read from the file: the next frame needs a seek.
    void forgetPosition() { nextDecoded_ = -1; }

protected:
    void decodeUpTo(int n) override;

private:
    struct Frame {
        std::int64_t pts;        // display time in the stream's time base
        std::int64_t duration;
        bool key;
    };
    void indexPackets();
    void openDecoder();
    // The last key frame at or before n.
    int keyFrameBefore(int n) const;
    // Positions the decoder at key frame key.
    void seekTo(int key);
    // Decodes until frame n is cached; false when the stream ends or the
    // decoder gives a later frame first (n cannot be reached from here).
    bool decodeOnwards(int n);
    // The index of a decoded picture, or -1 when it has none.
    int indexOfPicture(const AVFrame& picture) const;
    int indexOfTime(std::int64_t pts) const;
    [[noreturn]] void raiseNotAMovie() const;

    MvFormatContextPtr format_;
    AVStream* stream_ = nullptr;
    MvCodecContextPtr decoder_;
    MvPacketPtr packet_ = MvNewPacket();
    MvFramePtr picture_ = MvNewFrame();
    std::vector<Frame> frames_;           // by time: display order, or decoding order (below)
    std::int64_t start_ = 0;
    // Containers without display times (AVI) give the frames in decoding
    // order; the decoder then tells a picture's place by the decoding time
    // of the packet that let it out, less the decoder's reordering delay.
    bool decodingOrder_ = false;
    int nextDecoded_ = -1;                // index the decoder will give next, -1 unknown
    bool draining_ = false;
};

#endif
