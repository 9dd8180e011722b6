// MvPixelArray<Pix>: the row-aligned pixel storage of one image value.
//
// Rows are padded so that whole rows can be walked with wide loads:
//
//   pixel   row stride (bytes)           alignment   allocation
//   bgPix   width + 15, to a 16 multiple      16     stride * height + 16
//   bcPix   4 width + 63, to a 64 multiple    64     stride * height + 64
//   fgPix   4 width + 63, to a 64 multiple    64     stride * height + 64
//   fcPix   16 width + 255, to a 256 multiple 256    stride * height + 256
//
// Row y starts at data + stride * y. The padding after a row's width is never
// read as pixels. New storage is zeroed, so no pixel is ever read before
// something wrote it; only an array made to be overwritten at once (a
// decoder's output) skips zeroing its pixels. A failed allocation raises
// MvMemoryException.
#ifndef MORVANE_ENGINE_MVPIXELARRAY_H
#define MORVANE_ENGINE_MVPIXELARRAY_H

#include "image/MvPixelBlocks.h"
#include "morvane/MvException.h"
#include "morvane/MvPixel.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

// How a new array takes the pixels of an array of another size.
enum class MvPixelFill {
    kCopyTopLeft,       // the overlapping top-left block; the rest is 0
    kNearestNeighbour   // the whole source, rescaled without filtering
};

template <class Pix>
class MvPixelArray {
public:
    static constexpr std::size_t kAlignment = 16 * sizeof(Pix);

    static std::size_t strideFor(std::int32_t width) {
        const std::size_t bytes = static_cast<std::size_t>(width) * sizeof(Pix) + kAlignment - 1;
        return bytes / kAlignment * kAlignment;
    }

    MvPixelArray() = default;

    MvPixelArray(std::int32_t width, std::int32_t height) { allocate(width, height); }

    // Storage whose every pixel the caller writes before anything reads it:
    // only the row padding is zeroed, which saves a pass over a large
    // picture that is about to be filled anyway.
    struct Unfilled {};
    MvPixelArray(std::int32_t width, std::int32_t height, Unfilled) {
        allocate(width, height, false);
        const std::size_t used = static_cast<std::size_t>(width) * sizeof(Pix);
        if (stride_ > used)
            for (std::int32_t y = 0; y < height; ++y)
                std::memset(reinterpret_cast<unsigned char*>(row(y)) + used, 0, stride_ - used);
    }

    // A width x height array filled from source (of any size) as fill says.
    MvPixelArray(const MvPixelArray& source, std::int32_t width, std::int32_t height,
                 MvPixelFill fill) {
        allocate(width, height);
        if (fill == MvPixelFill::kCopyTopLeft)
            copyTopLeft(source);
        else
            rescale(source);
    }

    MvPixelArray(const MvPixelArray& other) {
        allocate(other.width_, other.height_);
        copyTopLeft(other);
    }

    MvPixelArray(MvPixelArray&& other) noexcept { swap(other); }

    MvPixelArray& operator=(const MvPixelArray& other) {
        if (this != &other) {
            MvPixelArray copy(other);
            swap(copy);
        }
        return *this;
    }

    MvPixelArray& operator=(MvPixelArray&& other) noexcept {
        if (this != &other) {
            MvPixelArray gone(std::move(other));
            swap(gone);
        }
        return *this;
    }

    ~MvPixelArray() { MvPixelBlocks::give(block_, allocationSize_); }

    void swap(MvPixelArray& other) noexcept {
        std::swap(width_, other.width_);
        std::swap(height_, other.height_);
        std::swap(data_, other.data_);
        std::swap(block_, other.block_);
        std::swap(stride_, other.stride_);
        std::swap(allocationSize_, other.allocationSize_);
        std::swap(flags_, other.flags_);
    }

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    std::size_t stride() const { return stride_; }
    std::size_t allocationSize() const { return allocationSize_; }
    std::uint32_t flags() const { return flags_; }

    Pix* data() { return data_; }
    const Pix* data() const { return data_; }

    // Row y, unchecked: 0 <= y < height.
    Pix* row(std::int32_t y) {
        return reinterpret_cast<Pix*>(reinterpret_cast<unsigned char*>(data_) + stride_ * y);
    }
    const Pix* row(std::int32_t y) const {
        return reinterpret_cast<const Pix*>(reinterpret_cast<const unsigned char*>(data_) +
                                            stride_ * y);
    }

    // Row y after the index check against 0 .. height - 1.
    Pix* checkedRow(long y) {
        MvCheckIndex(y, 0, static_cast<long>(height_) - 1);
        return row(static_cast<std::int32_t>(y));
    }

    // Pixel (x, y), unchecked.
    Pix& at(std::int32_t x, std::int32_t y) { return row(y)[x]; }
    const Pix& at(std::int32_t x, std::int32_t y) const { return row(y)[x]; }

private:
    void allocate(std::int32_t width, std::int32_t height, bool zeroed = true) {
        if (width < 0 || height < 0)
            throw new MvMemoryException("During allocation of image data.");
        const std::size_t stride = strideFor(width);
        const std::size_t rows = static_cast<std::size_t>(height);
        if (rows != 0 && stride > (std::numeric_limits<std::size_t>::max() - kAlignment) / rows)
            throw new MvMemoryException("During allocation of image data.");
        const std::size_t size = stride * rows + kAlignment;
        void* block = MvPixelBlocks::take(size, zeroed);
        if (!block)
            throw new MvMemoryException("During allocation of image data.");
        const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(block);
        const std::uintptr_t aligned = (address + kAlignment - 1) / kAlignment * kAlignment;
        MvPixelBlocks::give(block_, allocationSize_);
        block_ = block;
        data_ = reinterpret_cast<Pix*>(aligned);
        width_ = width;
        height_ = height;
        stride_ = stride;
        allocationSize_ = size;
    }

    void copyTopLeft(const MvPixelArray& source) {
        const std::int32_t w = std::min(width_, source.width_);
        const std::int32_t h = std::min(height_, source.height_);
        if (w <= 0)
            return;
        for (std::int32_t y = 0; y < h; ++y)
            std::memcpy(row(y), source.row(y), static_cast<std::size_t>(w) * sizeof(Pix));
    }

    // Destination (x, y) takes source (trunc(x * sw / w), trunc(y * sh / h)),
    // the ratios in double precision.
    void rescale(const MvPixelArray& source) {
        if (source.empty() || empty())
            return;
        for (std::int32_t y = 0; y < height_; ++y) {
            const Pix* from = source.row(scaled(y, source.height_, height_));
            Pix* to = row(y);
            for (std::int32_t x = 0; x < width_; ++x)
                to[x] = from[scaled(x, source.width_, width_)];
        }
    }

    static std::int32_t scaled(std::int32_t i, std::int32_t from, std::int32_t to) {
        return static_cast<std::int32_t>(static_cast<double>(i) * from / to);
    }

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    Pix* data_ = nullptr;
    void* block_ = nullptr;
    std::size_t stride_ = 0;
    std::size_t allocationSize_ = 0;
    std::uint32_t flags_ = 0;
};

#endif
