// The per-pixel loops of image arithmetic, conversion and statistics.
//
// Each loop is one template over the four pixel types. The plain functions
// run the innermost loop with SIMD instructions chosen at run time for the
// processor (Highway); each has a scalar twin (...Scalar) that follows the
// pixel rules one pixel at a time. Both give identical pixels; the twins are
// the reference the tests hold the vectorised loops to.
//
// Rows are given as pointers and a width in pixels; nothing past the width is
// read or written. An output row may be the same memory as an input row
// (in-place arithmetic): pixel x of the result depends on pixel x only.
//
// Byte rules (a, b in 0..255, results clamped to 0..255):
//   image operand     a + b,  a - b,  a * b / 255,  a * 255 / b (255 where b = 0)
//   number or colour  b = Clamp8(v * 255): a + b, a - b
//                     f = trunc(v * 255), not clamped: a * f / 255, a * 255 / f
// (divisions are integer divisions). Float rules: plain float +, -, *, /;
// division by a zero image pixel gives 1e10. Colour pixels apply the rule to
// red, green and blue; the alpha of the result is the left operand's.
#ifndef MORVANE_ENGINE_MVPIXELKERNELS_H
#define MORVANE_ENGINE_MVPIXELKERNELS_H

#include "morvane/MvPixel.h"

#include <cstdint>
#include <type_traits>

namespace MvPixelKernels {

enum class Op { kAdd, kSubtract, kMultiply, kDivide };

// The layout of a pixel: the type of one channel ("lane"), the lanes per
// pixel and the lane that holds alpha (-1: none).
template <class Pix> struct Traits;
template <> struct Traits<bgPix> { typedef std::uint8_t Lane; enum { kLanes = 1, kAlphaLane = -1 }; };
template <> struct Traits<bcPix> { typedef std::uint8_t Lane; enum { kLanes = 4, kAlphaLane = 3 }; };
template <> struct Traits<fgPix> { typedef float Lane; enum { kLanes = 1, kAlphaLane = -1 }; };
template <> struct Traits<fcPix> { typedef float Lane; enum { kLanes = 4, kAlphaLane = 0 }; };

// A number or colour right operand, prepared for one pixel type and one
// operator, lane by lane in memory order (lanes past kLanes unused):
// bytes: + and - the addend Clamp8(v * 255), * and / the factor
// trunc(v * 255) (held within +-65536, which changes no clamped result);
// floats: the channel value as a float. The alpha lane is the identity
// of the operator, so alpha passes through unchanged.
template <class Pix>
struct Operand {
    typedef typename Traits<Pix>::Lane Lane;
    typedef typename std::conditional<sizeof(Lane) == 1, std::int32_t, float>::type Value;
    Value lane[4];
};

// red, green, blue: the colour of the operand on the 0..1 scale (a number n
// is the colour (n, n, n)). Grey pixel types use the grey value
// 0.3 red + 0.59 green + 0.11 blue.
template <class Pix>
Operand<Pix> makeOperand(Op op, double red, double green, double blue);

// True when dividing by the operand divides by zero (a zero lane).
template <class Pix>
bool dividesByZero(const Operand<Pix>& operand);

// out[x] = a[x] op b[x]. bypassCache asks for the results to be written
// past the caches (for results too large to stay there; it saves reading
// every destination line before writing it).
template <class Pix>
void combineRow(Op op, const Pix* a, const Pix* b, Pix* out, std::int32_t width,
                bool bypassCache = false);
template <class Pix>
void combineRowScalar(Op op, const Pix* a, const Pix* b, Pix* out, std::int32_t width);

// out[x] = a[x] op operand.
template <class Pix>
void operandRow(Op op, const Pix* a, const Operand<Pix>& operand, Pix* out, std::int32_t width,
                bool bypassCache = false);
template <class Pix>
void operandRowScalar(Op op, const Pix* a, const Operand<Pix>& operand, Pix* out,
                      std::int32_t width);

// out[x] = MvPixel::convert<To>(in[x]); in and out do not overlap.
template <class To, class From>
void convertRow(const From* in, To* out, std::int32_t width);
template <class To, class From>
void convertRowScalar(const From* in, To* out, std::int32_t width);

// Grey values of a row in the pixel type's own unit (bytes 0..255 for
// frames, colour frames by (77 R + 151 G + 28 B) >> 8; floats as stored,
// colour images by 0.3 R + 0.59 G + 0.11 B in double precision).
struct GreyTotals {
    double sum = 0.0;
    double minimum = 0.0;   // of the row; +inf for an empty row
    double maximum = 0.0;   // of the row; -inf for an empty row
};

template <class Pix>
GreyTotals greyTotalsRow(const Pix* row, std::int32_t width);
template <class Pix>
GreyTotals greyTotalsRowScalar(const Pix* row, std::int32_t width);

// Sum of (grey - centre)^2 over a row. The byte sums are exact; the float
// sums are formed in double precision and agree with their twins to rounding.
template <class Pix>
double greySquaredDeviationRow(const Pix* row, std::int32_t width, double centre);
template <class Pix>
double greySquaredDeviationRowScalar(const Pix* row, std::int32_t width, double centre);

} // namespace MvPixelKernels

#endif
