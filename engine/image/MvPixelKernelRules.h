// The lane rules of the pixel kernels, shared by the scalar twins and the
// tails of the vectorised loops, and the tables of pixel types and
// conversions from which every kernel is instantiated.
#ifndef MORVANE_ENGINE_MVPIXELKERNELRULES_H
#define MORVANE_ENGINE_MVPIXELKERNELRULES_H

#include "image/MvPixelConvert.h"
#include "image/MvPixelKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#define MV_FOR_EACH_PIXEL(X) X(bgPix) X(bcPix) X(fgPix) X(fcPix)

#define MV_FOR_EACH_CONVERSION(X)                                                  \
    X(bgPix, bgPix) X(bgPix, bcPix) X(bgPix, fgPix) X(bgPix, fcPix)                \
    X(bcPix, bgPix) X(bcPix, bcPix) X(bcPix, fgPix) X(bcPix, fcPix)                \
    X(fgPix, bgPix) X(fgPix, bcPix) X(fgPix, fgPix) X(fgPix, fcPix)                \
    X(fcPix, bgPix) X(fcPix, bcPix) X(fcPix, fgPix) X(fcPix, fcPix)

namespace MvPixelRules {

using MvPixelKernels::Op;

// Byte factors beyond this size change no clamped result.
constexpr std::int32_t kLargestFactor = 65536;
constexpr float kZeroDivisionResult = 1e10f;

inline std::uint8_t clampToByte(std::int32_t x) {
    return static_cast<std::uint8_t>(std::min(255, std::max(0, x)));
}

inline std::uint8_t combine(Op op, std::uint8_t a, std::uint8_t b) {
    switch (op) {
    case Op::kAdd: return clampToByte(a + b);
    case Op::kSubtract: return clampToByte(a - b);
    case Op::kMultiply: return static_cast<std::uint8_t>(a * b / 255);
    case Op::kDivide: return b == 0 ? 255 : clampToByte(a * 255 / b);
    }
    return a;
}

inline float combine(Op op, float a, float b) {
    switch (op) {
    case Op::kAdd: return a + b;
    case Op::kSubtract: return a - b;
    case Op::kMultiply: return a * b;
    case Op::kDivide: return b == 0.0f ? kZeroDivisionResult : a / b;
    }
    return a;
}

// k: the addend (+, -) or the factor (*, /) of the lane.
inline std::uint8_t withOperand(Op op, std::uint8_t a, std::int32_t k) {
    switch (op) {
    case Op::kAdd: return clampToByte(a + k);
    case Op::kSubtract: return clampToByte(a - k);
    case Op::kMultiply: return clampToByte(a * k / 255);
    case Op::kDivide: return k == 0 ? 255 : clampToByte(a * 255 / k);
    }
    return a;
}

inline float withOperand(Op op, float a, float c) { return combine(op, a, c); }

// The addend or factor of one channel value v (0..1 scale).
inline std::int32_t byteOperand(Op op, double v) {
    if (op == Op::kAdd || op == Op::kSubtract)
        return MvPixel::clamp8(v * 255.0);
    const double f = v * 255.0;
    if (!(f == f))
        return 0;
    const double held = std::max<double>(-kLargestFactor, std::min<double>(kLargestFactor, f));
    return static_cast<std::int32_t>(held);
}

// The operand lane that leaves alpha unchanged.
inline std::int32_t byteIdentity(Op op) { return op == Op::kAdd || op == Op::kSubtract ? 0 : 255; }
inline float floatIdentity(Op op) {
    switch (op) {
    case Op::kAdd: return -0.0f;   // a + (-0) is a, for a = -0 too
    case Op::kSubtract: return 0.0f;
    default: return 1.0f;
    }
}

inline double greyOf(bgPix g) { return g; }
inline double greyOf(const bcPix& p) { return MvPixel::byteLuminance(p.red, p.green, p.blue); }
inline double greyOf(fgPix v) { return v; }
inline double greyOf(const fcPix& p) { return MvPixel::floatLuminance(p.red, p.green, p.blue); }

// Sum of (g - centre)^2 from n, the sum of g and the sum of g^2.
inline double squaredDeviationFromSums(std::uint64_t sum, std::uint64_t squares, std::int64_t n,
                                       double centre) {
    return static_cast<double>(squares) - 2.0 * centre * static_cast<double>(sum) +
           static_cast<double>(n) * centre * centre;
}

} // namespace MvPixelRules

#endif
