#include "media/MvMovieFileSource.h"

#include "media/MvDecodedImage.h"
#include "media/MvMovieFrames.h"
#include "morvane/MvException.h"

#include <algorithm>

namespace {

// How far forward the decoder may run instead of seeking: frames past the
// one it stands at, when no key frame lies between.
constexpr int kForwardReach = 250;

AVStream* firstVideoStream(AVFormatContext& format) {
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        AVStream* stream = format.streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return stream;
    }
    return nullptr;
}

} // namespace

MvMovieFileSource::MvMovieFileSource(const std::string& path) {
    MvQuietFFmpeg();
    path_ = path;
    AVFormatContext* opened = nullptr;
    const int status = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
    // Data FFmpeg does not understand is no movie; anything else kept the
    // file from being opened.
    if (status == AVERROR_INVALIDDATA)
        raiseNotAMovie();
    if (status < 0)
        throw new MvMovieOpenError(status, "Cannot open movie file \"" + path + "\"");
    format_.reset(opened);
    if (avformat_find_stream_info(opened, nullptr) < 0)
        raiseNotAMovie();
    stream_ = firstVideoStream(*opened);
    if (!stream_ || stream_->codecpar->width <= 0 || stream_->codecpar->height <= 0)
        raiseNotAMovie();
    for (unsigned i = 0; i < opened->nb_streams; ++i)
        if (opened->streams[i] != stream_ &&
            opened->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
            opened->streams[i]->discard = AVDISCARD_ALL;
    width_ = stream_->codecpar->width;
    height_ = stream_->codecpar->height;
    openDecoder();
    indexPackets();
    if (frames_.empty())
        raiseNotAMovie();
}

void MvMovieFileSource::raiseNotAMovie() const {
    MvRaise("File \"" + path_ + "\" does not seem to be a movie file.");
}

void MvMovieFileSource::openDecoder() {
    const AVCodec* codec = avcodec_find_decoder(stream_->codecpar->codec_id);
    if (!codec)
        raiseNotAMovie();
    decoder_ = MvNewCodecContext(codec);
    if (avcodec_parameters_to_context(decoder_.get(), stream_->codecpar) < 0 ||
        avcodec_open2(decoder_.get(), codec, nullptr) < 0)
        raiseNotAMovie();
}

void MvMovieFileSource::indexPackets() {
    std::int64_t previousEnd = 0;
    while (true) {
        const int status = av_read_frame(format_.get(), packet_.get());
        if (status < 0)
            break;   // the end, or a damaged tail: the frames read so far stay
        if (packet_->stream_index == stream_->index && packet_->size > 0) {
            decodingOrder_ = decodingOrder_ || packet_->pts == AV_NOPTS_VALUE;
            std::int64_t pts = packet_->pts != AV_NOPTS_VALUE ? packet_->pts : packet_->dts;
            if (pts == AV_NOPTS_VALUE)
                pts = previousEnd;
            frames_.push_back(Frame{pts, packet_->duration,
                                    (packet_->flags & AV_PKT_FLAG_KEY) != 0});
            previousEnd = pts + std::max<std::int64_t>(packet_->duration, 1);
        }
        av_packet_unref(packet_.get());
    }
    std::stable_sort(frames_.begin(), frames_.end(),
                     [](const Frame& a, const Frame& b) { return a.pts < b.pts; });
    frames_.erase(std::unique(frames_.begin(), frames_.end(),
                              [](const Frame& a, const Frame& b) { return a.pts == b.pts; }),
                  frames_.end());
    if (frames_.empty())
        return;
    // The first picture decodes on its own, whatever the container says.
    frames_.front().key = true;
    start_ = frames_.front().pts;
    // Durations the container left out are the gaps to the next frame; the
    // last frame lasts as long as the one before it, or one frame period.
    for (std::size_t i = 0; i + 1 < frames_.size(); ++i)
        if (frames_[i].duration <= 0)
            frames_[i].duration = frames_[i + 1].pts - frames_[i].pts;
    Frame& last = frames_.back();
    if (last.duration <= 0) {
        const AVRational rate = av_guess_frame_rate(format_.get(), stream_, nullptr);
        last.duration = frames_.size() > 1 ? frames_[frames_.size() - 2].duration
                        : rate.num > 0      ? av_rescale_q(1, av_inv_q(rate), stream_->time_base)
                                            : 1;
    }
    nextDecoded_ = -1;
}

double MvMovieFileSource::frameTime(int n) const {
    if (n >= frameCount())
        return (frames_.back().pts + frames_.back().duration - start_) * av_q2d(stream_->time_base);
    return (frames_[n].pts - start_) * av_q2d(stream_->time_base);
}

double MvMovieFileSource::frameDuration(int n) const {
    return frames_[n].duration * av_q2d(stream_->time_base);
}

const AVStream* MvMovieFileSource::soundStream() const {
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (format_->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return format_->streams[i];
    return nullptr;
}

int MvMovieFileSource::indexOfTime(std::int64_t pts) const {
    auto it = std::lower_bound(frames_.begin(), frames_.end(), pts,
                               [](const Frame& f, std::int64_t t) { return f.pts < t; });
    if (it == frames_.end() || it->pts != pts)
        return -1;
    return static_cast<int>(it - frames_.begin());
}

int MvMovieFileSource::indexOfPicture(const AVFrame& picture) const {
    if (!decodingOrder_)
        return indexOfTime(picture.best_effort_timestamp);
    if (picture.pkt_dts == AV_NOPTS_VALUE)
        return -1;   // the decoder's last pictures, let out at the end
    const int released = indexOfTime(picture.pkt_dts);
    return released < 0 ? -1 : std::max(released - decoder_->has_b_frames, 0);
}

int MvMovieFileSource::keyFrameBefore(int n) const {
    while (n > 0 && !frames_[n].key)
        --n;
    return std::max(n, 0);
}

void MvMovieFileSource::seekTo(int key) {
    avcodec_flush_buffers(decoder_.get());
    draining_ = false;
    if (av_seek_frame(format_.get(), stream_->index, frames_[key].pts, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(format_.get(), stream_->index, frames_.front().pts, AVSEEK_FLAG_BACKWARD);
    nextDecoded_ = key;
}

bool MvMovieFileSource::decodeOnwards(int n) {
    while (true) {
        while (avcodec_receive_frame(decoder_.get(), picture_.get()) == 0) {
            int index = indexOfPicture(*picture_);
            if (index < 0)
                index = nextDecoded_;
            // Every picture on the way is kept: reading backwards, the
            // frames just before come from the cache.
            if (index >= 0 && index < frameCount()) {
                nextDecoded_ = index + 1;
                cache_.addPicture(index, *picture_);
            }
            av_frame_unref(picture_.get());
            if (index == n)
                return true;
            if (index > n)
                return false;
        }
        if (draining_)
            return false;
        const int status = av_read_frame(format_.get(), packet_.get());
        if (status < 0) {
            avcodec_send_packet(decoder_.get(), nullptr);
            draining_ = true;
            continue;
        }
        if (packet_->stream_index == stream_->index)
            avcodec_send_packet(decoder_.get(), packet_.get());   // damaged packets are skipped
        av_packet_unref(packet_.get());
    }
}

void MvMovieFileSource::decodeUpTo(int n) {
    // Decoding on from where the decoder stands is right whenever it stands
    // at or before n; a key frame closer to n is quicker to start from.
    const int key = keyFrameBefore(n);
    const bool seekNeeded = draining_ || nextDecoded_ < 0 || nextDecoded_ > n ||
                            n - nextDecoded_ > kForwardReach || key > nextDecoded_;
    if (seekNeeded)
        seekTo(key);
    if (decodeOnwards(n))
        return;
    // The key frame shows after n (B-frames that follow it in decoding
    // order show before it), or the seek landed past it: start one key
    // frame earlier, and at last from the start.
    int tried = seekNeeded ? key : -1;
    for (const int start : {key, keyFrameBefore(key - 1), 0}) {
        if (tried >= 0 && start >= tried)
            continue;
        seekTo(start);
        if (decodeOnwards(n))
            return;
        tried = start;
    }
}
