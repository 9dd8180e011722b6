// Frames a script adds to a movie, compressed with the movie's settings
// into the movie's own temporary file (named as temporary files are) and
// read back like any other frames. The file holds the coded pictures one
// after another; their places are kept here. It is removed when the last
// movie that shows one of its frames lets go of it.
#ifndef MORVANE_ENGINE_MVMOVIEFRAMESTORE_H
#define MORVANE_ENGINE_MVMOVIEFRAMESTORE_H

#include "media/MvMovieEncoder.h"
#include "media/MvMoviePictureConverter.h"
#include "media/MvMovieSource.h"

#include <cstdint>
#include <fstream>
#include <memory>

class MvMovieFrameStore : public MvMovieSource {
public:
    // Frames of width x height, compressed with settings (which stay).
    MvMovieFrameStore(const MvMovieSettings& settings, int width, int height);
    ~MvMovieFrameStore() override;

    // Compresses the image (of the store's size) as the next frame.
    void add(MvValue* image);
    // Writes the pictures the encoder still holds; the next frame starts a
    // new run with a key frame.
    void commit();
    bool matches(const MvMovieSettings& settings, int width, int height) const;

    int frameCount() const override { return added_; }
    double frameTime(int n) const override { return n * frameDuration(n); }
    double frameDuration(int) const override { return 1.0 / frameRate_; }
    const AVCodecParameters& codecParameters() const override { return *parameters_; }
    bool isKeyFrame(int n) const override;
    AVRational timeBase() const { return timeBase_; }
    // Picture n as it is stored (after commit).
    bool packet(int n, AVPacket& out);

protected:
    void decodeUpTo(int n) override;

private:
    struct Picture {
        std::int64_t offset;
        int size;
        bool key;
    };
    void startRun();
    void store(AVPacket& packet);
    void openDecoder();

    MvMovieSettings settings_;
    double frameRate_;
    AVRational timeBase_;
    std::unique_ptr<MvMovieEncoder> encoder_;
    struct ParametersFree {
        void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
    };
    std::unique_ptr<AVCodecParameters, ParametersFree> parameters_{avcodec_parameters_alloc()};
    MvCodecContextPtr decoder_;
    // Pictures become frames as a file's pictures do, so a frame reads the
    // same before and after the movie is saved.
    MvMoviePictureConverter converter_;
    std::fstream file_;
    std::vector<Picture> pictures_;
    int added_ = 0;
    // The picture the decoder gives next, -1 when it must start again at a
    // key frame.
    int nextDecoded_ = -1;
    int nextSent_ = -1;
};

#endif
