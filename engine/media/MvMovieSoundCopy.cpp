#include "media/MvMovieSoundCopy.h"

#include "morvane/MvException.h"

#include <cmath>

MvMovieSoundCopy::MvMovieSoundCopy(AVFormatContext& output, const std::vector<MvSoundSpan>& spans,
                                   const AVStream& model, const Sink& sink)
    : spans_(spans), sink_(sink) {
    out_ = avformat_new_stream(&output, nullptr);
    if (!out_ || avcodec_parameters_copy(out_->codecpar, model.codecpar) < 0)
        MvRaise("Not enough memory to save a movie.");
    out_->codecpar->codec_tag = 0;
    out_->time_base = model.time_base;
}

bool MvMovieSoundCopy::copy(AVPacket& packet, const MvSoundSpan& span, AVRational base) {
    const std::int64_t pts = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    if (pts == AV_NOPTS_VALUE)
        return true;   // a packet without a time cannot be placed; it is passed over
    const std::int64_t fromTs = std::llround(span.from / av_q2d(base));
    const std::int64_t toTs = std::llround(span.to / av_q2d(base));
    if (pts >= toTs)
        return false;
    // Packets that overlap the span's start belong to it.
    if (pts + packet.duration <= fromTs)
        return true;
    packet.pts = pts - fromTs + std::llround(span.at / av_q2d(base));
    packet.dts = packet.pts;
    const double start = packet.pts * av_q2d(base);
    if (start + 1e-9 < lastEnd_)
        return true;
    lastEnd_ = start + packet.duration * av_q2d(base);
    reached_ = start;
    sink_(packet, base, *out_);
    return true;
}

bool MvMovieSoundCopy::step() {
    while (span_ < spans_.size()) {
        const MvSoundSpan& span = spans_[span_];
        MvMovieSoundInput& input = inputs_.of(*span.file);
        if (!started_) {
            input.seek(span.from);
            started_ = true;
        }
        bool more = input.read(*packet_);
        if (more)
            more = copy(*packet_, span, input.stream().time_base);
        av_packet_unref(packet_.get());
        if (more)
            return true;
        ++span_;
        started_ = false;
    }
    return false;
}

void MvMovieSoundCopy::writeUntil(double seconds) {
    while (reached_ < seconds && step()) {
    }
}

void MvMovieSoundCopy::finish() {
    while (step()) {
    }
}
