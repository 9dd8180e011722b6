#include "media/MvMovieSoundInput.h"

#include "morvane/MvException.h"

#include <cmath>

MvMovieSoundInput::MvMovieSoundInput(const std::string& path) : path_(path) {
    MvQuietFFmpeg();
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0)
        MvRaise("Cannot open movie file \"" + path + "\"");
    format_.reset(opened);
    if (avformat_find_stream_info(opened, nullptr) < 0)
        MvRaise("File \"" + path + "\" does not seem to be a movie file.");
    for (unsigned i = 0; i < opened->nb_streams && !stream_; ++i)
        if (opened->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            stream_ = opened->streams[i];
    if (!stream_)
        MvRaise("File \"" + path + "\" does not seem to be a movie file.");
    for (unsigned i = 0; i < opened->nb_streams; ++i)
        if (opened->streams[i] != stream_)
            opened->streams[i]->discard = AVDISCARD_ALL;
}

void MvMovieSoundInput::seek(double seconds) {
    const std::int64_t target = std::llround(seconds / av_q2d(stream_->time_base));
    // Where no packet lies at or before the target, reading starts over;
    // the packets before the target are passed over by the reader.
    if (av_seek_frame(format_.get(), stream_->index, target, AVSEEK_FLAG_BACKWARD) < 0) {
        const std::int64_t start = stream_->start_time != AV_NOPTS_VALUE ? stream_->start_time : 0;
        av_seek_frame(format_.get(), stream_->index, start, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    }
    if (decoder_)
        avcodec_flush_buffers(decoder_.get());
}

bool MvMovieSoundInput::read(AVPacket& packet) {
    while (av_read_frame(format_.get(), &packet) >= 0) {
        if (packet.stream_index == stream_->index)
            return true;
        av_packet_unref(&packet);
    }
    return false;
}

AVCodecContext& MvMovieSoundInput::decoder() {
    if (decoder_)
        return *decoder_;
    const AVCodec* codec = avcodec_find_decoder(stream_->codecpar->codec_id);
    if (!codec)
        MvRaise("The sound of \"" + path_ + "\" cannot be decoded (" +
                avcodec_get_name(stream_->codecpar->codec_id) + ").");
    MvCodecContextPtr made = MvNewCodecContext(codec);
    made->pkt_timebase = stream_->time_base;
    if (avcodec_parameters_to_context(made.get(), stream_->codecpar) < 0 ||
        avcodec_open2(made.get(), codec, nullptr) < 0)
        MvRaise("The sound of \"" + path_ + "\" cannot be decoded (" +
                avcodec_get_name(stream_->codecpar->codec_id) + ").");
    decoder_ = std::move(made);
    return *decoder_;
}

MvMovieSoundInput& MvMovieSoundInputs::of(const MvMovieFileSource& file) {
    std::unique_ptr<MvMovieSoundInput>& input = opened_[&file];
    if (!input)
        input = std::make_unique<MvMovieSoundInput>(file.path());
    return *input;
}
