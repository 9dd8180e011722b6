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

// Two BGRA rows to luma and 4:2:0 chroma: one vector of 16-bit lanes of
// pixels per step; each chroma sample is the rounded mean of its 2 x 2
// pixels, summed down the rows in 16-bit lanes and across the pair in
// 32-bit lanes, then computed in 16-bit lanes as the scalar rules say.
typedef hn::ScalableTag<std::uint16_t> DU16;
typedef hn::Rebind<std::uint8_t, DU16> D8Pixels;
typedef hn::RepartitionToWide<DU16> DPair;
typedef hn::Rebind<std::int16_t, DPair> D16Half;
typedef hn::Rebind<std::uint8_t, DPair> D8Half;

hn::Vec<D8Pixels> lumaOf(hn::Vec<DU16> r, hn::Vec<DU16> g, hn::Vec<DU16> b,
                         const EncodeWeights& w) {
    const DU16 d;
    auto sum = hn::Add(hn::Mul(r, hn::Set(d, std::uint16_t(w.yr))),
                       hn::Mul(g, hn::Set(d, std::uint16_t(w.yg))));
    sum = hn::Add(hn::Add(sum, hn::Mul(b, hn::Set(d, std::uint16_t(w.yb)))),
                  hn::Set(d, std::uint16_t{128}));
    const auto luma = hn::Add(hn::ShiftRight<8>(sum), hn::Set(d, std::uint16_t(w.offset)));
    return hn::DemoteTo(D8Pixels(), hn::BitCast(hn::RebindToSigned<DU16>(), luma));
}

// The rounded means of the 2 x 2 blocks, from the sums of the two rows.
hn::Vec<D16Half> meanOfPairs(hn::Vec<DU16> columnSums) {
    const DPair dp;
    const auto wide = hn::BitCast(dp, columnSums);
    const auto pairs = hn::Add(hn::And(wide, hn::Set(dp, 0xFFFFu)), hn::ShiftRight<16>(wide));
    const auto mean = hn::ShiftRight<2>(hn::Add(pairs, hn::Set(dp, 2u)));
    return hn::DemoteTo(D16Half(), hn::BitCast(hn::RebindToSigned<DPair>(), mean));
}

hn::Vec<D8Half> chromaOf(hn::Vec<D16Half> r, hn::Vec<D16Half> g, hn::Vec<D16Half> b,
                         std::int16_t wr, std::int16_t wg, std::int16_t wb) {
    const D16Half d;
    const auto sum = hn::Add(hn::Add(hn::Mul(r, hn::Set(d, wr)), hn::Mul(g, hn::Set(d, wg))),
                             hn::Mul(b, hn::Set(d, wb)));
    const auto rounded = hn::ShiftRight<8>(hn::SaturatedAdd(sum, hn::Set(d, std::int16_t{128})));
    return hn::DemoteTo(D8Half(), hn::Add(rounded, hn::Set(d, std::int16_t{128})));
}

void rowsToYuv420(const std::uint8_t* top, const std::uint8_t* bottom, std::uint8_t* yTop,
                  std::uint8_t* yBottom, std::uint8_t* u, std::uint8_t* v, std::int32_t width,
                  const EncodeWeights& w) {
    const DU16 d16;
    const D8Pixels d8;
    const std::int32_t lanes = static_cast<std::int32_t>(hn::Lanes(d16));
    std::int32_t x = 0;
    for (; x + lanes <= width; x += lanes) {
        const std::ptrdiff_t at = 4 * static_cast<std::ptrdiff_t>(x);
        hn::Vec<D8Pixels> b8, g8, r8, a8, b8d, g8d, r8d, a8d;
        hn::LoadInterleaved4(d8, top + at, b8, g8, r8, a8);
        hn::LoadInterleaved4(d8, bottom + at, b8d, g8d, r8d, a8d);
        const auto b = hn::PromoteTo(d16, b8), g = hn::PromoteTo(d16, g8),
                   r = hn::PromoteTo(d16, r8);
        const auto bd = hn::PromoteTo(d16, b8d), gd = hn::PromoteTo(d16, g8d),
                   rd = hn::PromoteTo(d16, r8d);
        hn::StoreU(lumaOf(r, g, b, w), d8, yTop + x);
        hn::StoreU(lumaOf(rd, gd, bd, w), d8, yBottom + x);
        const auto mr = meanOfPairs(hn::Add(r, rd));
        const auto mg = meanOfPairs(hn::Add(g, gd));
        const auto mb = meanOfPairs(hn::Add(b, bd));
        hn::StoreU(chromaOf(mr, mg, mb, w.ur, w.ug, w.ub), D8Half(), u + x / 2);
        hn::StoreU(chromaOf(mr, mg, mb, w.vr, w.vg, w.vb), D8Half(), v + x / 2);
    }
    bgraTailToYuv420(top, bottom, yTop, yBottom, u, v, x, width, w);
}

} // namespace

void BgraRowsToYuv420(const std::uint8_t* top, const std::uint8_t* bottom, std::uint8_t* yTop,
                      std::uint8_t* yBottom, std::uint8_t* u, std::uint8_t* v,
                      std::int32_t width, Range range) {
    rowsToYuv420(top, bottom, yTop, yBottom, u, v, width, encodeWeightsFor(range));
}

void Yuv420Row(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
               std::uint8_t* bgra, std::int32_t width, Range range) {
    rowToBgra(y, u, v, bgra, width, weightsFor(range));
}
#else
void BgraRowsToYuv420(const std::uint8_t* top, const std::uint8_t* bottom, std::uint8_t* yTop,
                      std::uint8_t* yBottom, std::uint8_t* u, std::uint8_t* v,
                      std::int32_t width, Range range) {
    bgraRowsToYuv420Scalar(top, bottom, yTop, yBottom, u, v, width, range);
}

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
HWY_EXPORT(BgraRowsToYuv420);

void bgraRowsToYuv420(const std::uint8_t* top, const std::uint8_t* bottom, std::uint8_t* yTop,
                      std::uint8_t* yBottom, std::uint8_t* u, std::uint8_t* v,
                      std::int32_t width, Range range) {
    HWY_DYNAMIC_DISPATCH(BgraRowsToYuv420)(top, bottom, yTop, yBottom, u, v, width, range);
}

void yuv420RowToBgra(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                     std::uint8_t* bgra, std::int32_t width, Range range) {
    HWY_DYNAMIC_DISPATCH(Yuv420Row)(y, u, v, bgra, width, range);
}

} // namespace MvYuvKernels
#endif
