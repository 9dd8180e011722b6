// Encoding frames with a movie's compressor and output settings.
#ifndef MORVANE_ENGINE_MVMOVIEENCODER_H
#define MORVANE_ENGINE_MVMOVIEENCODER_H

#include "media/MvFFmpeg.h"
#include "media/MvMovieCompressors.h"
#include "media/MvPictureConverter.h"
#include "morvane/MvValue.h"

#include <functional>
#include <memory>
#include <string>

// What frames added to a movie are compressed with.
struct MvMovieSettings {
    const MvMovieCompressor* compressor = MvDefaultMovieCompressor();
    double spatialQuality = 0.5;
    double temporalQuality = 0.5;
    int keyFrameInterval = 24;
    int colorDepth = 24;
    double frameRate = 29.97;
};

// The global compression preferences new movies start with.
MvMovieSettings& MvMoviePreferences();

// An open encoder for one run of frames of one size.
class MvMovieEncoder {
public:
    // codec is the compressor's codec unless the caller overrides it. With
    // globalHeader the stream headers go to the codec's extradata (kept by
    // the container) instead of into the key frames.
    MvMovieEncoder(const MvMovieSettings& settings, AVCodecID codec, int width, int height,
                   AVRational timeBase, bool globalHeader);
    AVCodecContext& context() { return *context_; }
    // Encodes the image (scaled to the encoder's size) at pts; each packet
    // made goes to sink. A null image flushes the encoder.
    void encode(MvValue* image, std::int64_t pts,
                const std::function<void(AVPacket&)>& sink);
    void flush(const std::function<void(AVPacket&)>& sink);
    // The encoder's name for messages.
    std::string name() const;

private:
    void drain(const std::function<void(AVPacket&)>& sink);
    MvCodecContextPtr context_;
    MvPacketPtr packet_ = MvNewPacket();
    std::unique_ptr<MvPictureConverter> converter_;
};

#endif
