#include "media/MvMovieSoundEncoder.h"

#include "morvane/MvException.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int nearestRate(const AVCodec& codec, int wanted) {
    if (wanted <= 0)
        wanted = 44100;
    if (!codec.supported_samplerates)
        return wanted;
    int best = codec.supported_samplerates[0];
    for (const int* rate = codec.supported_samplerates; *rate; ++rate)
        if (std::abs(*rate - wanted) < std::abs(best - wanted))
            best = *rate;
    return best;
}

// The wanted layout when the codec takes it, else one of as many channels,
// else stereo, else the codec's first.
void chooseLayout(const AVCodec& codec, const AVChannelLayout& wanted, AVChannelLayout& chosen) {
    AVChannelLayout want{};
    if (wanted.order == AV_CHANNEL_ORDER_UNSPEC || wanted.nb_channels <= 0)
        av_channel_layout_default(&want, std::max(wanted.nb_channels, 1));
    else if (av_channel_layout_copy(&want, &wanted) < 0)
        throw new MvMemoryException("During allocation of sound data.");
    const AVChannelLayout* pick = &want;
    if (codec.ch_layouts) {
        const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        const AVChannelLayout* same = nullptr;
        const AVChannelLayout* count = nullptr;
        const AVChannelLayout* two = nullptr;
        for (const AVChannelLayout* l = codec.ch_layouts; l->nb_channels; ++l) {
            if (!same && av_channel_layout_compare(l, &want) == 0)
                same = l;
            if (!count && l->nb_channels == want.nb_channels)
                count = l;
            if (!two && av_channel_layout_compare(l, &stereo) == 0)
                two = l;
        }
        pick = same ? same : count ? count : two ? two : codec.ch_layouts;
    }
    const int status = av_channel_layout_copy(&chosen, pick);
    av_channel_layout_uninit(&want);
    if (status < 0)
        throw new MvMemoryException("During allocation of sound data.");
}

} // namespace

MvMovieSoundEncoder::MvMovieSoundEncoder(AVFormatContext& output,
                                         const std::vector<MvSoundSpan>& spans,
                                         const AVCodec& codec, const AVStream& model,
                                         const Sink& sink)
    : spans_(spans), sink_(sink) {
    openEncoder(output, codec, model);
}

void MvMovieSoundEncoder::openEncoder(AVFormatContext& output, const AVCodec& codec,
                                      const AVStream& model) {
    encoder_ = MvNewCodecContext(&codec);
    AVCodecContext& c = *encoder_;
    c.sample_fmt = codec.sample_fmts ? codec.sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    c.sample_rate = nearestRate(codec, model.codecpar->sample_rate);
    chooseLayout(codec, model.codecpar->ch_layout, c.ch_layout);
    c.time_base = AVRational{1, c.sample_rate};
    c.bit_rate = 0;   // each encoder's own choice for the rate and channels
    if (output.oformat->flags & AVFMT_GLOBALHEADER)
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int status = avcodec_open2(&c, &codec, nullptr);
    if (status < 0)
        MvRaise(std::string("The movie's sound cannot be encoded with ") + codec.name + " (" +
                MvFFmpegErrorText(status) + ").");
    // The samples an encoder puts before the sound (its priming) are
    // skipped on playing by containers that record how many there are;
    // others play them, so the first samples of the movie's sound are left
    // out in their place and what follows keeps its time.
    const std::string container = output.oformat->name;
    if (container != "mov" && container != "mp4" && container != "matroska" &&
        container != "webm")
        unplayed_ = c.initial_padding;
    const bool anySize = codec.capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
    frameSize_ = c.frame_size > 0 && !anySize ? c.frame_size : 1024;
    queue_.reset(av_audio_fifo_alloc(c.sample_fmt, c.ch_layout.nb_channels, frameSize_ * 4));
    if (!queue_)
        throw new MvMemoryException("During allocation of sound data.");
    resampler_ = std::make_unique<MvSoundResampler>(c.sample_fmt, c.sample_rate, c.ch_layout);
    chunk_->format = c.sample_fmt;
    chunk_->sample_rate = c.sample_rate;
    chunk_->nb_samples = frameSize_;
    if (av_channel_layout_copy(&chunk_->ch_layout, &c.ch_layout) < 0 ||
        av_frame_get_buffer(chunk_.get(), 0) < 0)
        throw new MvMemoryException("During allocation of sound data.");
    out_ = avformat_new_stream(&output, nullptr);
    if (!out_ || avcodec_parameters_from_context(out_->codecpar, &c) < 0)
        MvRaise("Not enough memory to save a movie.");
    out_->time_base = c.time_base;
}

std::int64_t MvMovieSoundEncoder::endOf(const MvSoundSpan& span) const {
    return std::llround(span.until * encoder_->sample_rate);
}

void MvMovieSoundEncoder::queue(const std::uint8_t* const* samples, int count) {
    const std::int64_t room = endOf(spans_[span_]) - queued_;
    const int n = static_cast<int>(std::min<std::int64_t>(count, room));
    if (n <= 0)
        return;
    // FFmpeg's queue takes the planes as writable pointers; it only reads them.
    auto** data = reinterpret_cast<void**>(const_cast<std::uint8_t**>(samples));
    if (av_audio_fifo_write(queue_.get(), data, n) < n)
        throw new MvMemoryException("During allocation of sound data.");
    queued_ += n;
}

void MvMovieSoundEncoder::queueSilence(std::int64_t count) {
    while (count > 0) {
        chunk_->nb_samples = frameSize_;
        if (av_frame_make_writable(chunk_.get()) < 0)
            throw new MvMemoryException("During allocation of sound data.");
        const int n = static_cast<int>(std::min<std::int64_t>(count, frameSize_));
        av_samples_set_silence(chunk_->extended_data, 0, n, chunk_->ch_layout.nb_channels,
                               static_cast<AVSampleFormat>(chunk_->format));
        const std::int64_t before = queued_;
        queue(chunk_->extended_data, n);
        if (queued_ == before)
            return;   // the span is full
        count -= n;
    }
}

void MvMovieSoundEncoder::take(const AVFrame& frame, const MvSoundSpan& span) {
    const int rate = frame.sample_rate;
    if (rate <= 0 || frame.nb_samples <= 0)
        return;
    const AVRational base = inputs_.of(*span.file).stream().time_base;
    const double start = frame.best_effort_timestamp != AV_NOPTS_VALUE
                             ? frame.best_effort_timestamp * av_q2d(base)
                             : nextInputTime_;
    nextInputTime_ = start + double(frame.nb_samples) / rate;
    const std::int64_t skip = std::max<std::int64_t>(0, std::llround((span.from - start) * rate));
    const std::int64_t end =
        std::min<std::int64_t>(frame.nb_samples, std::llround((span.to - start) * rate));
    if (end <= skip)
        return;
    // Sound missing between the span's start (or the last frame) and this
    // frame becomes silence, so that what follows keeps its place.
    const double firstTime = start + double(skip) / rate;
    const std::int64_t place =
        std::llround((span.at + firstTime - span.from) * encoder_->sample_rate);
    if (place - queued_ > encoder_->sample_rate / 50)
        queueSilence(place - queued_);
    const int made = resampler_->convert(frame, static_cast<int>(skip), static_cast<int>(end - skip));
    queue(resampler_->output(), made);
}

void MvMovieSoundEncoder::receiveDecoded(AVCodecContext& decoder, const MvSoundSpan& span) {
    while (avcodec_receive_frame(&decoder, decoded_.get()) == 0) {
        take(*decoded_, span);
        av_frame_unref(decoded_.get());
    }
}

bool MvMovieSoundEncoder::decodeNext(const MvSoundSpan& span) {
    MvMovieSoundInput& input = inputs_.of(*span.file);
    AVCodecContext& decoder = input.decoder();
    if (!started_) {
        input.seek(span.from);
        nextInputTime_ = span.from;
        started_ = true;
    }
    bool more = input.read(*packet_);
    if (more) {
        const std::int64_t pts = packet_->pts != AV_NOPTS_VALUE ? packet_->pts : packet_->dts;
        more = pts == AV_NOPTS_VALUE || pts * av_q2d(input.stream().time_base) < span.to;
    }
    if (more)
        avcodec_send_packet(&decoder, packet_.get());   // damaged packets are passed over
    av_packet_unref(packet_.get());
    if (!more) {
        // The last frames the decoder holds belong to the span too.
        avcodec_send_packet(&decoder, nullptr);
        receiveDecoded(decoder, span);
        avcodec_flush_buffers(&decoder);
        return false;
    }
    receiveDecoded(decoder, span);
    return true;
}

void MvMovieSoundEncoder::endSpan() {
    const int held = resampler_->flush();
    queue(resampler_->output(), held);
    queueSilence(endOf(spans_[span_]) - queued_);
    ++span_;
    started_ = false;
}

bool MvMovieSoundEncoder::step() {
    if (span_ >= spans_.size())
        return false;
    const MvSoundSpan& span = spans_[span_];
    const std::int64_t end = endOf(span);
    if (span.file && queued_ < end) {
        if (!decodeNext(span))
            endSpan();
    } else {
        queueSilence(std::min<std::int64_t>(end - queued_, frameSize_));
        if (queued_ >= end)
            endSpan();
    }
    encodeQueued(false);
    return true;
}

void MvMovieSoundEncoder::encode(AVFrame* frame) {
    const int status = avcodec_send_frame(encoder_.get(), frame);
    if (status < 0 && status != AVERROR_EOF)
        MvRaise("Could not compress the movie's sound (" + MvFFmpegErrorText(status) + ").");
    while (avcodec_receive_packet(encoder_.get(), packet_.get()) == 0) {
        sink_(*packet_, encoder_->time_base, *out_);
        av_packet_unref(packet_.get());
    }
}

void MvMovieSoundEncoder::encodeQueued(bool all) {
    while (true) {
        int size = av_audio_fifo_size(queue_.get());
        if (unplayed_ > 0 && size > 0) {
            const int n = static_cast<int>(std::min<std::int64_t>(size, unplayed_));
            av_audio_fifo_drain(queue_.get(), n);
            unplayed_ -= n;
            encoded_ += n;
            size -= n;
        }
        if (size == 0 || (size < frameSize_ && !all))
            return;
        chunk_->nb_samples = frameSize_;
        if (av_frame_make_writable(chunk_.get()) < 0)
            throw new MvMemoryException("During allocation of sound data.");
        const int n = std::min(size, frameSize_);
        chunk_->nb_samples = n;
        auto** data = reinterpret_cast<void**>(chunk_->extended_data);
        if (av_audio_fifo_read(queue_.get(), data, n) < n)
            MvRaise("Could not compress the movie's sound (its samples were lost).");
        chunk_->pts = encoded_;
        encoded_ += n;
        encode(chunk_.get());
    }
}

void MvMovieSoundEncoder::writeUntil(double seconds) {
    const std::int64_t target = std::llround(seconds * encoder_->sample_rate);
    while (encoded_ < target && step()) {
    }
}

void MvMovieSoundEncoder::finish() {
    while (step()) {
    }
    encodeQueued(true);
    encode(nullptr);
}
