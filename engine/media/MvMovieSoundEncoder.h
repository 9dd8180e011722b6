// A sound track encoded again: the sound under each span is decoded, cut to
// the span sample for sample, converted for the encoder, and silence fills
// the spans without sound. Every span ends at the sample of its end in the
// movie, so the sound never drifts from the frames.
#ifndef MORVANE_ENGINE_MVMOVIESOUNDENCODER_H
#define MORVANE_ENGINE_MVMOVIESOUNDENCODER_H

#include "media/MvMovieSoundInput.h"
#include "media/MvMovieSoundTrack.h"
#include "media/MvSoundResampler.h"

extern "C" {
#include <libavutil/audio_fifo.h>
}

class MvMovieSoundEncoder : public MvMovieSoundTrack {
public:
    // Encodes with codec at model's rate and layout (or the nearest the
    // codec takes). Raises when the encoder cannot be opened.
    MvMovieSoundEncoder(AVFormatContext& output, const std::vector<MvSoundSpan>& spans,
                        const AVCodec& codec, const AVStream& model, const Sink& sink);
    void writeUntil(double seconds) override;
    void finish() override;

private:
    void openEncoder(AVFormatContext& output, const AVCodec& codec, const AVStream& model);
    // Moves the current span on a little; false when every span is done.
    bool step();
    // Decodes the next packet of span; false when the span's sound is over.
    bool decodeNext(const MvSoundSpan& span);
    void receiveDecoded(AVCodecContext& decoder, const MvSoundSpan& span);
    void take(const AVFrame& frame, const MvSoundSpan& span);
    void endSpan();
    // The output sample at which span ends.
    std::int64_t endOf(const MvSoundSpan& span) const;
    // Queues up to count samples, no further than the current span's end.
    void queue(const std::uint8_t* const* samples, int count);
    void queueSilence(std::int64_t count);
    // Encodes the queued samples in whole frames (all: the rest too).
    void encodeQueued(bool all);
    void encode(AVFrame* frame);

    struct FifoFree {
        void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
    };
    std::vector<MvSoundSpan> spans_;
    MvMovieSoundInputs inputs_;
    Sink sink_;
    AVStream* out_ = nullptr;
    MvCodecContextPtr encoder_;
    std::unique_ptr<MvSoundResampler> resampler_;
    std::unique_ptr<AVAudioFifo, FifoFree> queue_;
    MvFramePtr chunk_ = MvNewFrame();
    MvPacketPtr packet_ = MvNewPacket();
    MvFramePtr decoded_ = MvNewFrame();
    int frameSize_ = 1024;
    std::size_t span_ = 0;
    bool started_ = false;
    double nextInputTime_ = 0;   // where a decoded frame without a time starts
    std::int64_t queued_ = 0;    // samples queued or encoded so far
    std::int64_t encoded_ = 0;   // samples given to the encoder (or left out) so far
    std::int64_t unplayed_ = 0;  // first samples to leave out for the encoder's priming
};

#endif
