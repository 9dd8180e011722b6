#include "media/MvMovieSoundTrack.h"

#include "media/MvMovieFileSource.h"
#include "media/MvMovieSoundCopy.h"
#include "media/MvMovieSoundEncoder.h"
#include "morvane/MvProcess.h"

#include <algorithm>

namespace {

// Sound packets of a and b can follow one another in one stream.
bool sameCoding(const AVCodecParameters& a, const AVCodecParameters& b) {
    return a.codec_id == b.codec_id && a.sample_rate == b.sample_rate &&
           av_channel_layout_compare(&a.ch_layout, &b.ch_layout) == 0 && a.format == b.format &&
           a.profile == b.profile && a.extradata_size == b.extradata_size &&
           std::equal(a.extradata, a.extradata + a.extradata_size, b.extradata);
}

bool takes(const AVOutputFormat& container, AVCodecID codec) {
    return codec != AV_CODEC_ID_NONE && (codec == container.audio_codec ||
                                         avformat_query_codec(&container, codec,
                                                              FF_COMPLIANCE_NORMAL) == 1);
}

// The container's usual sound codec when FFmpeg can encode it, else the
// first of some common ones that the container takes.
const AVCodec* soundEncoderFor(const AVOutputFormat& container) {
    const AVCodecID candidates[] = {container.audio_codec, AV_CODEC_ID_AAC,  AV_CODEC_ID_OPUS,
                                    AV_CODEC_ID_VORBIS,    AV_CODEC_ID_MP3,  AV_CODEC_ID_MP2,
                                    AV_CODEC_ID_AC3,       AV_CODEC_ID_FLAC, AV_CODEC_ID_PCM_S16LE};
    for (AVCodecID id : candidates) {
        if (!takes(container, id))
            continue;
        const AVCodec* codec = avcodec_find_encoder(id);
        if (codec && codec->sample_fmts && !(codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
            return codec;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<MvMovieSoundTrack> MvNewSoundTrack(AVFormatContext& output,
                                                   const std::vector<MvSoundSpan>& spans,
                                                   const MvMovieSoundTrack::Sink& sink,
                                                   const std::string& path) {
    std::vector<MvSoundSpan> sound = spans;
    const AVStream* model = nullptr;
    bool everywhere = true;
    bool alike = true;
    for (MvSoundSpan& span : sound) {
        const AVStream* stream = span.file ? span.file->soundStream() : nullptr;
        if (!stream) {
            span.file = nullptr;
            everywhere = false;
            continue;
        }
        if (!model)
            model = stream;
        else if (!sameCoding(*model->codecpar, *stream->codecpar))
            alike = false;
    }
    if (!model)
        return nullptr;
    const AVOutputFormat& container = *output.oformat;
    if (everywhere && alike && takes(container, model->codecpar->codec_id))
        return std::make_unique<MvMovieSoundCopy>(output, sound, *model, sink);
    const AVCodec* codec = soundEncoderFor(container);
    if (!codec) {
        MvWarning(("The sound of the movie cannot be stored in \"" + path + "\"; it was left out.")
                      .c_str());
        return nullptr;
    }
    return std::make_unique<MvMovieSoundEncoder>(output, sound, *codec, *model, sink);
}
