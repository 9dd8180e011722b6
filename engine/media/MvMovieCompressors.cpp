#include "media/MvMovieCompressors.h"

#include "morvane/MvException.h"

namespace {

constexpr std::uint32_t fourCC(const char (&c)[5]) {
    return (std::uint32_t(std::uint8_t(c[0])) << 24) | (std::uint32_t(std::uint8_t(c[1])) << 16) |
           (std::uint32_t(std::uint8_t(c[2])) << 8) | std::uint32_t(std::uint8_t(c[3]));
}

const MvMovieCompressor kCompressors[] = {
    {"Cinepak", fourCC("cvid"), AV_CODEC_ID_CINEPAK},
    {"Animation", fourCC("rle "), AV_CODEC_ID_QTRLE},
    {"Video", fourCC("rpza"), AV_CODEC_ID_RPZA},
    {"Graphics", fourCC("smc "), AV_CODEC_ID_SMC},
    {"Photo - JPEG", fourCC("jpeg"), AV_CODEC_ID_MJPEG},
    {"Motion JPEG A", fourCC("mjpa"), AV_CODEC_ID_MJPEG},
    {"PNG", fourCC("png "), AV_CODEC_ID_PNG},
    {"TIFF", fourCC("tiff"), AV_CODEC_ID_TIFF},
    {"None", fourCC("raw "), AV_CODEC_ID_RAWVIDEO},
    {"H.261", fourCC("h261"), AV_CODEC_ID_H261},
    {"H.263", fourCC("h263"), AV_CODEC_ID_H263},
    {"H.264", fourCC("avc1"), AV_CODEC_ID_H264},
    {"HEVC", fourCC("hvc1"), AV_CODEC_ID_HEVC},
    {"MPEG-4 Video", fourCC("mp4v"), AV_CODEC_ID_MPEG4},
    {"Sorenson Video", fourCC("SVQ1"), AV_CODEC_ID_SVQ1},
    {"DV - NTSC", fourCC("dvc "), AV_CODEC_ID_DVVIDEO},
    {"DV - PAL", fourCC("dvcp"), AV_CODEC_ID_DVVIDEO},
    {"VP8", fourCC("VP80"), AV_CODEC_ID_VP8},
    {"VP9", fourCC("VP90"), AV_CODEC_ID_VP9},
    {"AV1", fourCC("av01"), AV_CODEC_ID_AV1},
    {"FFV1", fourCC("FFV1"), AV_CODEC_ID_FFV1},
};

std::vector<const MvMovieCompressor*> presentCompressors() {
    MvQuietFFmpeg();
    std::vector<const MvMovieCompressor*> present;
    for (const MvMovieCompressor& compressor : kCompressors)
        if (avcodec_find_encoder(compressor.codec))
            present.push_back(&compressor);
    return present;
}

} // namespace

const std::vector<const MvMovieCompressor*>& MvAvailableMovieCompressors() {
    static const std::vector<const MvMovieCompressor*> present = presentCompressors();
    return present;
}

const MvMovieCompressor& MvMovieCompressorNamed(const std::string& name) {
    for (const MvMovieCompressor* compressor : MvAvailableMovieCompressors())
        if (name == compressor->name)
            return *compressor;
    std::string message = "Unknown movie compressor: \"" + name + "\"\nAvailable compressors are:";
    for (const MvMovieCompressor* compressor : MvAvailableMovieCompressors())
        message += std::string("\n    \"") + compressor->name + "\"";
    MvRaise(message);
}

const MvMovieCompressor* MvMovieCompressorWithCode(std::uint32_t code) {
    for (const MvMovieCompressor* compressor : MvAvailableMovieCompressors())
        if (compressor->code == code)
            return compressor;
    return nullptr;
}

const MvMovieCompressor* MvMovieCompressorForCodec(AVCodecID codec) {
    for (const MvMovieCompressor* compressor : MvAvailableMovieCompressors())
        if (compressor->codec == codec)
            return compressor;
    return nullptr;
}

const MvMovieCompressor* MvDefaultMovieCompressor() {
    const auto& present = MvAvailableMovieCompressors();
    return present.empty() ? nullptr : present.front();
}
