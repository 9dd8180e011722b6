// Opening movies for the value loader: by the file's ending, by its
// contents, and from URLs.
#ifndef MORVANE_ENGINE_MVMOVIEOPEN_H
#define MORVANE_ENGINE_MVMOVIEOPEN_H

#include "morvane/MvValue.h"

#include <string>

// True when path ends with a movie ending, all in lower or all in upper
// case (".mov", ".AVI", ...); at least 5 characters long.
bool MvHasMovieEnding(const std::string& path);

// A new movie of the file at path, or null when it is no movie: its ending
// names none and FFmpeg finds no video in its contents. A file with a movie
// ending that cannot be read as one raises.
MvValue* MvOpenMovieFile(const char* path);

// A new movie from a URL with a movie ending, or null for other URLs.
MvValue* MvOpenMovieURL(const char* url);

// A new empty movie.
MvValue* MvNewEmptyMovie();

#endif
