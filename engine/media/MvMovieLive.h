// The movie values alive now. A movie command in a drawing list names its
// movie without owning it; the host asks through these whether the movie
// is still there before it draws a frame of it.
#ifndef MORVANE_ENGINE_MVMOVIELIVE_H
#define MORVANE_ENGINE_MVMOVIELIVE_H

class MvMovieValue;

void MvNoteLiveMovie(MvMovieValue* movie, bool alive);

#endif
