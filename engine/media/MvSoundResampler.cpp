#include "media/MvSoundResampler.h"

#include "morvane/MvException.h"

#include <vector>

MvSoundResampler::MvSoundResampler(AVSampleFormat format, int rate, const AVChannelLayout& layout)
    : format_(format), rate_(rate) {
    if (av_channel_layout_copy(&layout_, &layout) < 0)
        throw new MvMemoryException("During allocation of sound data.");
}

MvSoundResampler::~MvSoundResampler() {
    av_channel_layout_uninit(&layout_);
    av_channel_layout_uninit(&fromLayout_);
}

void MvSoundResampler::prepare(const AVFrame& frame) {
    AVChannelLayout from{};
    // A layout that names no channels is taken as the usual one for their count.
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&from, frame.ch_layout.nb_channels);
    else if (av_channel_layout_copy(&from, &frame.ch_layout) < 0)
        throw new MvMemoryException("During allocation of sound data.");
    const auto format = static_cast<AVSampleFormat>(frame.format);
    if (converter_ && format == fromFormat_ && frame.sample_rate == fromRate_ &&
        av_channel_layout_compare(&from, &fromLayout_) == 0) {
        av_channel_layout_uninit(&from);
        return;
    }
    av_channel_layout_uninit(&fromLayout_);
    fromLayout_ = from;
    fromFormat_ = format;
    fromRate_ = frame.sample_rate;
    SwrContext* made = nullptr;
    if (swr_alloc_set_opts2(&made, &layout_, format_, rate_, &fromLayout_, fromFormat_, fromRate_,
                            0, nullptr) < 0 ||
        swr_init(made) < 0) {
        swr_free(&made);
        converter_.reset();
        MvRaise("The movie's sound cannot be converted for its encoder.");
    }
    converter_.reset(made);
}

void MvSoundResampler::reserve(int samples) {
    if (samples <= capacity_)
        return;
    output_ = MvNewFrame();
    output_->format = format_;
    output_->sample_rate = rate_;
    output_->nb_samples = samples;
    if (av_channel_layout_copy(&output_->ch_layout, &layout_) < 0 ||
        av_frame_get_buffer(output_.get(), 0) < 0)
        throw new MvMemoryException("During allocation of sound data.");
    capacity_ = samples;
}

int MvSoundResampler::convert(const AVFrame& frame, int skip, int count) {
    if (count <= 0 || frame.ch_layout.nb_channels <= 0)
        return 0;
    prepare(frame);
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int step = av_get_bytes_per_sample(format) *
                     (av_sample_fmt_is_planar(format) ? 1 : frame.ch_layout.nb_channels);
    const int planes = av_sample_fmt_is_planar(format) ? frame.ch_layout.nb_channels : 1;
    // swr_convert reads at most as many planes as the input has channels.
    const std::uint8_t* input[AV_NUM_DATA_POINTERS] = {};
    std::vector<const std::uint8_t*> many;
    const std::uint8_t** from = input;
    if (planes > AV_NUM_DATA_POINTERS) {
        many.resize(planes);
        from = many.data();
    }
    for (int p = 0; p < planes; ++p)
        from[p] = frame.extended_data[p] + static_cast<std::ptrdiff_t>(skip) * step;
    reserve(swr_get_out_samples(converter_.get(), count));
    const int made = swr_convert(converter_.get(), output_->extended_data, capacity_, from, count);
    return made < 0 ? 0 : made;
}

int MvSoundResampler::flush() {
    if (!converter_)
        return 0;
    reserve(swr_get_out_samples(converter_.get(), 0) + 1);
    const int made = swr_convert(converter_.get(), output_->extended_data, capacity_, nullptr, 0);
    // The next input begins a new stretch: nothing of this one carries over.
    converter_.reset();
    return made < 0 ? 0 : made;
}
