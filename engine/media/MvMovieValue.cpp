#include "media/MvMovieValue.h"

#include "media/MvMovieFileSource.h"
#include "media/MvMovieFrameStore.h"
#include "media/MvMovieFrames.h"
#include "media/MvMovieLive.h"
#include "morvane/Mv2DValue.h"
#include "morvane/MvException.h"
#include "morvane/MvGraphics.h"

#include "morvane/MvFile.h"
#include "platform/MvPlatform.h"

#include <cmath>
#include <filesystem>
#include <system_error>

MvMovieValue::MvMovieValue() : settings_(MvMoviePreferences()) { MvNoteLiveMovie(this, true); }

MvMovieValue::MvMovieValue(const MvMovieValue& other)
    : MvValue(other),
      segments_(other.segments_),
      store_(other.store_),
      settings_(other.settings_),
      width_(other.width_),
      height_(other.height_),
      offsetX_(other.offsetX_),
      offsetY_(other.offsetY_),
      preferredRate_(other.preferredRate_),
      overlayCompression_(other.overlayCompression_),
      graphicsMode_(other.graphicsMode_),
      safeAppendMode_(other.safeAppendMode_) {
    MvNoteLiveMovie(this, true);
}

MvMovieValue::MvMovieValue(const std::string& path) : settings_(MvMoviePreferences()) {
    MvNoteLiveMovie(this, true);
    auto source = std::make_shared<MvMovieFileSource>(path);
    width_ = source->width();
    height_ = source->height();
    segments_.push_back(MvMovieSegment{source, 0, source->frameCount()});
}

MvMovieValue::~MvMovieValue() { MvNoteLiveMovie(this, false); }

int MvMovieValue::frameCount() const {
    int count = 0;
    for (const MvMovieSegment& segment : segments_)
        count += segment.count;
    return count;
}

std::size_t MvMovieValue::locate(int n, int& within) const {
    for (std::size_t s = 0; s < segments_.size(); ++s) {
        if (n < segments_[s].count) {
            within = n;
            return s;
        }
        n -= segments_[s].count;
    }
    within = 0;
    return segments_.size();
}

void MvMovieValue::checkIndex(int n) const {
    const int count = frameCount();
    if (n < 0 || n >= count)
        MvRaise("Movie Index \"" + std::to_string(n) + "\" is too large (> " +
                std::to_string(count - 1) + ").");
}

double MvMovieValue::frameTime(int n) const {
    double time = 0;
    for (const MvMovieSegment& segment : segments_) {
        const MvMovieSource& source = *segment.source;
        if (n < segment.count)
            return time + source.frameTime(segment.first + n) - source.frameTime(segment.first);
        time += source.frameTime(segment.first + segment.count) - source.frameTime(segment.first);
        n -= segment.count;
    }
    return time;
}

double MvMovieValue::frameDuration(int n) const {
    int within;
    const std::size_t s = locate(n, within);
    if (s == segments_.size())
        return 0;
    return segments_[s].source->frameDuration(segments_[s].first + within);
}

double MvMovieValue::naturalDuration() const { return frameTime(frameCount()); }

MvValue* MvMovieValue::frame(int n) {
    checkIndex(n);
    int within;
    const MvMovieSegment& segment = segments_[locate(n, within)];
    const double time = frameTime(n);
    const double duration = frameDuration(n);
    MvValue* frame = segment.source->frame(segment.first + within);
    MvSetMovieFrameTiming(frame, time, duration);
    return frame;
}

void MvMovieValue::commit() {
    for (const MvMovieSegment& segment : segments_)
        if (auto* store = dynamic_cast<MvMovieFrameStore*>(segment.source.get()))
            store->commit();
}

std::vector<MvMovieSegment> MvMovieValue::slice(int from, int to) const {
    std::vector<MvMovieSegment> part;
    int start = 0;
    for (const MvMovieSegment& segment : segments_) {
        const int end = start + segment.count;
        const int lo = std::max(from, start);
        const int hi = std::min(to, end);
        if (lo < hi)
            part.push_back(MvMovieSegment{segment.source, segment.first + lo - start, hi - lo});
        start = end;
    }
    return part;
}

void MvMovieValue::insertFrames(int position, const std::vector<MvMovieSegment>& frames) {
    std::vector<MvMovieSegment> edited = slice(0, position);
    edited.insert(edited.end(), frames.begin(), frames.end());
    const std::vector<MvMovieSegment> rest = slice(position, frameCount());
    edited.insert(edited.end(), rest.begin(), rest.end());
    // Neighbouring runs of one source become one segment again.
    std::vector<MvMovieSegment> merged;
    for (const MvMovieSegment& segment : edited) {
        if (!merged.empty() && merged.back().source == segment.source &&
            merged.back().first + merged.back().count == segment.first)
            merged.back().count += segment.count;
        else
            merged.push_back(segment);
    }
    segments_.swap(merged);
}

std::vector<MvMovieSegment> MvMovieValue::encodeFrame(MvValue* image) {
    auto* picture = dynamic_cast<Mv2DValue*>(image);
    const int w = picture->GetWidth();
    const int h = picture->GetHeight();
    // An empty movie whose size was never set takes the size of its first frame.
    if (segments_.empty() && (width_ == 0 || height_ == 0) && w > 0 && h > 0) {
        width_ = w;
        height_ = h;
    }
    if (w != width_ || h != height_)
        MvRaise("The image or frame being added to the movie must have the same dimensions as "
                "the movie.");
    if (!store_ || !store_->matches(settings_, w, h))
        store_ = std::make_shared<MvMovieFrameStore>(settings_, w, h);
    const int index = store_->frameCount();
    store_->add(image);
    return {MvMovieSegment{store_, index, 1}};
}

void MvMovieValue::insertAt(int position, MvValue* element) {
    if (auto* other = dynamic_cast<MvMovieValue*>(element)) {
        other->commit();
        if (segments_.empty() && (width_ == 0 || height_ == 0)) {
            width_ = other->width_;
            height_ = other->height_;
        }
        const std::vector<MvMovieSegment> frames = other->segments_;
        insertFrames(position, frames);
        return;
    }
    if (!MvIsImageValue(element))
        MvRaise("MvMovieValue::addTo unimplemented arguments");
    insertFrames(position, encodeFrame(element));
}

void MvMovieValue::addTo(MvValue* operand) { insertAt(frameCount(), operand); }

void MvMovieValue::Append(MvValueHolder& element) { addTo(element.get()); }

void MvMovieValue::Prepend(MvValueHolder& element) { insertAt(0, element.get()); }

void MvMovieValue::Insert(MvValueHolder& element, MvValue* index) {
    const double at = std::floor(index->GetNumber());
    if (segments_.empty())
        MvRaise("You cannot add frame to a movie which has no content.");
    const int count = frameCount();
    if (at < 0 || at > count)
        checkIndex(static_cast<int>(at));
    insertAt(static_cast<int>(at), element.get());
}

void MvMovieValue::Add(MvValueHolder& result, MvValueHolder& operand) {
    auto* target = dynamic_cast<MvMovieValue*>(result.get());
    if (!target)
        MvRaise("MvMovieValue::addTo unimplemented arguments");
    if (target != this)
        *target = *this;
    target->addTo(operand.get());
}

bool MvMovieValue::CanHoldResult(MvTypeEnum resultType, MvValue*) {
    return resultType == MvTypeMovie;
}

MvValueHolder MvMovieValue::GetElement(MvValue* index, bool) {
    return MvValueHolder(frame(static_cast<int>(std::floor(index->GetNumber()))));
}

MvValueHolder MvMovieValue::GetElement2(MvValue* i, MvValue* j) {
    const int from = static_cast<int>(std::trunc(i->GetNumber()));
    const int to = static_cast<int>(std::trunc(j->GetNumber()));
    if (from > to)
        MvRaise("The first movie index (" + std::to_string(from) + ") is greater than the second (" +
                std::to_string(to) + ").");
    if (from == to)
        MvRaise("Movie indexes can not be equal (" + std::to_string(from) + "," +
                std::to_string(to) + ").");
    checkIndex(from);
    if (to > frameCount())
        checkIndex(to);
    commit();
    auto* part = new MvMovieValue(*this);
    MvValueHolder held(part);
    part->segments_ = slice(from, to);
    return held;
}

void MvMovieValue::SetElement(MvValue* index, MvValue* newValue) {
    if (!MvIsImageValue(newValue))
        MvRaise("Movie: Wrong type for indexing operation");
    const int n = static_cast<int>(std::floor(index->GetNumber()));
    checkIndex(n);
    const std::vector<MvMovieSegment> replacement = encodeFrame(newValue);
    std::vector<MvMovieSegment> edited = slice(0, n);
    edited.insert(edited.end(), replacement.begin(), replacement.end());
    const std::vector<MvMovieSegment> rest = slice(n + 1, frameCount());
    edited.insert(edited.end(), rest.begin(), rest.end());
    segments_.swap(edited);
}

void MvMovieValue::Display(MvGraphics* picture) {
    if (!picture)
        MvRaise("Hey, NULL graphics opject");
    picture->addMovie(reinterpret_cast<MvMovieHandle*>(this), 0, 0);
    picture->setSize(width_, height_);
}

namespace {

// Movies put on the clipboard live in temporary files until the process
// ends cleanly.
struct ClipboardFiles {
    std::vector<std::string> paths;
    ~ClipboardFiles() {
        for (const std::string& path : paths) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }
};

ClipboardFiles& clipboardFiles() {
    static ClipboardFiles files;
    return files;
}

} // namespace

// The clipboard holds text: the movie is saved to a temporary file whose
// file URI goes on the clipboard, and reading that URI gives the movie back.
void MvMovieValue::CopyToClipboard() {
    MvFSSpec spec;
    MvCreateTempFileSpec(&spec);
    save(spec.path);
    clipboardFiles().paths.push_back(spec.path);
    MvPlatform::setClipboardText("file://" + spec.path);
}
