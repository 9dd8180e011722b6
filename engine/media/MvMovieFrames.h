// Frames going into and coming out of movies.
#ifndef MORVANE_ENGINE_MVMOVIEFRAMES_H
#define MORVANE_ENGINE_MVMOVIEFRAMES_H

#include "media/MvFFmpeg.h"
#include "morvane/MvException.h"
#include "morvane/MvValue.h"

#include <string>

// A movie that cannot be opened, with FFmpeg's status (the URL opener
// tells a missing resource from other failures by it).
class MvMovieOpenError : public MvException {
public:
    MvMovieOpenError(int status, const std::string& text) : MvException(text), status(status) {}
    int status;
};

// Gives a frame taken from a movie its duration and the time code of its
// start (hours, minutes, seconds and the frame within the second).
void MvSetMovieFrameTiming(MvValue* frame, double time, double duration);

// True for the four image kinds.
bool MvIsImageValue(MvValue* value);

#endif
