// A movie file's sound, read on its own. The file is opened a second time,
// so that its sound can be read alongside its pictures while the movie's
// own reader stands elsewhere in the file.
#ifndef MORVANE_ENGINE_MVMOVIESOUNDINPUT_H
#define MORVANE_ENGINE_MVMOVIESOUNDINPUT_H

#include "media/MvMovieFileSource.h"

#include <map>
#include <memory>
#include <string>

class MvMovieSoundInput {
public:
    // Opens path (a file or a URL) and its first sound stream; raises
    // "Cannot open movie file" when the file can no longer be read and the
    // not-a-movie message when it has no sound now.
    explicit MvMovieSoundInput(const std::string& path);

    const AVStream& stream() const { return *stream_; }
    // Goes to the packet at or before seconds of the file's clock.
    void seek(double seconds);
    // The next packet of the sound stream; false at the end of the file (or
    // where it is damaged).
    bool read(AVPacket& packet);
    // The stream's decoder, opened on first use; raises when FFmpeg has none.
    AVCodecContext& decoder();

private:
    std::string path_;
    MvFormatContextPtr format_;
    AVStream* stream_ = nullptr;
    MvCodecContextPtr decoder_;
};

// The sound inputs of the files a movie is cut from, each opened the first
// time it is asked for.
class MvMovieSoundInputs {
public:
    MvMovieSoundInput& of(const MvMovieFileSource& file);

private:
    std::map<const MvMovieFileSource*, std::unique_ptr<MvMovieSoundInput>> opened_;
};

#endif
