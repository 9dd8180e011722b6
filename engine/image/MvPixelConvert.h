// Conversion of one pixel between the four pixel types.
//
// Every whole-image conversion, the world-to-frame and frame-to-world copies
// and the scalar twins of the vectorised kernels use these functions, so a
// pixel converts the same way wherever it goes.
//
// Byte colour to grey uses the integer weights 77/151/28 (sum 256); the float
// rules use the single-precision weights 0.3/0.59/0.11 and the single-
// precision factor 1/255. Grey sums of float channels and products with 255
// are formed in double precision: a float times 255 is exact there, so
// Clamp8 truncates the true product (0.999 gives 254, not 255 by rounding).
#ifndef MORVANE_ENGINE_MVPIXELCONVERT_H
#define MORVANE_ENGINE_MVPIXELCONVERT_H

#include "morvane/MvPixel.h"

#include <cstdint>

namespace MvPixel {

constexpr float kInv255 = 0.003921569f;
constexpr float kRedWeight = 0.3f;
constexpr float kGreenWeight = 0.59f;
constexpr float kBlueWeight = 0.11f;

// 255 above 255, 0 below 0 (and for NaN), else truncated toward zero.
inline std::uint8_t clamp8(double x) {
    if (!(x > 0.0))
        return 0;
    if (x > 255.0)
        return 255;
    return static_cast<std::uint8_t>(x);
}

// Clamp8(v x 255) of one float channel.
inline std::uint8_t floatToByte(float v) { return clamp8(static_cast<double>(v) * 255.0); }

inline float byteToFloat(std::uint8_t b) { return static_cast<float>(b) * kInv255; }

inline std::uint8_t byteLuminance(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint8_t>((77u * red + 151u * green + 28u * blue) >> 8);
}

inline double floatLuminance(double red, double green, double blue) {
    return static_cast<double>(kRedWeight) * red + static_cast<double>(kGreenWeight) * green +
           static_cast<double>(kBlueWeight) * blue;
}

// The 32-bit word 0xAARRGGBB of a byte colour pixel, and back.
inline std::uint32_t packARGB(bcPix p) {
    return static_cast<std::uint32_t>(p.alpha) << 24 | static_cast<std::uint32_t>(p.red) << 16 |
           static_cast<std::uint32_t>(p.green) << 8 | p.blue;
}

inline bcPix unpackARGB(std::uint32_t argb) {
    return bcPix{static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 8),
                 static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 24)};
}

// convert<To>(pixel): the conversion table, one overload per source type.
template <class To> To convert(bgPix g);
template <class To> To convert(const bcPix& p);
template <class To> To convert(fgPix v);
template <class To> To convert(const fcPix& p);

template <> inline bgPix convert<bgPix>(bgPix g) { return g; }
template <> inline bcPix convert<bcPix>(bgPix g) { return bcPix{g, g, g, 255}; }
template <> inline fgPix convert<fgPix>(bgPix g) { return byteToFloat(g); }
template <> inline fcPix convert<fcPix>(bgPix g) {
    const float v = byteToFloat(g);
    return fcPix{1.0f, v, v, v};
}

template <> inline bgPix convert<bgPix>(const bcPix& p) { return byteLuminance(p.red, p.green, p.blue); }
template <> inline bcPix convert<bcPix>(const bcPix& p) { return p; }
template <> inline fgPix convert<fgPix>(const bcPix& p) {
    return byteToFloat(byteLuminance(p.red, p.green, p.blue));
}
template <> inline fcPix convert<fcPix>(const bcPix& p) {
    return fcPix{byteToFloat(p.alpha), byteToFloat(p.red), byteToFloat(p.green), byteToFloat(p.blue)};
}

template <> inline bgPix convert<bgPix>(fgPix v) { return floatToByte(v); }
template <> inline bcPix convert<bcPix>(fgPix v) {
    const std::uint8_t g = floatToByte(v);
    return bcPix{g, g, g, 255};
}
template <> inline fgPix convert<fgPix>(fgPix v) { return v; }
template <> inline fcPix convert<fcPix>(fgPix v) { return fcPix{1.0f, v, v, v}; }

template <> inline bgPix convert<bgPix>(const fcPix& p) {
    return clamp8(floatLuminance(p.red, p.green, p.blue) * 255.0);
}
template <> inline bcPix convert<bcPix>(const fcPix& p) {
    return bcPix{floatToByte(p.blue), floatToByte(p.green), floatToByte(p.red), floatToByte(p.alpha)};
}
template <> inline fgPix convert<fgPix>(const fcPix& p) {
    return static_cast<float>(floatLuminance(p.red, p.green, p.blue));
}
template <> inline fcPix convert<fcPix>(const fcPix& p) { return p; }

} // namespace MvPixel

#endif
