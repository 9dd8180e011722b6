// The four pixel types of the image values, as plug-ins see them in the
// rows of frames and images.
//
//   bgPix  one byte, grey level 0..255                       (frame_mono)
//   bcPix  four bytes blue, green, red, alpha; read as a
//          little-endian 32-bit word it is 0xAARRGGBB        (frame)
//   fgPix  one 32-bit float, nominally 0..1, never clamped   (image_mono)
//   fcPix  four 32-bit floats alpha, red, green, blue        (image)
#ifndef MORVANE_MVPIXEL_H
#define MORVANE_MVPIXEL_H

#include <cstdint>

typedef std::uint8_t bgPix;

struct bcPix {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
    std::uint8_t alpha;
};

typedef float fgPix;

struct fcPix {
    float alpha;
    float red;
    float green;
    float blue;
};

static_assert(sizeof(bcPix) == 4, "bcPix is four packed bytes");
static_assert(sizeof(fcPix) == 16, "fcPix is four packed floats");

#endif
