// The engine's offscreen buffer: allocation, clearing, the lock discipline
// and row access.
#include "morvane/MvGWorld.h"

#include "morvane/MvProcess.h"

#include <algorithm>
#include <cstring>

namespace {

std::int16_t bitsPerPixel(std::uint32_t pixelFormat) {
    return pixelFormat == kMvPixelFormatBGRA ? 32 : 8;
}

std::int32_t rowBytesFor(std::uint32_t pixelFormat, std::int32_t width) {
    const std::int32_t bytes = width * (bitsPerPixel(pixelFormat) / 8);
    return (bytes + 15) / 16 * 16;
}

MvRect boundsOfSize(std::int32_t width, std::int32_t height) {
    return MvRect{0, 0, static_cast<std::int16_t>(height), static_cast<std::int16_t>(width)};
}

} // namespace

MvGWorld::MvGWorld(const MvRect& bounds, std::uint32_t pixelFormat, const MvColorTable* table)
    : bounds_(bounds) {
    allocate(pixelFormat, table);
    clear();
}

MvGWorld::MvGWorld(const MvColorTable* table, const MvRect& bounds) : bounds_(bounds) {
    allocate(table ? kMvPixelFormatIndexed8 : kMvPixelFormatBGRA, table);
}

MvGWorld::MvGWorld(const MvImageDescription* description) {
    if (!description)
        MvError("NULL image description");
    bounds_ = boundsOfSize(description->width, description->height);
    if (description->depth > 8) {
        allocate(kMvPixelFormatBGRA, nullptr);
    } else if (description->clutId != -1 && description->colorTable) {
        allocate(kMvPixelFormatIndexed8, description->colorTable);
    } else {
        allocate(kMvPixelFormatGrey8, nullptr);
    }
    clear();
}

MvGWorld::MvGWorld(unsigned char* baseAddress, std::int32_t rowBytes, std::uint32_t pixelFormat,
                   const MvRect& bounds, const MvColorTable* table)
    : ownsWorld_(false), bounds_(bounds) {
    width_ = bounds.right - bounds.left;
    height_ = bounds.bottom - bounds.top;
    if (table)
        table_ = *table;
    pixMap_ = MvPixMap{baseAddress, rowBytes, pixelFormat, bitsPerPixel(pixelFormat),
                       static_cast<std::int16_t>(pixelFormat == kMvPixelFormatBGRA ? 4 : 1),
                       0, bounds, table ? &table_ : nullptr};
}

// A destructor must not throw: a buffer destroyed while locked or shared is
// a fault of its user, reported as a warning.
MvGWorld::~MvGWorld() {
    if (lockCount_ != 0)
        MvWarning("Pixels are locked on deletion !!!\n");
    if (refCount != 1)
        MvWarning("Reference Counter Not One !!!\n");
}

void MvGWorld::allocate(std::uint32_t pixelFormat, const MvColorTable* table) {
    width_ = bounds_.right - bounds_.left;
    height_ = bounds_.bottom - bounds_.top;
    if (width_ <= 0 || height_ <= 0)
        MvError("Can't create a frame or image with zero area.");
    if (table)
        table_ = *table;
    const std::int32_t rowBytes = rowBytesFor(pixelFormat, width_);
    try {
        storage_.assign(static_cast<std::size_t>(rowBytes) * height_, 0);
    } catch (const std::bad_alloc&) {
        MvError("Out of Memory");
    }
    const bool bgra = pixelFormat == kMvPixelFormatBGRA;
    // The 'BGRA' map carries four components and colour table seed 32.
    pixMap_ = MvPixMap{storage_.data(), rowBytes, pixelFormat, bitsPerPixel(pixelFormat),
                       static_cast<std::int16_t>(bgra ? 4 : 1), bgra ? 32 : 0, bounds_,
                       pixelFormat == kMvPixelFormatIndexed8 ? &table_ : nullptr};
}

// 'BGRA' becomes opaque black; the one-byte formats are erased to index or
// grey 0 (the memory is zero already).
void MvGWorld::clear() {
    if (pixMap_.pixelFormat != kMvPixelFormatBGRA) {
        std::fill(storage_.begin(), storage_.end(), 0);
        return;
    }
    for (std::int32_t y = 0; y < height_; ++y) {
        unsigned char* line = storage_.data() + static_cast<std::size_t>(pixMap_.rowBytes) * y;
        for (std::int32_t x = 0; x < width_; ++x) {
            const std::uint32_t opaqueBlack = 0xFF000000u;
            std::memcpy(line + 4 * x, &opaqueBlack, 4);
        }
    }
}

unsigned char* MvGWorld::Lock() {
    ++lockCount_;
    if (lockCount_ == 1) {
        lockedBase_ = pixMap_.baseAddress;
        if (!lockedBase_)
            MvError("Pixels failed to lock !!!");
    }
    if (lockCount_ < 1)
        MvError("MvGWorld::Lock() : LockCount was negative!!");
    lockedRowBytes_ = pixMap_.rowBytes;
    return lockedBase_;
}

void MvGWorld::Unlock() {
    --lockCount_;
    if (lockCount_ == 0) {
        lockedBase_ = nullptr;
        lockedRowBytes_ = 0;
    } else if (lockCount_ < 0) {
        MvError("MvGWorld::Unlock() : Pixels already unlocked!!");
    }
}

// Rows above the top are as far out of bounds as rows below the bottom.
unsigned char* MvGWorld::getLineX(std::int32_t y) {
    if (lockCount_ < 1)
        MvError("MvGWorld::getLineX() : Pixels NOT locked!!");
    if (y >= height_ || y < 0)
        MvError("MvGWorld::getLineX() : Line out of bounds!!");
    return lockedBase_ + static_cast<std::ptrdiff_t>(lockedRowBytes_) * y;
}

std::uint32_t MvGWorld::getPixelFormat() const {
    return pixMap_.pixelFormat != 0 ? pixMap_.pixelFormat
                                    : static_cast<std::uint32_t>(pixMap_.pixelSize);
}

const MvColorSpec* MvGWorld::getCLUT() const {
    return pixMap_.colorTable && !table_.empty() ? table_.data() : nullptr;
}

MvGWorldDrawScope::MvGWorldDrawScope(MvGWorld& world) : world_(world), wasInScope_(world.inContext()) {
    world_.Lock();
    world_.setContext(true);
}

MvGWorldDrawScope::~MvGWorldDrawScope() {
    world_.setContext(wasInScope_);
    if (world_.getLockCount() > 0)
        world_.Unlock();
}
