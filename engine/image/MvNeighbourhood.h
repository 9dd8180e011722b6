// Helpers of the neighbourhood filters (convolution, rank filter): the
// wrap-around of coordinates and rows padded with their wrapped neighbours.
#ifndef MORVANE_ENGINE_MVNEIGHBOURHOOD_H
#define MORVANE_ENGINE_MVNEIGHBOURHOOD_H

#include "image/MvPixelArray.h"

#include <cstdint>
#include <vector>

// i modulo n for any i (n > 0): a coordinate outside 0 .. n - 1 wraps around.
inline std::int32_t MvWrap(std::int64_t i, std::int32_t n) {
    const std::int64_t m = i % n;
    return static_cast<std::int32_t>(m < 0 ? m + n : m);
}

// Every row of an image widened by pad pixels on both sides, pixel i of a
// padded row being column (i - pad) modulo the width. Items are what
// convert makes of one pixel, lanes items per pixel.
template <class Item>
class MvPaddedRows {
public:
    template <class Pix, class Convert>
    MvPaddedRows(const MvPixelArray<Pix>& source, std::int32_t pad, std::int32_t lanes,
                 Convert convert)
        : stride_((static_cast<std::size_t>(source.width()) + 2 * pad) * lanes),
          items_(stride_ * static_cast<std::size_t>(source.height())) {
        const std::int32_t width = source.width();
        for (std::int32_t y = 0; y < source.height(); ++y) {
            Item* target = items_.data() + stride_ * y;
            const Pix* row = source.row(y);
            for (std::int64_t i = 0; i < width + 2 * static_cast<std::int64_t>(pad); ++i)
                convert(row[MvWrap(i - pad, width)], target + i * lanes);
        }
    }

    const Item* row(std::int32_t y) const { return items_.data() + stride_ * y; }

private:
    std::size_t stride_;
    std::vector<Item> items_;
};

#endif
