// The vectorised filter kernels (Highway, dispatched at run time).
//
// Convolution: a strip of output lanes is held in registers while every tap
// adds its product, so each output lane sees the taps in the same order as
// the scalar twin, with products and sums rounded apart (no fused
// multiply-add): the results are identical. Vectors hold whole pixels (the
// lane count is a multiple of 4), so the per-lane weights repeat with
// period 4 in every vector.
//
// Rank filter over a full square mask of bytes: the neighbourhood of a
// vector of pixels is loaded as size x size vectors, held in registers and
// sorted by a compare-exchange network (minimum and maximum of two vectors)
// fixed at compile time.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "image/MvFilterKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "image/MvFilterKernels.h"
#include "image/MvRankSort.h"

#include <cstdint>
#include <utility>
#include <vector>

HWY_BEFORE_NAMESPACE();
namespace MvFilterKernels {
namespace HWY_NAMESPACE {

#if HWY_TARGET != HWY_SCALAR
namespace {

namespace hn = hwy::HWY_NAMESPACE;
typedef hn::ScalableTag<float> DF;
typedef hn::ScalableTag<uint8_t> D8;

// The weight vector of one tap: every lane the grey weight, or the four
// channel weights repeated in every 128-bit block (vectors hold whole pixels).
template <int kLanes>
HWY_INLINE hn::Vec<DF> weightOf(DF d, const float* weights) {
    if constexpr (kLanes == 1)
        return hn::Set(d, weights[0]);
    else
        return hn::LoadDup128(d, weights);
}

constexpr size_t kStrip = 4;

template <int kLanes>
void convolveLanes(const ConvolutionRow& row, float* out, std::int32_t width) {
    const DF d;
    const size_t n = hn::Lanes(d);
    const size_t total = static_cast<size_t>(width) * kLanes;
    const size_t last = static_cast<size_t>(row.kernelColumns - 1) * kLanes;
    const auto start = weightOf<kLanes>(d, row.start);
    size_t i = 0;
    for (; i + kStrip * n <= total; i += kStrip * n) {
        auto s0 = start, s1 = start, s2 = start, s3 = start;
        const float* w = row.weights;
        for (std::int32_t j = 0; j < row.kernelRows; ++j) {
            const float* source = row.rows[j] + i + last;
            for (std::int32_t c = 0; c < row.kernelColumns; ++c, w += 4) {
                const auto k = weightOf<kLanes>(d, w);
                const float* p = source - static_cast<size_t>(c) * kLanes;
                s0 = hn::Add(s0, hn::Mul(k, hn::LoadU(d, p)));
                s1 = hn::Add(s1, hn::Mul(k, hn::LoadU(d, p + n)));
                s2 = hn::Add(s2, hn::Mul(k, hn::LoadU(d, p + 2 * n)));
                s3 = hn::Add(s3, hn::Mul(k, hn::LoadU(d, p + 3 * n)));
            }
        }
        hn::StoreU(s0, d, out + i);
        hn::StoreU(s1, d, out + i + n);
        hn::StoreU(s2, d, out + i + 2 * n);
        hn::StoreU(s3, d, out + i + 3 * n);
    }
    for (; i + n <= total; i += n) {
        auto s = start;
        const float* w = row.weights;
        for (std::int32_t j = 0; j < row.kernelRows; ++j) {
            const float* source = row.rows[j] + i + last;
            for (std::int32_t c = 0; c < row.kernelColumns; ++c, w += 4)
                s = hn::Add(s, hn::Mul(weightOf<kLanes>(d, w),
                                       hn::LoadU(d, source - static_cast<size_t>(c) * kLanes)));
        }
        hn::StoreU(s, d, out + i);
    }
    // The pixels that do not fill a vector.
    const std::int32_t done = static_cast<std::int32_t>(i / kLanes);
    if (done < width) {
        std::vector<const float*> rest(static_cast<size_t>(row.kernelRows));
        for (std::int32_t j = 0; j < row.kernelRows; ++j)
            rest[j] = row.rows[j] + i;
        ConvolutionRow tail = row;
        tail.rows = rest.data();
        convolveRowScalar(tail, out + i, width - done);
    }
}

// One vector per neighbourhood item, ordered by a sorting network fixed at
// compile time, so that every item stays in a register.
template <int kItems, size_t kStep>
HWY_INLINE void exchange(hn::Vec<D8>* items) {
    constexpr MvSortStep step = MvSortingNetwork<kItems>::kSteps.steps[kStep];
    const auto low = hn::Min(items[step.low], items[step.high]);
    items[step.high] = hn::Max(items[step.low], items[step.high]);
    items[step.low] = low;
}

template <int kItems, size_t... kStep>
HWY_INLINE void sortItems(hn::Vec<D8>* items, std::index_sequence<kStep...>) {
    (exchange<kItems, kStep>(items), ...);
}

template <size_t... kItem>
HWY_INLINE void storeRanked(const hn::Vec<D8>* items, std::int32_t rank, std::uint8_t* out,
                            std::index_sequence<kItem...>) {
    const D8 d;
    ((static_cast<std::int32_t>(kItem) == rank ? hn::StoreU(items[kItem], d, out) : (void)0), ...);
}

template <int kSize>
void rankSquareBytes(const std::uint8_t* const* rows, std::int32_t rank, std::uint8_t* out,
                     std::int32_t width) {
    constexpr int kItems = kSize * kSize;
    const D8 d;
    const size_t n = hn::Lanes(d);
    size_t x = 0;
    for (; x + n <= static_cast<size_t>(width); x += n) {
        hn::Vec<D8> items[kItems];
        for (std::int32_t j = 0; j < kSize; ++j)
            for (std::int32_t k = 0; k < kSize; ++k)
                items[j * kSize + k] = hn::LoadU(d, rows[j] + x + k);
        sortItems<kItems>(items, std::make_index_sequence<MvSortingNetwork<kItems>::kCount>());
        storeRanked(items, rank, out + x, std::make_index_sequence<kItems>());
    }
    if (x < static_cast<size_t>(width)) {
        const std::uint8_t* rest[kSize];
        for (std::int32_t j = 0; j < kSize; ++j)
            rest[j] = rows[j] + x;
        rankSquareRowScalar(rest, kSize, rank, out + x, width - static_cast<std::int32_t>(x));
    }
}

} // namespace

void ConvolveEntry(const ConvolutionRow& row, float* out, std::int32_t width) {
    if (row.lanes == 1)
        convolveLanes<1>(row, out, width);
    else
        convolveLanes<4>(row, out, width);
}
void RankEntry(const std::uint8_t* const* rows, std::int32_t size, std::int32_t rank,
               std::uint8_t* out, std::int32_t width) {
    if (size == 3)
        rankSquareBytes<3>(rows, rank, out, width);
    else
        rankSquareBytes<5>(rows, rank, out, width);
}
#else
void ConvolveEntry(const ConvolutionRow& row, float* out, std::int32_t width) {
    convolveRowScalar(row, out, width);
}
void RankEntry(const std::uint8_t* const* rows, std::int32_t size, std::int32_t rank,
               std::uint8_t* out, std::int32_t width) {
    rankSquareRowScalar(rows, size, rank, out, width);
}
#endif

} // namespace HWY_NAMESPACE
} // namespace MvFilterKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace MvFilterKernels {

HWY_EXPORT(ConvolveEntry);
HWY_EXPORT(RankEntry);

void convolveRow(const ConvolutionRow& row, float* out, std::int32_t width) {
    HWY_DYNAMIC_DISPATCH(ConvolveEntry)(row, out, width);
}

void rankSquareRow(const std::uint8_t* const* rows, std::int32_t size, std::int32_t rank,
                   std::uint8_t* out, std::int32_t width) {
    HWY_DYNAMIC_DISPATCH(RankEntry)(rows, size, rank, out, width);
}

} // namespace MvFilterKernels
#endif
