#include "media/MvMovieSource.h"

#include "morvane/MvException.h"

MvValue* MvMovieFrameCache::find(int n) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->index == n) {
            entries_.splice(entries_.begin(), entries_, it);
            return entries_.front().frame.get();
        }
    return nullptr;
}

void MvMovieFrameCache::add(int n, MvValue* frame, std::size_t bytes) {
    MvValueHolder held(frame);
    if (find(n))
        return;
    entries_.push_front(Entry{n, held, bytes});
    used_ += bytes;
    // The newest frame always stays, even when it alone is over budget.
    while (used_ > budget_ && entries_.size() > 1) {
        used_ -= entries_.back().bytes;
        entries_.pop_back();
    }
}

void MvMovieFrameCache::clear() {
    entries_.clear();
    used_ = 0;
}

MvValue* MvMovieSource::frame(int n) {
    if (MvValue* cached = cache_.find(n))
        return cached;
    decodeUpTo(n);
    if (MvValue* decoded = cache_.find(n))
        return decoded;
    MvRaise("Could not decode frame " + std::to_string(n) + " of movie file \"" + path_ + "\".");
}
