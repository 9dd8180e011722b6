#include "image/MvPixelBlocks.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

// Blocks smaller than this come from the heap as fast as from here.
constexpr std::size_t kSmallestKept = std::size_t(1) << 20;
// At most this many blocks, and this many bytes, wait for reuse.
constexpr int kKeptBlocks = 4;
constexpr std::size_t kKeptBytes = std::size_t(96) << 20;

// Plain data with constant initialisation: arrays dropped while the
// process ends, after static destructors ran, still find it intact. Blocks
// still kept then go back with the process.
struct Kept {
    void* block;
    std::size_t size;
};
std::mutex keptLock;
Kept kept[kKeptBlocks];
int keptCount = 0;
std::size_t keptBytes = 0;

void* takeKept(std::size_t size) {
    std::lock_guard<std::mutex> guard(keptLock);
    for (int i = keptCount - 1; i >= 0; --i)
        if (kept[i].size == size) {
            void* block = kept[i].block;
            kept[i] = kept[--keptCount];
            keptBytes -= size;
            return block;
        }
    return nullptr;
}

// Keeps the block when there is room, else hands back one to free.
void* keep(void* block, std::size_t size) {
    std::lock_guard<std::mutex> guard(keptLock);
    if (keptCount < kKeptBlocks && keptBytes + size <= kKeptBytes) {
        kept[keptCount++] = Kept{block, size};
        keptBytes += size;
        return nullptr;
    }
    return block;
}

} // namespace

namespace MvPixelBlocks {

void* take(std::size_t size, bool zeroed) {
    if (size >= kSmallestKept)
        if (void* block = takeKept(size)) {
            if (zeroed)
                std::memset(block, 0, size);
            return block;
        }
    return zeroed ? std::calloc(size, 1) : std::malloc(size);
}

void give(void* block, std::size_t size) {
    if (block && size >= kSmallestKept)
        block = keep(block, size);
    std::free(block);
}

} // namespace MvPixelBlocks
