// Where a movie's frames come from: a run of coded pictures of one video
// stream, read by index. A source decodes on demand and keeps the frames it
// decoded lately in a bounded cache, so sequential and nearby reads are
// cheap while a long movie holds no more than the cache in memory.
#ifndef MORVANE_ENGINE_MVMOVIESOURCE_H
#define MORVANE_ENGINE_MVMOVIESOURCE_H

#include "media/MvFFmpeg.h"
#include "media/MvMoviePictureConverter.h"
#include "morvane/MvValue.h"

#include <cstddef>
#include <list>
#include <string>
#include <utility>
#include <vector>

// Decoded frames by index, least recently used first out, within a budget
// of bytes. A frame is kept either as the decoder's picture (a further
// reference to its buffers, no copy) or as a frame value.
class MvMovieFrameCache {
public:
    explicit MvMovieFrameCache(std::size_t budget) : budget_(budget) {}
    bool contains(int n) const;
    // The cached frame value n, or null.
    MvValue* find(int n);
    // The cached picture n, or null.
    const AVFrame* findPicture(int n);
    void add(int n, MvValue* frame, std::size_t bytes);
    // Keeps a reference to the picture's buffers.
    void addPicture(int n, const AVFrame& picture);
    void clear();

private:
    struct Entry {
        int index;
        MvValueHolder frame;
        MvFramePtr picture;
        std::size_t bytes;
    };
    // Moves entry n to the front; null when it is not cached.
    Entry* touch(int n);
    void push(Entry entry);

    std::list<Entry> entries_;   // most recently used first
    std::size_t budget_;
    std::size_t used_ = 0;
};

class MvMovieSource {
public:
    MvMovieSource() = default;
    MvMovieSource(const MvMovieSource&) = delete;
    MvMovieSource& operator=(const MvMovieSource&) = delete;
    virtual ~MvMovieSource() = default;

    virtual int frameCount() const = 0;
    int width() const { return width_; }
    int height() const { return height_; }
    // Start and length of frame n in seconds from the source's start.
    virtual double frameTime(int n) const = 0;
    virtual double frameDuration(int n) const = 0;
    // Frame n as a new frame value the caller owns.
    MvValue* frame(int n);
    // The codec of the coded pictures (stream copy, descriptions).
    virtual const AVCodecParameters& codecParameters() const = 0;
    // True when frame n decodes without the frames before it.
    virtual bool isKeyFrame(int n) const = 0;
    // The file the source reads.
    const std::string& path() const { return path_; }

protected:
    // Decodes forward until frame n is in the cache.
    virtual void decodeUpTo(int n) = 0;
    // Pictures held here are buffers the decoder cannot reuse: a larger
    // budget makes it take fresh memory, which costs more than it saves.
    MvMovieFrameCache cache_{16u << 20};
    MvMoviePictureConverter converter_;
    int width_ = 0;
    int height_ = 0;
    std::string path_;
};

#endif
