// Helpers of the neighbourhood filters (convolution, rank filter): the
// wrap-around of coordinates and rows padded with their wrapped neighbours.
#ifndef MORVANE_ENGINE_MVNEIGHBOURHOOD_H
#define MORVANE_ENGINE_MVNEIGHBOURHOOD_H

#include "image/MvPixelArray.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// i modulo n for any i (n > 0): a coordinate outside 0 .. n - 1 wraps around.
inline std::int32_t MvWrap(std::int64_t i, std::int32_t n) {
    const std::int64_t m = i % n;
    return static_cast<std::int32_t>(m < 0 ? m + n : m);
}

// The rows of an image widened by pad pixels on both sides, pixel i of a
// padded row being column (i - pad) modulo the width, for a filter that
// reads window consecutive rows at a time. Rows are asked for by their
// unwrapped number u (row u modulo the height is meant); a ring of
// min(window, height) padded rows keeps the window, so moving the window
// down one row converts one new row and the working set stays in the
// caches. Items are what convertRow(in, out, width) makes of a row, lanes
// items per pixel; the padding copies converted pixels, so only 2 pad
// pixels a row wrap.
template <class Item, class Pix, class ConvertRow>
class MvPaddedRows {
public:
    MvPaddedRows(const MvPixelArray<Pix>& source, std::int32_t pad, std::int32_t lanes,
                 std::int32_t window, ConvertRow convertRow)
        : source_(source), pad_(pad), lanes_(lanes),
          slots_(std::max(1, std::min(window, source.height()))),
          stride_((static_cast<std::size_t>(source.width()) + 2 * pad) * lanes),
          items_(stride_ * static_cast<std::size_t>(slots_)),
          loaded_(static_cast<std::size_t>(slots_), -1), convertRow_(convertRow) {}

    const Item* row(std::int64_t u) {
        const std::int32_t slot = MvWrap(u, slots_);
        const std::int32_t y = MvWrap(u, source_.height());
        Item* target = items_.data() + stride_ * slot;
        if (loaded_[slot] != y) {
            load(y, target);
            loaded_[slot] = y;
        }
        return target;
    }

private:
    void load(std::int32_t y, Item* target) {
        const std::int32_t width = source_.width();
        const std::size_t pixel = static_cast<std::size_t>(lanes_);
        Item* core = target + pad_ * pixel;
        convertRow_(source_.row(y), core, width);
        for (std::int32_t i = 0; i < pad_; ++i) {
            const Item* left = core + MvWrap(static_cast<std::int64_t>(i) - pad_, width) * pixel;
            std::copy(left, left + pixel, target + i * pixel);
            const Item* right = core + MvWrap(static_cast<std::int64_t>(width) + i, width) * pixel;
            std::copy(right, right + pixel, core + (static_cast<std::size_t>(width) + i) * pixel);
        }
    }

    const MvPixelArray<Pix>& source_;
    std::int32_t pad_;
    std::int32_t lanes_;
    std::int32_t slots_;
    std::size_t stride_;
    std::vector<Item> items_;
    std::vector<std::int32_t> loaded_;
    ConvertRow convertRow_;
};

template <class Item, class Pix, class ConvertRow>
MvPaddedRows<Item, Pix, ConvertRow> MvPadRows(const MvPixelArray<Pix>& source, std::int32_t pad,
                                              std::int32_t lanes, std::int32_t window,
                                              ConvertRow convertRow) {
    return MvPaddedRows<Item, Pix, ConvertRow>(source, pad, lanes, window, convertRow);
}

#endif
