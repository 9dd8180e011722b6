// The scalar twins of the filter kernels: the rules one pixel at a time.
#include "image/MvFilterKernels.h"

#include "image/MvRankSort.h"

namespace MvFilterKernels {

void convolveRowScalar(const ConvolutionRow& row, float* out, std::int32_t width) {
    const std::int32_t lanes = row.lanes;
    const std::int32_t last = row.kernelColumns - 1;
    for (std::int32_t x = 0; x < width; ++x) {
        for (std::int32_t l = 0; l < lanes; ++l) {
            float sum = row.start[l];
            const float* weight = row.weights;
            for (std::int32_t j = 0; j < row.kernelRows; ++j) {
                const float* source = row.rows[j];
                for (std::int32_t c = 0; c < row.kernelColumns; ++c, weight += 4) {
                    const float product = weight[l] * source[(x + last - c) * lanes + l];
                    sum = sum + product;
                }
            }
            out[x * lanes + l] = sum;
        }
    }
}

void rankSquareRowScalar(const std::uint8_t* const* rows, std::int32_t size, std::int32_t rank,
                         std::uint8_t* out, std::int32_t width) {
    std::uint8_t gathered[25] = {};
    for (std::int32_t x = 0; x < width; ++x) {
        int n = 0;
        for (std::int32_t j = 0; j < size; ++j)
            for (std::int32_t k = 0; k < size; ++k)
                gathered[n++] = rows[j][x + k];
        MvInsertionSort(gathered, n, [](std::uint8_t a, std::uint8_t b) { return a < b; });
        out[x] = gathered[rank];
    }
}

} // namespace MvFilterKernels
