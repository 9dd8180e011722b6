// Hooks through which the media code teaches the value loader about movie
// and image files. Until they are installed, every file loads as a value
// file or as text.
#ifndef MORVANE_ENGINE_MVVALUEFILEPROBES_H
#define MORVANE_ENGINE_MVVALUEFILEPROBES_H

#include "morvane/MvValue.h"

struct MvValueFileProbes {
    // A new movie value when path (or url) names a movie, else null.
    MvValue* (*openMovieFile)(const char* path) = nullptr;
    MvValue* (*openMovieURL)(const char* url) = nullptr;
    // A new empty movie.
    MvValue* (*newMovie)() = nullptr;
    // A new image value when the image importer can read path, else null.
    MvValue* (*importImage)(const char* path) = nullptr;
    // Writes a frame to path as an image file of the frame's compression.
    typedef void (*FrameExporter)(MvValue* frame, const char* path);
    FrameExporter exportFrame = nullptr;
};

void MvSetValueFileProbes(const MvValueFileProbes& probes);

// A new empty movie; raises when the build has no movies.
MvValue* MvNewMovieValue();

// The installed frame exporter, or null.
MvValueFileProbes::FrameExporter MvValueFileFrameExporter();

#endif
