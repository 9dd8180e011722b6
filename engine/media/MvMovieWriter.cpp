// Saving a movie as one self-contained file in the container its ending
// names. Runs of frames that can be carried as they are go over packet by
// packet; everything else is decoded and encoded again.
#include "media/MvMovieFileSource.h"
#include "media/MvMovieFrameStore.h"
#include "media/MvMovieFrames.h"
#include "media/MvMovieValue.h"

#include "morvane/MvException.h"
#include "morvane/MvProcess.h"
#include "values/MvReplacingFile.h"

#include <cmath>
#include <ostream>

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

// Codecs whose pictures need headers the frame store does not keep.
bool needsStoredHeaders(AVCodecID codec) {
    return codec == AV_CODEC_ID_H264 || codec == AV_CODEC_ID_HEVC || codec == AV_CODEC_ID_MPEG4 ||
           codec == AV_CODEC_ID_AV1;
}

class MovieWriter {
public:
    MovieWriter(MvMovieValue& movie, const std::string& path) : movie_(movie), path_(path) {}
    void write(std::ostream& out);

private:
    bool canCopy() const;
    void openContainer(std::ostream& out);
    void copyPackets();
    void copySegment(const MvMovieSegment& segment, std::int64_t offset);
    void encodeFrames();
    void send(AVPacket& packet, AVRational from);
    void send(AVPacket& packet, AVRational from, AVStream& to);
    // The sound of the movie's source file, when all its file segments come
    // from one file with sound the container can carry.
    void findSound();
    void copySound();

    MvMovieValue& movie_;
    std::string path_;
    OutputPtr output_;
    AVStream* stream_ = nullptr;
    std::int64_t lastDts_ = AV_NOPTS_VALUE;
    MvMovieFileSource* soundFile_ = nullptr;
    const AVStream* sound_ = nullptr;
    AVStream* soundOut_ = nullptr;
};

bool MovieWriter::canCopy() const {
    const auto& segments = movie_.segments();
    MvMovieSource* source = segments.front().source.get();
    const AVCodecParameters& codec = source->codecParameters();
    if (avformat_query_codec(output_->oformat, codec.codec_id, FF_COMPLIANCE_NORMAL) != 1)
        return false;
    auto* file = dynamic_cast<MvMovieFileSource*>(source);
    if (!file && needsStoredHeaders(codec.codec_id))
        return false;
    if (segments.size() > 1 && codec.video_delay > 0)
        return false;
    for (const MvMovieSegment& segment : segments) {
        if (segment.source.get() != source || !source->isKeyFrame(segment.first))
            return false;
        const int end = segment.first + segment.count;
        if (end < source->frameCount() && !source->isKeyFrame(end) && codec.video_delay > 0)
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

void MovieWriter::findSound() {
    for (const MvMovieSegment& segment : movie_.segments()) {
        auto* file = dynamic_cast<MvMovieFileSource*>(segment.source.get());
        if (!file)
            continue;
        if (soundFile_ && file != soundFile_)
            return void(soundFile_ = nullptr);
        soundFile_ = file;
    }
    sound_ = soundFile_ ? soundFile_->soundStream() : nullptr;
    if (!sound_ || avformat_query_codec(output_->oformat, sound_->codecpar->codec_id,
                                        FF_COMPLIANCE_NORMAL) != 1)
        return void(sound_ = nullptr);
    soundOut_ = avformat_new_stream(output_.get(), nullptr);
    if (!soundOut_ || avcodec_parameters_copy(soundOut_->codecpar, sound_->codecpar) < 0)
        MvRaise("Not enough memory to save a movie.");
    soundOut_->codecpar->codec_tag = 0;
    soundOut_->time_base = sound_->time_base;
}

// The sound under each segment of the file goes with it; frames the script
// added have none.
void MovieWriter::copySound() {
    if (!sound_)
        return;
    AVFormatContext& format = soundFile_->format();
    const AVRational base = sound_->time_base;
    const double start = soundFile_->startSeconds();
    MvPacketPtr packet = MvNewPacket();
    int position = 0;
    std::int64_t lastEnd = AV_NOPTS_VALUE;
    for (const MvMovieSegment& segment : movie_.segments()) {
        const double movieTime = movie_.frameTime(position);
        position += segment.count;
        if (segment.source.get() != soundFile_)
            continue;
        const double from = start + soundFile_->frameTime(segment.first);
        const double to = start + soundFile_->frameTime(segment.first + segment.count);
        const std::int64_t fromTs = std::llround(from / av_q2d(base));
        const std::int64_t toTs = std::llround(to / av_q2d(base));
        const std::int64_t shift = std::llround(movieTime / av_q2d(base)) - fromTs;
        av_seek_frame(&format, sound_->index, fromTs, AVSEEK_FLAG_BACKWARD);
        while (av_read_frame(&format, packet.get()) >= 0) {
            const bool ours = packet->stream_index == sound_->index && packet->pts != AV_NOPTS_VALUE;
            const std::int64_t pts = packet->pts;
            if (ours && pts >= toTs) {
                av_packet_unref(packet.get());
                break;
            }
            // Packets that overlap the segment's start belong to it.
            if (ours && pts + packet->duration > fromTs) {
                packet->pts = pts + shift;
                packet->dts = packet->pts;
                if (lastEnd == AV_NOPTS_VALUE || packet->pts >= lastEnd) {
                    lastEnd = packet->pts + packet->duration;
                    send(*packet, base, *soundOut_);
                }
            }
            av_packet_unref(packet.get());
        }
    }
    soundFile_->forgetPosition();
}

void MovieWriter::send(AVPacket& packet, AVRational from, AVStream& to) {
    av_packet_rescale_ts(&packet, from, to.time_base);
    packet.stream_index = to.index;
    if (av_interleaved_write_frame(output_.get(), &packet) < 0)
        raiseWriteFailure();
}

void MovieWriter::send(AVPacket& packet, AVRational from) {
    av_packet_rescale_ts(&packet, from, stream_->time_base);
    packet.stream_index = stream_->index;
    if (packet.dts != AV_NOPTS_VALUE && lastDts_ != AV_NOPTS_VALUE && packet.dts <= lastDts_)
        packet.dts = lastDts_ + 1;
    if (packet.pts != AV_NOPTS_VALUE && packet.dts != AV_NOPTS_VALUE && packet.pts < packet.dts)
        packet.pts = packet.dts;
    lastDts_ = packet.dts;
    if (av_interleaved_write_frame(output_.get(), &packet) < 0)
        raiseWriteFailure();
}

void MovieWriter::copySegment(const MvMovieSegment& segment, std::int64_t offset) {
    MvPacketPtr packet = MvNewPacket();
    if (auto* store = dynamic_cast<MvMovieFrameStore*>(segment.source.get())) {
        for (int n = segment.first; n < segment.first + segment.count; ++n) {
            if (!store->packet(n, *packet))
                raiseWriteFailure();
            packet->pts = packet->dts = n - segment.first + offset;
            send(*packet, store->timeBase());
            av_packet_unref(packet.get());
        }
        return;
    }
    auto& file = static_cast<MvMovieFileSource&>(*segment.source);
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
            send(*packet, file.timeBase());
        }
        av_packet_unref(packet.get());
        if (past)
            break;
    }
    // The source's decoder must seek again before its next frame.
    file.forgetPosition();
}

void MovieWriter::copyPackets() {
    MvMovieSource& source = *movie_.segments().front().source;
    const AVCodecParameters& codec = source.codecParameters();
    if (avcodec_parameters_copy(stream_->codecpar, &codec) < 0)
        MvRaise("Not enough memory to save a movie.");
    stream_->codecpar->codec_tag = 0;
    auto* file = dynamic_cast<MvMovieFileSource*>(&source);
    const AVRational base = file ? file->timeBase()
                                 : static_cast<MvMovieFrameStore&>(source).timeBase();
    stream_->time_base = base;
    findSound();
    if (avformat_write_header(output_.get(), nullptr) < 0)
        raiseWriteFailure();
    std::int64_t offset = 0;
    for (const MvMovieSegment& segment : movie_.segments()) {
        copySegment(segment, offset);
        offset += static_cast<std::int64_t>(std::llround(
            (source.frameTime(segment.first + segment.count) - source.frameTime(segment.first)) /
            av_q2d(base)));
    }
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
    const AVRational rate = av_d2q(settings.frameRate, 100000);
    MvMovieEncoder encoder(settings, codec, movie_.width(), movie_.height(), av_inv_q(rate),
                           (container.flags & AVFMT_GLOBALHEADER) != 0);
    AVCodecContext& context = encoder.context();
    if (avcodec_parameters_from_context(stream_->codecpar, &context) < 0)
        MvRaise("Not enough memory to save a movie.");
    stream_->time_base = context.time_base;
    stream_->avg_frame_rate = context.framerate;
    findSound();
    if (avformat_write_header(output_.get(), nullptr) < 0)
        raiseWriteFailure();
    const auto sink = [&](AVPacket& packet) { send(packet, context.time_base); };
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
    copySound();
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
