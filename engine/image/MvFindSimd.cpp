// The vector core of the template search for byte grey pixels: sums of
// absolute differences, 8 bytes to one 64-bit lane (psadbw on x86), on the
// widest instructions of the processor chosen once at run time. A narrow
// match runs on vectors no wider than its rows, so no lanes go to waste.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "image/MvFindSimd.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "image/MvFindStrategyInput.h"

#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace MvFindCores {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

#if HWY_ARCH_X86 && HWY_TARGET <= HWY_SSSE3
HWY_INLINE hn::Vec128<uint64_t> sad(hn::Vec128<uint8_t> a, hn::Vec128<uint8_t> b) {
    return hn::Vec128<uint64_t>{_mm_sad_epu8(a.raw, b.raw)};
}
#endif
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX2
HWY_INLINE hn::Vec256<uint64_t> sad(hn::Vec256<uint8_t> a, hn::Vec256<uint8_t> b) {
    return hn::Vec256<uint64_t>{_mm256_sad_epu8(a.raw, b.raw)};
}
#endif
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX3
HWY_INLINE hn::Vec512<uint64_t> sad(hn::Vec512<uint8_t> a, hn::Vec512<uint8_t> b) {
    return hn::Vec512<uint64_t>{_mm512_sad_epu8(a.raw, b.raw)};
}
#endif
// Elsewhere: |a - b| as the larger of the two saturated differences.
template <class V>
HWY_INLINE auto sad(V a, V b) {
    return hn::SumsOf8(hn::Or(hn::SaturatedSub(a, b), hn::SaturatedSub(b, a)));
}

// The sum of one placement's rows.
template <class D>
HWY_INLINE uint64_t placementSad(D d, const uint8_t* source, size_t sourceStride,
                                 const uint8_t* match, size_t matchStride, int32_t rows,
                                 int32_t whole, int32_t rest) {
    const hn::Repartition<uint64_t, D> d64;
    const int32_t lanes = static_cast<int32_t>(hn::Lanes(d));
    const auto tailMask = hn::FirstN(d, static_cast<size_t>(rest));
    auto total = hn::Zero(d64);
    for (int32_t k = 0; k < rows; ++k, source += sourceStride, match += matchStride) {
        for (int32_t i = 0; i < whole; i += lanes)
            total = hn::Add(total, sad(hn::LoadU(d, source + i), hn::LoadU(d, match + i)));
        if (rest) {
            const auto a = hn::IfThenElseZero(tailMask, hn::LoadU(d, source + whole));
            const auto b = hn::IfThenElseZero(tailMask, hn::LoadU(d, match + whole));
            total = hn::Add(total, sad(a, b));
        }
    }
    return hn::GetLane(hn::SumOfLanes(d64, total));
}

// Four neighbouring placements share every load of the match.
template <class D>
HWY_INLINE void fourPlacementSads(D d, const uint8_t* source, size_t sourceStride,
                                  const uint8_t* match, size_t matchStride, int32_t rows,
                                  int32_t whole, int32_t rest, uint64_t* out) {
    const hn::Repartition<uint64_t, D> d64;
    const int32_t lanes = static_cast<int32_t>(hn::Lanes(d));
    const auto tailMask = hn::FirstN(d, static_cast<size_t>(rest));
    auto t0 = hn::Zero(d64), t1 = hn::Zero(d64), t2 = hn::Zero(d64), t3 = hn::Zero(d64);
    for (int32_t k = 0; k < rows; ++k, source += sourceStride, match += matchStride) {
        for (int32_t i = 0; i < whole; i += lanes) {
            const auto m = hn::LoadU(d, match + i);
            t0 = hn::Add(t0, sad(hn::LoadU(d, source + i), m));
            t1 = hn::Add(t1, sad(hn::LoadU(d, source + i + 1), m));
            t2 = hn::Add(t2, sad(hn::LoadU(d, source + i + 2), m));
            t3 = hn::Add(t3, sad(hn::LoadU(d, source + i + 3), m));
        }
        if (rest) {
            const auto m = hn::IfThenElseZero(tailMask, hn::LoadU(d, match + whole));
            const uint8_t* s = source + whole;
            t0 = hn::Add(t0, sad(hn::IfThenElseZero(tailMask, hn::LoadU(d, s)), m));
            t1 = hn::Add(t1, sad(hn::IfThenElseZero(tailMask, hn::LoadU(d, s + 1)), m));
            t2 = hn::Add(t2, sad(hn::IfThenElseZero(tailMask, hn::LoadU(d, s + 2)), m));
            t3 = hn::Add(t3, sad(hn::IfThenElseZero(tailMask, hn::LoadU(d, s + 3)), m));
        }
    }
    out[0] = hn::GetLane(hn::SumOfLanes(d64, t0));
    out[1] = hn::GetLane(hn::SumOfLanes(d64, t1));
    out[2] = hn::GetLane(hn::SumOfLanes(d64, t2));
    out[3] = hn::GetLane(hn::SumOfLanes(d64, t3));
}

template <class D>
void sadsWith(D d, const uint8_t* source, size_t sourceStride, const uint8_t* match,
              size_t matchStride, int32_t rows, int32_t width, int32_t x0, int32_t x1,
              uint64_t* out) {
    const int32_t lanes = static_cast<int32_t>(hn::Lanes(d));
    const int32_t whole = width / lanes * lanes;
    const int32_t rest = width - whole;
    int32_t x = x0;
    for (; x + 4 <= x1; x += 4)
        fourPlacementSads(d, source + x, sourceStride, match, matchStride, rows, whole, rest,
                          out + (x - x0));
    for (; x < x1; ++x)
        out[x - x0] = placementSad(d, source + x, sourceStride, match, matchStride, rows, whole,
                                   rest);
}

void ByteSads(const uint8_t* source, size_t sourceStride, const uint8_t* match,
              size_t matchStride, int32_t rows, int32_t width, int32_t x0, int32_t x1,
              uint64_t* out) {
    if (width <= 16)
        sadsWith(hn::CappedTag<uint8_t, 16>(), source, sourceStride, match, matchStride, rows,
                 width, x0, x1, out);
    else if (width <= 32)
        sadsWith(hn::CappedTag<uint8_t, 32>(), source, sourceStride, match, matchStride, rows,
                 width, x0, x1, out);
    else
        sadsWith(hn::ScalableTag<uint8_t>(), source, sourceStride, match, matchStride, rows,
                 width, x0, x1, out);
}

const char* TargetName() { return hwy::TargetName(HWY_TARGET); }

} // namespace HWY_NAMESPACE
} // namespace MvFindCores
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace MvFindCores {
HWY_EXPORT(ByteSads);
HWY_EXPORT(TargetName);
} // namespace MvFindCores

void MvFindByteSads(const std::uint8_t* source, std::size_t sourceStride,
                    const std::uint8_t* match, std::size_t matchStride, std::int32_t rows,
                    std::int32_t width, std::int32_t x0, std::int32_t x1, std::uint64_t* out) {
    HWY_DYNAMIC_DISPATCH(MvFindCores::ByteSads)(source, sourceStride, match, matchStride, rows,
                                                width, x0, x1, out);
}

const char* MvFindSimdTarget() { return HWY_DYNAMIC_DISPATCH(MvFindCores::TargetName)(); }
#endif
