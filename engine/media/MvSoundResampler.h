// Sound samples of any format, rate and channel layout converted to the
// ones an encoder takes.
#ifndef MORVANE_ENGINE_MVSOUNDRESAMPLER_H
#define MORVANE_ENGINE_MVSOUNDRESAMPLER_H

#include "media/MvFFmpeg.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <memory>

class MvSoundResampler {
public:
    // Converts to format at rate with layout.
    MvSoundResampler(AVSampleFormat format, int rate, const AVChannelLayout& layout);
    ~MvSoundResampler();
    MvSoundResampler(const MvSoundResampler&) = delete;
    MvSoundResampler& operator=(const MvSoundResampler&) = delete;

    // Converts count samples of frame from sample skip on; returns how many
    // samples the output holds now.
    int convert(const AVFrame& frame, int skip, int count);
    // Gives out what the conversion still holds back (the next input starts
    // afresh); returns the count.
    int flush();
    // The output of the last convert or flush, one pointer a plane.
    const std::uint8_t* const* output() const { return output_->extended_data; }

private:
    // Makes the converter for the frame's format unless it has one for it.
    void prepare(const AVFrame& frame);
    // Room in the output for samples.
    void reserve(int samples);

    struct SwrFree {
        void operator()(SwrContext* s) const { swr_free(&s); }
    };
    AVSampleFormat format_;
    int rate_;
    AVChannelLayout layout_{};
    std::unique_ptr<SwrContext, SwrFree> converter_;
    AVSampleFormat fromFormat_ = AV_SAMPLE_FMT_NONE;
    int fromRate_ = 0;
    AVChannelLayout fromLayout_{};
    MvFramePtr output_ = MvNewFrame();
    int capacity_ = 0;
};

#endif
