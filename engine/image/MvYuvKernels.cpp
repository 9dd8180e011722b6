// The vectorised YUV 4:2:0 row conversion: 16-bit lanes, one vector of
// pixels per step, each chroma sample widened to the two lanes of its
// pixel pair; the last pixels of a row go through the scalar rules.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "image/MvYuvKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include "image/MvYuvKernels.h"

#include <cstddef>
#include <cstdint>

HWY_BEFORE_NAMESPACE();
namespace MvYuvKernels {
namespace HWY_NAMESPACE {

#if HWY_TARGET != HWY_SCALAR
namespace {

namespace hn = hwy::HWY_NAMESPACE;

typedef hn::ScalableTag<std::int16_t> D16;
typedef hn::RepartitionToWide<hn::RebindToUnsigned<D16>> DU32;
typedef hn::Rebind<std::uint8_t, D16> D8;      // one byte per 16-bit lane
typedef hn::Rebind<std::uint8_t, DU32> D8Pair; // one byte per pixel pair

// Chroma samples of the vector's pixel pairs, each in both lanes of its
// pair, as (sample - 128) << 8.
hn::Vec<D16> chromaPairs(const std::uint8_t* samples) {
    const D16 d16;
    const DU32 du32;
    const auto wide = hn::PromoteTo(du32, hn::LoadU(D8Pair(), samples));
    const auto twice = hn::BitCast(d16, hn::Or(wide, hn::ShiftLeft<16>(wide)));
    return hn::ShiftLeft<8>(hn::Sub(twice, hn::Set(d16, std::int16_t{128})));
}

hn::Vec<D8> channel(hn::Vec<D16> sum) {
    const auto rounded = hn::ShiftRight<6>(hn::SaturatedAdd(sum, hn::Set(D16(), std::int16_t{32})));
    return hn::DemoteTo(D8(), rounded);
}

void rowToBgra(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
               std::uint8_t* bgra, std::int32_t width, const Weights& w) {
    const D16 d16;
    const D8 d8;
    const std::int32_t lanes = static_cast<std::int32_t>(hn::Lanes(d16));
    const auto offset = hn::Set(d16, w.offset);
    const auto luma = hn::Set(d16, w.luma);
    const auto redV = hn::Set(d16, w.redV);
    const auto greenU = hn::Set(d16, w.greenU);
    const auto greenV = hn::Set(d16, w.greenV);
    const auto blueU = hn::Set(d16, w.blueU);
    const auto opaque = hn::Set(d8, std::uint8_t{255});
    std::int32_t x = 0;
    for (; x + lanes <= width; x += lanes) {
        const auto ys = hn::ShiftLeft<7>(hn::Sub(hn::PromoteTo(d16, hn::LoadU(d8, y + x)), offset));
        const auto us = chromaPairs(u + x / 2);
        const auto vs = chromaPairs(v + x / 2);
        const auto l = hn::Add(hn::MulHigh(ys, luma), hn::ShiftRight<1>(ys));
        const auto red = hn::SaturatedAdd(l, hn::MulHigh(vs, redV));
        const auto green =
            hn::SaturatedSub(hn::SaturatedSub(l, hn::MulHigh(us, greenU)), hn::MulHigh(vs, greenV));
        const auto blue =
            hn::SaturatedAdd(hn::SaturatedAdd(l, hn::MulHigh(us, blueU)), hn::ShiftRight<2>(us));
        hn::StoreInterleaved4(channel(blue), channel(green), channel(red), opaque, d8,
                              bgra + 4 * static_cast<std::ptrdiff_t>(x));
    }
    yuv420TailToBgra(y, u, v, bgra, x, width, w);
}

} // namespace

void Yuv420Row(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
               std::uint8_t* bgra, std::int32_t width, Range range) {
    rowToBgra(y, u, v, bgra, width, weightsFor(range));
}
#else
void Yuv420Row(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
               std::uint8_t* bgra, std::int32_t width, Range range) {
    yuv420RowToBgraScalar(y, u, v, bgra, width, range);
}
#endif

} // namespace HWY_NAMESPACE
} // namespace MvYuvKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace MvYuvKernels {

HWY_EXPORT(Yuv420Row);

void yuv420RowToBgra(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                     std::uint8_t* bgra, std::int32_t width, Range range) {
    HWY_DYNAMIC_DISPATCH(Yuv420Row)(y, u, v, bgra, width, range);
}

} // namespace MvYuvKernels
#endif
