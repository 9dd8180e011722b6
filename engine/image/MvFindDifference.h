// The per-pixel difference a template search adds up, and the type its sums
// are kept in, for each pixel type.
//
// Byte pixels give whole numbers, summed exactly in 64 bits whatever the
// order; float pixels are summed in double precision, each row of a
// placement first on its own, so that every core that keeps that order
// gives the same sums bit for bit.
#ifndef MORVANE_ENGINE_MVFINDDIFFERENCE_H
#define MORVANE_ENGINE_MVFINDDIFFERENCE_H

#include "morvane/MvPixel.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

template <class Pix> struct MvFindSum;
template <> struct MvFindSum<bgPix> { typedef std::uint64_t type; };
template <> struct MvFindSum<bcPix> { typedef std::uint64_t type; };
template <> struct MvFindSum<fgPix> { typedef double type; };
template <> struct MvFindSum<fcPix> { typedef double type; };

inline std::uint32_t MvFindDifference(bgPix a, bgPix b) {
    return static_cast<std::uint32_t>(std::abs(int(a) - int(b)));
}

inline std::uint32_t MvFindDifference(const bcPix& a, const bcPix& b) {
    const std::uint32_t red = static_cast<std::uint32_t>(std::abs(int(a.red) - int(b.red)));
    const std::uint32_t green = static_cast<std::uint32_t>(std::abs(int(a.green) - int(b.green)));
    const std::uint32_t blue = static_cast<std::uint32_t>(std::abs(int(a.blue) - int(b.blue)));
    return (77u * red + 151u * green + 28u * blue) >> 8;
}

inline double MvFindDifference(fgPix a, fgPix b) { return std::fabs(a - b); }

inline double MvFindDifference(const fcPix& a, const fcPix& b) {
    const float products[3] = {0.3f * std::fabs(a.red - b.red), 0.59f * std::fabs(a.green - b.green),
                               0.11f * std::fabs(a.blue - b.blue)};
    return products[0] + products[1] + products[2];
}

// 1/255 for byte pixels, 1 for float ones: what turns a sum into a mean
// difference between 0 and 1.
template <class Pix> constexpr double MvFindPixelScale() { return 0.00392156862745098; }
template <> constexpr double MvFindPixelScale<fgPix>() { return 1.0; }
template <> constexpr double MvFindPixelScale<fcPix>() { return 1.0; }

#endif
