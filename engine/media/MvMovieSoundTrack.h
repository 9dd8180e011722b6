// The sound track of a movie being saved. Under each segment of a file with
// sound goes that file's sound; under frames the script added and under
// segments of files without sound goes silence of their length, so that the
// sound stays in step with the frames after them.
//
// When every segment has sound coded alike in a coding the container takes,
// the sound packets are copied as they are; otherwise the sound is decoded
// and encoded again with the container's usual sound codec.
#ifndef MORVANE_ENGINE_MVMOVIESOUNDTRACK_H
#define MORVANE_ENGINE_MVMOVIESOUNDTRACK_H

#include "media/MvFFmpeg.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MvMovieFileSource;

// A stretch of the movie and the sound that goes under it.
struct MvSoundSpan {
    MvMovieFileSource* file;   // null (or a file without sound): silence
    double from;               // the stretch in seconds of the file's clock
    double to;
    double at;                 // its place in the movie, in seconds
    double until;
};

class MvMovieSoundTrack {
public:
    // Writes a packet of time base from to the stream to.
    using Sink = std::function<void(AVPacket& packet, AVRational from, AVStream& to)>;

    virtual ~MvMovieSoundTrack() = default;
    // Writes the sound up to seconds of the movie (a little past it at most).
    virtual void writeUntil(double seconds) = 0;
    // Writes the rest of the sound.
    virtual void finish() = 0;
};

// The sound track of the spans, its stream added to output (whose header is
// not written yet); null when no span has sound. When the container takes no
// sound codec FFmpeg can encode, the sound is left out with a warning.
std::unique_ptr<MvMovieSoundTrack> MvNewSoundTrack(AVFormatContext& output,
                                                   const std::vector<MvSoundSpan>& spans,
                                                   const MvMovieSoundTrack::Sink& sink,
                                                   const std::string& path);

#endif
