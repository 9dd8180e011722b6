// What a host draws for a movie command: the movie's first frame and its
// frame count, while the movie is alive. The movie may go away while the
// host still holds the drawing list (hosts read it from their own thread),
// so handles are looked up among the live movies under a lock.
#include "media/MvMovieLive.h"
#include "media/MvMovieValue.h"
#include "morvane/MvGraphics.h"
#include "morvane/MvImageApi.h"
#include "morvane/MvMovieApi.h"
#include "values/MvEntryGuard.h"

#include <mutex>
#include <set>

namespace {

std::mutex& liveLock() {
    static std::mutex lock;
    return lock;
}

std::set<const void*>& liveMovies() {
    static std::set<const void*> movies;
    return movies;
}

} // namespace

void MvNoteLiveMovie(MvMovieValue* movie, bool alive) {
    std::lock_guard<std::mutex> hold(liveLock());
    if (alive)
        liveMovies().insert(movie);
    else
        liveMovies().erase(movie);
}

std::int32_t MvMovieHandleGetFrameCount(MvMovieHandle* handle) {
    MV_GUARDED_ENTRY(-1, std::lock_guard<std::mutex> hold(liveLock());
                     if (!liveMovies().count(handle)) return -1;
                     return reinterpret_cast<MvMovieValue*>(handle)->frameCount(););
}

MvGWorld* MvMovieHandleCreateFirstFrame(MvMovieHandle* handle) {
    MV_GUARDED_ENTRY(static_cast<MvGWorld*>(nullptr), std::lock_guard<std::mutex> hold(liveLock());
                     if (!liveMovies().count(handle)) return static_cast<MvGWorld*>(nullptr);
                     auto* movie = reinterpret_cast<MvMovieValue*>(handle);
                     if (movie->frameCount() == 0) return static_cast<MvGWorld*>(nullptr);
                     MvValueHolder frame(movie->frame(0));
                     return MvImageCreateGWorld(frame.get()););
}
