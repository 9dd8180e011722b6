#include "media/MvMovieSource.h"

#include "morvane/MvException.h"

#include <algorithm>

namespace {

// The bytes a picture's buffers hold.
std::size_t pictureBytes(const AVFrame& picture) {
    std::size_t bytes = 0;
    for (const AVBufferRef* buffer : picture.buf)
        if (buffer)
            bytes += buffer->size;
    return std::max<std::size_t>(bytes, 1);
}

} // namespace

bool MvMovieFrameCache::contains(int n) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [n](const Entry& e) { return e.index == n; });
}

MvMovieFrameCache::Entry* MvMovieFrameCache::touch(int n) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->index == n) {
            entries_.splice(entries_.begin(), entries_, it);
            return &entries_.front();
        }
    return nullptr;
}

MvValue* MvMovieFrameCache::find(int n) {
    Entry* entry = touch(n);
    return entry ? entry->frame.get() : nullptr;
}

const AVFrame* MvMovieFrameCache::findPicture(int n) {
    Entry* entry = touch(n);
    return entry ? entry->picture.get() : nullptr;
}

void MvMovieFrameCache::push(Entry entry) {
    used_ += entry.bytes;
    entries_.push_front(std::move(entry));
    // The newest frame always stays, even when it alone is over budget.
    while (used_ > budget_ && entries_.size() > 1) {
        used_ -= entries_.back().bytes;
        entries_.pop_back();
    }
}

void MvMovieFrameCache::add(int n, MvValue* frame, std::size_t bytes) {
    MvValueHolder held(frame);
    if (touch(n))
        return;
    push(Entry{n, held, nullptr, bytes});
}

void MvMovieFrameCache::addPicture(int n, const AVFrame& picture) {
    if (touch(n))
        return;
    MvFramePtr kept = MvNewFrame();
    if (av_frame_ref(kept.get(), &picture) < 0)
        throw new MvMemoryException("During allocation of image data.");
    push(Entry{n, MvValueHolder(), std::move(kept), pictureBytes(picture)});
}

void MvMovieFrameCache::clear() {
    entries_.clear();
    used_ = 0;
}

MvValue* MvMovieSource::frame(int n) {
    if (!cache_.contains(n))
        decodeUpTo(n);
    if (const AVFrame* picture = cache_.findPicture(n))
        return converter_.frameValue(*picture, path_);
    if (MvValue* decoded = cache_.find(n))
        return decoded->Clone();
    MvRaise("Could not decode frame " + std::to_string(n) + " of movie file \"" + path_ + "\".");
}
