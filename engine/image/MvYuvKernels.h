// Rows of 8-bit YUV 4:2:0 pictures (most video) as BGRA frame rows.
//
// The plain function runs on the widest SIMD instructions of the processor
// (Highway's dynamic dispatch); its scalar twin follows the rules below one
// pixel at a time, and both give identical pixels.
//
// Rules (BT.601 weights, chroma of the pixel pair it covers, no
// interpolation): with Y, U, V the samples, in 16-bit integer steps,
//   s = (Y - offset) << 7,  y = MulHigh(s, luma) + s / 2
//   u = (U - 128) << 8,  v = (V - 128) << 8
//   R = y + MulHigh(v, redV)
//   G = y - MulHigh(u, greenU) - MulHigh(v, greenV)
//   B = y + MulHigh(u, blueU) + u / 4
// where MulHigh(a, b) = floor(a * b / 65536) and every sum saturates at
// the 16-bit limits; a channel is then ((sum + 32) >> 6) clamped to
// 0..255, and alpha is 255. The weights hold the matrix in 1/64 steps.
#ifndef MORVANE_ENGINE_MVYUVKERNELS_H
#define MORVANE_ENGINE_MVYUVKERNELS_H

#include <cstdint>

namespace MvYuvKernels {

// Video range (luma 16..235, chroma 16..240) or full range (JPEG).
enum class Range { kVideo, kFull };

struct Weights {
    std::int16_t offset, luma, redV, greenU, greenV, blueU;
};

const Weights& weightsFor(Range range);

// Pixels 0 .. width - 1 of one row, from the luma row y (width samples)
// and the chroma rows u and v ((width + 1) / 2 samples each), into bgra
// (4 width bytes). Nothing else is read or written.
void yuv420RowToBgra(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                     std::uint8_t* bgra, std::int32_t width, Range range);
void yuv420RowToBgraScalar(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                           std::uint8_t* bgra, std::int32_t width, Range range);

// The rules for pixels from..width - 1 (the vector loops' last pixels).
void yuv420TailToBgra(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                      std::uint8_t* bgra, std::int32_t from, std::int32_t width,
                      const Weights& weights);

// The other way, for encoders: two BGRA rows (top and bottom, width
// pixels each, width even) into their two luma rows and one row each of
// U and V (width / 2 samples), alpha ignored. Integer BT.601 with 8-bit
// weights: a luma sample is
//   ((yr R + yg G + yb B + 128) >> 8) + offset
// and a chroma sample, from the rounded mean of the 2 x 2 pixels it covers,
//   clamp(((cr R + cg G + cb B + 128) >> 8) + 128)
// with the sum saturating at the 16-bit limits first.
struct EncodeWeights {
    std::int16_t yr, yg, yb, offset;
    std::int16_t ur, ug, ub, vr, vg, vb;
};

const EncodeWeights& encodeWeightsFor(Range range);

void bgraRowsToYuv420(const std::uint8_t* top, const std::uint8_t* bottom, std::uint8_t* yTop,
                      std::uint8_t* yBottom, std::uint8_t* u, std::uint8_t* v,
                      std::int32_t width, Range range);
void bgraRowsToYuv420Scalar(const std::uint8_t* top, const std::uint8_t* bottom,
                            std::uint8_t* yTop, std::uint8_t* yBottom, std::uint8_t* u,
                            std::uint8_t* v, std::int32_t width, Range range);

// The rules for the pixel pairs from..width - 1 (the vector loop's last).
void bgraTailToYuv420(const std::uint8_t* top, const std::uint8_t* bottom, std::uint8_t* yTop,
                      std::uint8_t* yBottom, std::uint8_t* u, std::uint8_t* v,
                      std::int32_t from, std::int32_t width, const EncodeWeights& weights);

} // namespace MvYuvKernels

#endif
