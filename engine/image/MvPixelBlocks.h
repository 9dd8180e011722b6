// Storage blocks of large pixel arrays, kept for reuse.
//
// Reading a movie or filtering an image frame after frame makes and drops
// one large array per frame. Fresh memory from the system costs a page
// fault per page on its first touch, more than converting the pixels
// themselves; the blocks of a few arrays dropped lately are therefore kept
// and handed to the next arrays of the same size.
//
// Everything here is inline, as the pixel arrays are: every binary that
// builds engine sources of its own keeps its own few blocks.
#ifndef MORVANE_ENGINE_MVPIXELBLOCKS_H
#define MORVANE_ENGINE_MVPIXELBLOCKS_H

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace MvPixelBlocks {

namespace detail {

// Blocks smaller than this come from the heap as fast as from here.
constexpr std::size_t kSmallestKept = std::size_t(1) << 20;
// At most this many blocks, and this many bytes, wait for reuse.
constexpr int kKeptBlocks = 4;
constexpr std::size_t kKeptBytes = std::size_t(96) << 20;

// Plain data with constant initialisation and no destructor: arrays
// dropped while the process ends, after static destructors ran, still find
// it intact. Blocks still kept then go back with the process.
struct Kept {
    void* block;
    std::size_t size;
};
struct Shelf {
    std::mutex lock;
    Kept kept[kKeptBlocks];
    int count;
    std::size_t bytes;
};
inline Shelf shelf{};

inline void* takeKept(std::size_t size) {
    std::lock_guard<std::mutex> guard(shelf.lock);
    for (int i = shelf.count - 1; i >= 0; --i)
        if (shelf.kept[i].size == size) {
            void* block = shelf.kept[i].block;
            shelf.kept[i] = shelf.kept[--shelf.count];
            shelf.bytes -= size;
            return block;
        }
    return nullptr;
}

// Keeps the block when there is room, else hands it back to be freed.
inline void* keep(void* block, std::size_t size) {
    std::lock_guard<std::mutex> guard(shelf.lock);
    if (shelf.count < kKeptBlocks && shelf.bytes + size <= kKeptBytes) {
        shelf.kept[shelf.count++] = Kept{block, size};
        shelf.bytes += size;
        return nullptr;
    }
    return block;
}

} // namespace detail

// A block of size bytes (zeroed when asked), or null when the system has
// none left.
inline void* take(std::size_t size, bool zeroed) {
    if (size >= detail::kSmallestKept)
        if (void* block = detail::takeKept(size)) {
            if (zeroed)
                std::memset(block, 0, size);
            return block;
        }
    return zeroed ? std::calloc(size, 1) : std::malloc(size);
}

// Gives a block of size bytes back (null is allowed).
inline void give(void* block, std::size_t size) {
    if (block && size >= detail::kSmallestKept)
        block = detail::keep(block, size);
    std::free(block);
}

} // namespace MvPixelBlocks

#endif
