// Saving a movie as one self-contained file in the container its ending
// names. Runs of frames that can be carried as they are go over packet by
// packet; everything else is decoded and encoded again.
#include "media/MvMovieFileSource.h"
#include "media/MvMovieFrameStore.h"
#include "media/MvMovieFrames.h"
#include "media/MvMovieSoundTrack.h"
#include "media/MvMovieValue.h"

#include "morvane/MvException.h"
#include "morvane/MvProcess.h"
#include "values/MvReplacingFile.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <vector>

namespace {

struct OutputClose {
    void operator()(AVFormatContext* f) const {
        // The context's buffer is the writer's to free (FFmpeg may have
        // replaced the one it was given).
        if (f->pb) {
            av_freep(&f->pb->buffer);
            avio_context_free(&f->pb);
        }
        avformat_free_context(f);
    }
};
using OutputPtr = std::unique_ptr<AVFormatContext, OutputClose>;

int writeBytes(void* opaque, std::uint8_t* data, int size) {
    auto& out = *static_cast<std::ostream*>(opaque);
    out.write(reinterpret_cast<const char*>(data), size);
    return out ? size : AVERROR(EIO);
}

std::int64_t seekBytes(void* opaque, std::int64_t offset, int whence) {
    auto& out = *static_cast<std::ostream*>(opaque);
    if (whence & AVSEEK_SIZE)
        return -1;
    const std::ios::seekdir from = whence == SEEK_CUR ? std::ios::cur
                                   : whence == SEEK_END ? std::ios::end
                                                        : std::ios::beg;
    out.seekp(offset, from);
    return out ? static_cast<std::int64_t>(out.tellp()) : -1;
}

[[noreturn]] void raiseWriteFailure() { MvRaise("Could not save movie file."); }

// Coded pictures of streams a and b can follow one another in one stream.
bool sameCoding(const AVCodecParameters& a, const AVCodecParameters& b) {
    return a.codec_id == b.codec_id && a.width == b.width && a.height == b.height &&
           a.format == b.format && a.profile == b.profile && a.extradata_size == b.extradata_size &&
           std::equal(a.extradata, a.extradata + a.extradata_size, b.extradata);
}

// A clock that counts the frame lengths movies commonly mix (1/24, 1/25,
// 1/30 and 1/29.97 s) in whole ticks, within what MPEG-4 takes (16 bits).
constexpr AVRational kMixedRateTimeBase{1, 60000};

// Codecs and containers that place each picture at its own time; the others
// (AVI, which counts frames, and codecs of fixed frame rates) give every
// picture one frame period.
bool takesAnyTimes(const AVOutputFormat& container, const AVCodec& codec) {
    const AVCodecID id = codec.id;
    return std::string(container.name) != "avi" && !codec.supported_framerates &&
           id != AV_CODEC_ID_H261 && id != AV_CODEC_ID_H263 && id != AV_CODEC_ID_DVVIDEO;
}

AVRational timeBaseOf(const MvMovieSource& source) {
    if (auto* file = dynamic_cast<const MvMovieFileSource*>(&source))
        return file->timeBase();
    return static_cast<const MvMovieFrameStore&>(source).timeBase();
}

class MovieWriter {
public:
    MovieWriter(MvMovieValue& movie, const std::string& path) : movie_(movie), path_(path) {}
    void write(std::ostream& out);

private:
    bool canCopy() const;
    // Pictures whose stream headers are kept apart from them (the frame
    // store's, MP4's) go only into containers that keep such headers, or
    // into the kind of container they come from.
    bool carriesHeaders(MvMovieSource& source) const;
    void openContainer(std::ostream& out);
    void copyPackets();
    void copySegment(const MvMovieSegment& segment, double start);
    void encodeFrames();
    // True when every frame lasts as long as the first.
    bool evenFrames() const;
    // The sound stream (when the movie has sound) and the container's header.
    void startFile();
    std::vector<MvSoundSpan> soundSpans() const;
    // Writes a video packet, then the sound up to its time.
    void sendVideo(AVPacket& packet, AVRational from);
    void send(AVPacket& packet, AVRational from, AVStream& to);

    MvMovieValue& movie_;
    std::string path_;
    OutputPtr output_;
    AVStream* stream_ = nullptr;
    std::unique_ptr<MvMovieSoundTrack> sound_;
    std::vector<std::int64_t> lastDts_;   // by stream
};

bool MovieWriter::carriesHeaders(MvMovieSource& source) const {
    if (source.codecParameters().extradata_size == 0 ||
        (output_->oformat->flags & AVFMT_GLOBALHEADER))
        return true;
    auto* file = dynamic_cast<MvMovieFileSource*>(&source);
    return file && std::string(file->format().iformat->name) == output_->oformat->name;
}

bool MovieWriter::canCopy() const {
    const auto& segments = movie_.segments();
    const AVCodecParameters& codec = segments.front().source->codecParameters();
    if (avformat_query_codec(output_->oformat, codec.codec_id, FF_COMPLIANCE_NORMAL) != 1)
        return false;
    for (const MvMovieSegment& segment : segments) {
        MvMovieSource& source = *segment.source;
        if (!sameCoding(source.codecParameters(), codec) || !carriesHeaders(source) ||
            !source.isKeyFrame(segment.first))
            return false;
        // Pictures that refer to later ones cannot be cut off from them.
        const int end = segment.first + segment.count;
        if (codec.video_delay > 0 &&
            (segments.size() > 1 || (end < source.frameCount() && !source.isKeyFrame(end))))
            return false;
    }
    return true;
}

void MovieWriter::openContainer(std::ostream& out) {
    AVFormatContext* made = nullptr;
    if (avformat_alloc_output_context2(&made, nullptr, nullptr, path_.c_str()) < 0 || !made)
        MvRaise("Could not create movie (FlattenMovieData): no movie container has the ending of \"" +
                path_ + "\".");
    output_.reset(made);
    if (output_->oformat->video_codec == AV_CODEC_ID_NONE)
        MvRaise("Could not create movie (FlattenMovieData): \"" + path_ +
                "\" names a container without video.");
    constexpr int kBufferSize = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    output_->pb = avio_alloc_context(buffer, kBufferSize, 1, &out, nullptr, writeBytes, seekBytes);
    if (!output_->pb) {
        av_free(buffer);
        MvRaise("Not enough memory to save a movie.");
    }
    stream_ = avformat_new_stream(output_.get(), nullptr);
    if (!stream_)
        MvRaise("Not enough memory to save a movie.");
}

std::vector<MvSoundSpan> MovieWriter::soundSpans() const {
    std::vector<MvSoundSpan> spans;
    int position = 0;
    for (const MvMovieSegment& segment : movie_.segments()) {
        MvSoundSpan span{dynamic_cast<MvMovieFileSource*>(segment.source.get()), 0, 0,
                         movie_.frameTime(position), 0};
        position += segment.count;
        span.until = movie_.frameTime(position);
        if (span.file) {
            const double start = span.file->startSeconds();
            span.from = start + span.file->frameTime(segment.first);
            span.to = start + span.file->frameTime(segment.first + segment.count);
        }
        spans.push_back(span);
    }
    return spans;
}

void MovieWriter::startFile() {
    sound_ = MvNewSoundTrack(
        *output_, soundSpans(),
        [this](AVPacket& packet, AVRational from, AVStream& to) { send(packet, from, to); }, path_);
    if (avformat_write_header(output_.get(), nullptr) < 0)
        raiseWriteFailure();
    lastDts_.assign(output_->nb_streams, AV_NOPTS_VALUE);
}

void MovieWriter::send(AVPacket& packet, AVRational from, AVStream& to) {
    av_packet_rescale_ts(&packet, from, to.time_base);
    packet.stream_index = to.index;
    std::int64_t& last = lastDts_[to.index];
    if (packet.dts != AV_NOPTS_VALUE && last != AV_NOPTS_VALUE && packet.dts <= last)
        packet.dts = last + 1;
    if (packet.pts != AV_NOPTS_VALUE && packet.dts != AV_NOPTS_VALUE && packet.pts < packet.dts)
        packet.pts = packet.dts;
    last = packet.dts;
    if (av_interleaved_write_frame(output_.get(), &packet) < 0)
        raiseWriteFailure();
}

void MovieWriter::sendVideo(AVPacket& packet, AVRational from) {
    const std::int64_t pts = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    const double seconds = pts != AV_NOPTS_VALUE ? pts * av_q2d(from) : 0;
    send(packet, from, *stream_);
    if (sound_)
        sound_->writeUntil(seconds);
}

void MovieWriter::copySegment(const MvMovieSegment& segment, double start) {
    MvPacketPtr packet = MvNewPacket();
    if (auto* store = dynamic_cast<MvMovieFrameStore*>(segment.source.get())) {
        const AVRational base = store->timeBase();
        const std::int64_t offset = std::llround(start / av_q2d(base));
        for (int n = segment.first; n < segment.first + segment.count; ++n) {
            if (!store->packet(n, *packet))
                raiseWriteFailure();
            packet->pts = packet->dts = n - segment.first + offset;
            sendVideo(*packet, base);
            av_packet_unref(packet.get());
        }
        return;
    }
    auto& file = static_cast<MvMovieFileSource&>(*segment.source);
    const AVRational base = file.timeBase();
    const std::int64_t offset = std::llround(start / av_q2d(base));
    const std::int64_t first = file.framePts(segment.first);
    const int end = segment.first + segment.count;
    const std::int64_t last = end < file.frameCount() ? file.framePts(end) : INT64_MAX;
    AVFormatContext& format = file.format();
    av_seek_frame(&format, file.videoStreamIndex(), first, AVSEEK_FLAG_BACKWARD);
    while (av_read_frame(&format, packet.get()) >= 0) {
        const bool ours = packet->stream_index == file.videoStreamIndex();
        const std::int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        const bool past = ours && pts >= last && packet->dts >= last;
        if (ours && pts >= first && pts < last) {
            packet->pts = pts - first + offset;
            packet->dts = packet->dts == AV_NOPTS_VALUE ? packet->pts : packet->dts - first + offset;
            sendVideo(*packet, base);
        }
        av_packet_unref(packet.get());
        if (past)
            break;
    }
    // The source's decoder must seek again before its next frame.
    file.forgetPosition();
}

void MovieWriter::copyPackets() {
    const MvMovieSource& source = *movie_.segments().front().source;
    if (avcodec_parameters_copy(stream_->codecpar, &source.codecParameters()) < 0)
        MvRaise("Not enough memory to save a movie.");
    stream_->codecpar->codec_tag = 0;
    stream_->time_base = timeBaseOf(source);
    startFile();
    int position = 0;
    for (const MvMovieSegment& segment : movie_.segments()) {
        copySegment(segment, movie_.frameTime(position));
        position += segment.count;
    }
}

bool MovieWriter::evenFrames() const {
    const double first = movie_.frameDuration(0);
    for (int n = 1, count = movie_.frameCount(); n < count; ++n)
        if (std::abs(movie_.frameDuration(n) - first) > 1e-6)
            return false;
    return true;
}

void MovieWriter::encodeFrames() {
    const AVOutputFormat& container = *output_->oformat;
    MvMovieSettings settings = movie_.settings();
    AVCodecID codec = settings.compressor ? settings.compressor->codec : container.video_codec;
    if (avformat_query_codec(&container, codec, FF_COMPLIANCE_NORMAL) != 1) {
        const AVCodecID usual = container.video_codec;
        MvWarning((std::string("The movie compressor \"") +
                   (settings.compressor ? settings.compressor->name : "") +
                   "\" cannot be stored in \"" + path_ + "\"; its frames were compressed with " +
                   avcodec_get_name(usual) + " instead.")
                      .c_str());
        codec = usual;
    }
    const double first = movie_.frameDuration(0);
    settings.frameRate = first > 0 ? 1.0 / first : settings.frameRate;
    // Frames of several lengths (a file's and the script's) keep their times
    // on a finer clock where the codec and container allow it, so that the
    // pictures stay in step with the sound.
    AVRational timeBase = av_inv_q(av_d2q(settings.frameRate, 100000));
    const AVCodec* encoderCodec = avcodec_find_encoder(codec);
    if (!evenFrames() && encoderCodec && takesAnyTimes(container, *encoderCodec))
        timeBase = kMixedRateTimeBase;
    MvMovieEncoder encoder(settings, codec, movie_.width(), movie_.height(), timeBase,
                           (container.flags & AVFMT_GLOBALHEADER) != 0);
    AVCodecContext& context = encoder.context();
    if (avcodec_parameters_from_context(stream_->codecpar, &context) < 0)
        MvRaise("Not enough memory to save a movie.");
    stream_->time_base = context.time_base;
    stream_->avg_frame_rate = context.framerate;
    startFile();
    const auto sink = [&](AVPacket& packet) { sendVideo(packet, context.time_base); };
    std::int64_t previous = -1;
    const int count = movie_.frameCount();
    for (int n = 0; n < count; ++n) {
        MvValueHolder frame(movie_.frame(n));
        std::int64_t pts = std::llround(movie_.frameTime(n) / av_q2d(context.time_base));
        if (pts <= previous)
            pts = previous + 1;
        previous = pts;
        encoder.encode(frame.get(), pts, sink);
    }
    encoder.flush(sink);
}

void MovieWriter::write(std::ostream& out) {
    openContainer(out);
    if (canCopy())
        copyPackets();
    else
        encodeFrames();
    if (sound_)
        sound_->finish();
    if (av_write_trailer(output_.get()) < 0)
        raiseWriteFailure();
    avio_flush(output_->pb);
    if (!out)
        raiseWriteFailure();
}

} // namespace

void MvMovieValue::save(const std::string& path) {
    commit();
    if (frameCount() == 0)
        MvRaise("Could not create movie (FlattenMovieData): the movie has no frames.");
    MvQuietFFmpeg();
    MvReplacingFile file(path, std::ios::binary | std::ios::out | std::ios::trunc);
    MovieWriter(*this, path).write(file.stream());
    file.commit();
}

void MvMovieValue::SaveToFile(const char* path) { save(path); }
