// The inner loops of the neighbourhood filters: one output row of a
// convolution, and one output row of the rank filter over a full square mask.
//
// As with the pixel kernels, each loop runs with SIMD instructions chosen at
// run time and has a scalar twin (...Scalar) that states the rule one pixel
// at a time; both give identical results, and the tests hold them to it.
//
// The callers prepare padded rows: padded pixel i of a row is source column
// (i - h) taken modulo the width, for h the half width of the kernel or
// mask, so the loops never test for an edge; the wrap-around is paid once
// per source row when the padding is written.
#ifndef MORVANE_ENGINE_MVFILTERKERNELS_H
#define MORVANE_ENGINE_MVFILTERKERNELS_H

#include <cstdint>

namespace MvFilterKernels {

// One output row of a convolution over float lanes (1 lane per pixel for
// grey, 4 for colour: alpha, red, green, blue).
//   rows[j]     the padded source row under kernel row j, j = 0 .. kernelRows - 1
//               (already the flipped row), width + kernelColumns - 1 pixels
//   weights     4 floats per tap, taps row-major (column fastest); lane l of
//               a pixel is multiplied by weights[4 * tap + l] (grey: the first)
//   start       the 4 lane values each sum starts from (grey: the first)
// out pixel x = start + sum over j, then c, of weight(j, c) * rows[j][x + kernelColumns - 1 - c],
// summed in exactly that order in single precision (products and sums
// rounded apart).
struct ConvolutionRow {
    const float* const* rows = nullptr;
    const float* weights = nullptr;
    const float* start = nullptr;
    std::int32_t kernelRows = 0;
    std::int32_t kernelColumns = 0;
    std::int32_t lanes = 1;
};

void convolveRow(const ConvolutionRow& row, float* out, std::int32_t width);
void convolveRowScalar(const ConvolutionRow& row, float* out, std::int32_t width);

// One output row of the rank filter over a full size x size mask of bytes
// (size 3 or 5): out[x] is the rank-th smallest (from 0) of
// rows[j][x + k] for j, k in 0 .. size - 1, where rows are padded byte rows
// of width + size - 1 bytes.
void rankSquareRow(const std::uint8_t* const* rows, std::int32_t size, std::int32_t rank,
                   std::uint8_t* out, std::int32_t width);
// The plain form: gathers the neighbourhood and sorts it by insertion.
void rankSquareRowScalar(const std::uint8_t* const* rows, std::int32_t size, std::int32_t rank,
                         std::uint8_t* out, std::int32_t width);

} // namespace MvFilterKernels

#endif
