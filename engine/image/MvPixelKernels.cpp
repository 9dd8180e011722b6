// The vectorised pixel kernels: each loop runs on the widest SIMD
// instructions of the processor, chosen once at run time (Highway's
// dynamic dispatch); the last pixels of a row that do not fill a vector go
// through the lane rules of the scalar twins.
//
// Byte products and quotients are formed exactly: a * b / 255 and
// a * f / 255 in 16-bit lanes (a * f = a * (255 k + m), so the quotient is
// a k + floor(a m / 255), and floor(x / 255) = (x + (x >> 8) + 1) >> 8 for
// x < 65281); a * 255 / b in single precision, where every quotient that is
// not a whole number lies farther than one rounding step from the next one.
// Float-to-byte conversions and float luminance are formed in double
// precision, as the scalar rules are.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "image/MvPixelKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/cache_control.h>
#include <hwy/highway.h>

#include "image/MvPixelKernelRules.h"

#include <cstdint>
#include <cstring>

HWY_BEFORE_NAMESPACE();
namespace MvPixelKernels {
namespace HWY_NAMESPACE {

// The scalar fallback target has no vectors: it runs the scalar twins.
#if HWY_TARGET != HWY_SCALAR
namespace {

namespace hn = hwy::HWY_NAMESPACE;
using namespace MvPixelRules;

// Lanes whose position modulo 4 is alphaLane (none when it is -1). Loops
// start at lane 0 and step by whole vectors, which hold whole pixels.
template <class D>
hn::Mask<D> alphaMask(D d, int alphaLane) {
    const hn::RebindToUnsigned<D> du;
    typedef hn::TFromD<decltype(du)> U;
    const auto position = hn::And(hn::Iota(du, 0), hn::Set(du, U{3}));
    return hn::RebindMask(d, hn::Eq(position, hn::Set(du, static_cast<U>(alphaLane))));
}

// A vector whose lane i holds values[i % 4].
template <class D, class T>
hn::Vec<D> repeating(D d, const T (&values)[4]) {
    HWY_ALIGN hn::TFromD<D> lanes[HWY_MAX_BYTES / sizeof(hn::TFromD<D>)];
    for (size_t i = 0; i < hn::Lanes(d); ++i)
        lanes[i] = static_cast<hn::TFromD<D>>(values[i % 4]);
    return hn::Load(d, lanes);
}

bool isAlphaLane(size_t i, int alphaLane) { return static_cast<int>(i & 3) == alphaLane; }

// Whether the rows of out may be written with streaming stores: asked for,
// and out aligned to whole vectors.
template <class D>
bool streams(D d, const void* out, bool bypassCache) {
    return bypassCache &&
           reinterpret_cast<std::uintptr_t>(out) % (hn::Lanes(d) * sizeof(hn::TFromD<D>)) == 0;
}

template <class D>
HWY_INLINE void store(hn::Vec<D> v, D d, hn::TFromD<D>* p, bool stream) {
    if (stream)
        hn::Stream(v, d, p);
    else
        hn::StoreU(v, d, p);
}

// ---- byte lanes: a u8 vector handled as two halves of u16 lanes

typedef hn::ScalableTag<uint8_t> D8;
typedef hn::Half<D8> D8Half;
typedef hn::Repartition<uint16_t, D8> D16;
typedef hn::Repartition<int16_t, D8> DI16;

// floor(x / 255) for x < 65281.
HWY_INLINE hn::Vec<D16> over255(hn::Vec<D16> x) {
    const D16 d16;
    return hn::ShiftRight<8>(hn::Add(hn::Add(x, hn::ShiftRight<8>(x)), hn::Set(d16, uint16_t{1})));
}

// Applies fn to both u16 halves of a and b and narrows the results
// (each at most 255) back to bytes.
template <class Fn>
HWY_INLINE hn::Vec<D8> inWideLanes(hn::Vec<D8> a, hn::Vec<D8> b, Fn fn) {
    const D8 d8;
    const D8Half dh;
    const D16 d16;
    const DI16 di16;
    const auto lo = fn(hn::PromoteTo(d16, hn::LowerHalf(dh, a)), hn::PromoteTo(d16, hn::LowerHalf(dh, b)));
    const auto hi = fn(hn::PromoteTo(d16, hn::UpperHalf(dh, a)), hn::PromoteTo(d16, hn::UpperHalf(dh, b)));
    return hn::Combine(d8, hn::DemoteTo(dh, hn::BitCast(di16, hi)), hn::DemoteTo(dh, hn::BitCast(di16, lo)));
}

// a * 255 / b in i32 lanes of bytes, 255 where b is 0, clamped to 0..255.
template <class DI>
HWY_INLINE hn::Vec<DI> byteQuotient(DI di, hn::Vec<DI> a, hn::Vec<DI> b) {
    const hn::Rebind<float, DI> df;
    const auto zero = hn::Eq(b, hn::Zero(di));
    const auto divisor = hn::ConvertTo(df, hn::IfThenElse(zero, hn::Set(di, 1), b));
    const auto q = hn::Div(hn::Mul(hn::ConvertTo(df, a), hn::Set(df, 255.0f)), divisor);
    const auto whole = hn::Max(hn::Min(hn::ConvertTo(di, q), hn::Set(di, 255)), hn::Zero(di));
    return hn::IfThenElse(zero, hn::Set(di, 255), whole);
}

void divideBytes(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, int alphaLane,
                 size_t& i) {
    const hn::ScalableTag<int32_t> di;
    const hn::Rebind<uint8_t, decltype(di)> dq;
    const size_t step = hn::Lanes(di);
    const auto keep = alphaMask(di, alphaLane);
    for (; i + step <= n; i += step) {
        const auto va = hn::PromoteTo(di, hn::LoadU(dq, a + i));
        const auto vb = hn::PromoteTo(di, hn::LoadU(dq, b + i));
        hn::StoreU(hn::DemoteTo(dq, hn::IfThenElse(keep, va, byteQuotient(di, va, vb))), dq, out + i);
    }
}

void combineBytes(Op op, const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, int alphaLane,
                  bool bypassCache) {
    const D8 d;
    const size_t step = hn::Lanes(d);
    const bool stream = streams(d, out, bypassCache);
    const auto keep = alphaMask(d, alphaLane);
    size_t i = 0;
    switch (op) {
    case Op::kAdd:
        for (; i + step <= n; i += step) {
            const auto va = hn::LoadU(d, a + i);
            store(hn::IfThenElse(keep, va, hn::SaturatedAdd(va, hn::LoadU(d, b + i))), d, out + i, stream);
        }
        break;
    case Op::kSubtract:
        for (; i + step <= n; i += step) {
            const auto va = hn::LoadU(d, a + i);
            store(hn::IfThenElse(keep, va, hn::SaturatedSub(va, hn::LoadU(d, b + i))), d, out + i, stream);
        }
        break;
    case Op::kMultiply:
        for (; i + step <= n; i += step) {
            const auto va = hn::LoadU(d, a + i);
            const auto product = inWideLanes(va, hn::LoadU(d, b + i),
                                             [](auto x, auto y) { return over255(hn::Mul(x, y)); });
            store(hn::IfThenElse(keep, va, product), d, out + i, stream);
        }
        break;
    case Op::kDivide:
        divideBytes(a, b, out, n, alphaLane, i);
        break;
    }
    for (; i < n; ++i)
        out[i] = isAlphaLane(i, alphaLane) ? a[i] : combine(op, a[i], b[i]);
}

// a * f / 255 with f = 255 k + m per lane; lanes with f <= 0 give 0.
void multiplyBytesByFactor(const uint8_t* a, const std::int32_t (&f)[4], uint8_t* out, size_t n,
                           bool stream, size_t& i) {
    std::uint16_t k[4], m[4];
    for (int lane = 0; lane < 4; ++lane) {
        const std::int32_t factor = std::max(0, f[lane]);
        k[lane] = static_cast<std::uint16_t>(factor / 255);
        m[lane] = static_cast<std::uint16_t>(factor % 255);
    }
    const D8 d;
    const D16 d16;
    const size_t step = hn::Lanes(d);
    const auto vk = repeating(d16, k);
    const auto vm = repeating(d16, m);
    const auto limit = hn::Set(d16, uint16_t{255});
    for (; i + step <= n; i += step) {
        const auto va = hn::LoadU(d, a + i);
        const auto product = inWideLanes(va, va, [&](auto x, auto) {
            return hn::Min(hn::SaturatedAdd(hn::Mul(x, vk), over255(hn::Mul(x, vm))), limit);
        });
        store(product, d, out + i, stream);
    }
}

void divideBytesByFactor(const uint8_t* a, const std::int32_t (&f)[4], uint8_t* out, size_t n,
                         size_t& i) {
    const hn::ScalableTag<int32_t> di;
    const hn::Rebind<uint8_t, decltype(di)> dq;
    const size_t step = hn::Lanes(di);
    const auto divisor = repeating(di, f);
    for (; i + step <= n; i += step) {
        const auto va = hn::PromoteTo(di, hn::LoadU(dq, a + i));
        hn::StoreU(hn::DemoteTo(dq, byteQuotient(di, va, divisor)), dq, out + i);
    }
}

void bytesWithOperand(Op op, const uint8_t* a, const std::int32_t (&k)[4], uint8_t* out, size_t n,
                      bool bypassCache) {
    const D8 d;
    const size_t step = hn::Lanes(d);
    const bool stream = streams(d, out, bypassCache);
    size_t i = 0;
    switch (op) {
    case Op::kAdd:
    case Op::kSubtract: {
        const auto vk = repeating(d, k);
        for (; i + step <= n; i += step) {
            const auto va = hn::LoadU(d, a + i);
            store(op == Op::kAdd ? hn::SaturatedAdd(va, vk) : hn::SaturatedSub(va, vk), d, out + i, stream);
        }
        break;
    }
    case Op::kMultiply:
        multiplyBytesByFactor(a, k, out, n, stream, i);
        break;
    case Op::kDivide:
        divideBytesByFactor(a, k, out, n, i);
        break;
    }
    for (; i < n; ++i)
        out[i] = withOperand(op, a[i], k[i & 3]);
}

// ---- float lanes

typedef hn::ScalableTag<float> DF;

template <class V>
HWY_INLINE V floatOp(Op op, V a, V b) {
    const DF d;
    switch (op) {
    case Op::kAdd: return hn::Add(a, b);
    case Op::kSubtract: return hn::Sub(a, b);
    case Op::kMultiply: return hn::Mul(a, b);
    case Op::kDivide: break;
    }
    return hn::IfThenElse(hn::Eq(b, hn::Zero(d)), hn::Set(d, kZeroDivisionResult), hn::Div(a, b));
}

template <Op kOp>
void combineFloatsAs(const float* a, const float* b, float* out, size_t n, int alphaLane,
                     bool stream, size_t& i) {
    const DF d;
    const size_t step = hn::Lanes(d);
    const auto keep = alphaMask(d, alphaLane);
    for (; i + step <= n; i += step) {
        const auto va = hn::LoadU(d, a + i);
        store(hn::IfThenElse(keep, va, floatOp(kOp, va, hn::LoadU(d, b + i))), d, out + i, stream);
    }
}

void combineFloats(Op op, const float* a, const float* b, float* out, size_t n, int alphaLane,
                   bool bypassCache) {
    const bool stream = streams(DF(), out, bypassCache);
    size_t i = 0;
    switch (op) {
    case Op::kAdd: combineFloatsAs<Op::kAdd>(a, b, out, n, alphaLane, stream, i); break;
    case Op::kSubtract: combineFloatsAs<Op::kSubtract>(a, b, out, n, alphaLane, stream, i); break;
    case Op::kMultiply: combineFloatsAs<Op::kMultiply>(a, b, out, n, alphaLane, stream, i); break;
    case Op::kDivide: combineFloatsAs<Op::kDivide>(a, b, out, n, alphaLane, stream, i); break;
    }
    for (; i < n; ++i)
        out[i] = isAlphaLane(i, alphaLane) ? a[i] : combine(op, a[i], b[i]);
}

template <Op kOp>
void floatsWithOperandAs(const float* a, const float (&c)[4], float* out, size_t n, bool stream,
                         size_t& i) {
    const DF d;
    const size_t step = hn::Lanes(d);
    const auto vc = repeating(d, c);
    for (; i + step <= n; i += step)
        store(floatOp(kOp, hn::LoadU(d, a + i), vc), d, out + i, stream);
}

void floatsWithOperand(Op op, const float* a, const float (&c)[4], float* out, size_t n,
                       bool bypassCache) {
    const bool stream = streams(DF(), out, bypassCache);
    size_t i = 0;
    switch (op) {
    case Op::kAdd: floatsWithOperandAs<Op::kAdd>(a, c, out, n, stream, i); break;
    case Op::kSubtract: floatsWithOperandAs<Op::kSubtract>(a, c, out, n, stream, i); break;
    case Op::kMultiply: floatsWithOperandAs<Op::kMultiply>(a, c, out, n, stream, i); break;
    case Op::kDivide: floatsWithOperandAs<Op::kDivide>(a, c, out, n, stream, i); break;
    }
    for (; i < n; ++i)
        out[i] = withOperand(op, a[i], c[i & 3]);
}

// ---- conversions: a step of Lanes(DF) pixels as channel vectors

typedef hn::RebindToSigned<DF> DI;
typedef hn::Half<DF> DFHalf;
typedef hn::Rebind<double, DFHalf> DD;
typedef hn::Rebind<int32_t, DFHalf> DIHalf;

struct Channels {   // i32 lanes for bytes, f32 lanes for floats
    hn::Vec<DF> alpha, red, green, blue;
};

HWY_INLINE hn::Vec<DI> byteChannel(hn::Vec<DI> word, int shift) {
    const DI di;
    return hn::And(hn::ShiftRightSame(word, shift), hn::Set(di, 0xFF));
}

HWY_INLINE hn::Vec<DI> byteLuminance(hn::Vec<DI> word) {
    const DI di;
    const auto sum = hn::Add(hn::Add(hn::Mul(byteChannel(word, 16), hn::Set(di, 77)),
                                     hn::Mul(byteChannel(word, 8), hn::Set(di, 151))),
                             hn::Mul(byteChannel(word, 0), hn::Set(di, 28)));
    return hn::ShiftRight<8>(sum);
}

HWY_INLINE hn::Vec<DF> toUnit(hn::Vec<DI> bytes) {
    const DF df;
    return hn::Mul(hn::ConvertTo(df, bytes), hn::Set(df, MvPixel::kInv255));
}

// Clamp8(x) of double lanes, as i32.
HWY_INLINE hn::Vec<DIHalf> clamp8(hn::Vec<DD> x) {
    const DD dd;
    const DIHalf dih;
    const auto positive = hn::IfThenElseZero(hn::Gt(x, hn::Zero(dd)), x);
    return hn::DemoteTo(dih, hn::Min(positive, hn::Set(dd, 255.0)));
}

// Clamp8(v * 255) of float lanes, as i32.
HWY_INLINE hn::Vec<DI> floatToByte(hn::Vec<DF> v) {
    const DI di;
    const DFHalf dh;
    const DD dd;
    const auto k = hn::Set(dd, 255.0);
    const auto lo = clamp8(hn::Mul(hn::PromoteTo(dd, hn::LowerHalf(dh, v)), k));
    const auto hi = clamp8(hn::Mul(hn::PromoteTo(dd, hn::UpperHalf(dh, v)), k));
    return hn::Combine(di, hi, lo);
}

// 0.3 R + 0.59 G + 0.11 B in double lanes, for the lower or upper half.
template <bool kUpper>
HWY_INLINE hn::Vec<DD> luminanceHalf(const Channels& c) {
    const DFHalf dh;
    const DD dd;
    auto half = [&](hn::Vec<DF> v) {
        return hn::PromoteTo(dd, kUpper ? hn::UpperHalf(dh, v) : hn::LowerHalf(dh, v));
    };
    return hn::Add(hn::Add(hn::Mul(hn::Set(dd, double{MvPixel::kRedWeight}), half(c.red)),
                           hn::Mul(hn::Set(dd, double{MvPixel::kGreenWeight}), half(c.green))),
                   hn::Mul(hn::Set(dd, double{MvPixel::kBlueWeight}), half(c.blue)));
}

HWY_INLINE hn::Vec<DI> packBytes(hn::Vec<DI> a, hn::Vec<DI> r, hn::Vec<DI> g, hn::Vec<DI> b) {
    return hn::Or(hn::Or(hn::ShiftLeft<24>(a), hn::ShiftLeft<16>(r)), hn::Or(hn::ShiftLeft<8>(g), b));
}

HWY_INLINE hn::Vec<DI> opaqueGrey(hn::Vec<DI> g) {
    const DI di;
    return hn::Or(hn::Mul(g, hn::Set(di, 0x010101)), hn::Set(di, static_cast<int32_t>(0xFF000000u)));
}

// Loads of Lanes(DF) pixels: bytes as i32 (grey, or the packed 0xAARRGGBB
// word), floats as f32.
HWY_INLINE hn::Vec<DI> loadGreyBytes(const bgPix* p) {
    const DI di;
    const hn::Rebind<uint8_t, DI> dq;
    return hn::PromoteTo(di, hn::LoadU(dq, p));
}
HWY_INLINE hn::Vec<DI> loadWords(const bcPix* p) {
    const DI di;
    return hn::LoadU(di, reinterpret_cast<const int32_t*>(p));
}
HWY_INLINE void storeGreyBytes(hn::Vec<DI> g, bgPix* p) {
    const hn::Rebind<uint8_t, DI> dq;
    hn::StoreU(hn::DemoteTo(dq, g), dq, p);
}
HWY_INLINE void storeWords(hn::Vec<DI> w, bcPix* p) {
    const DI di;
    hn::StoreU(w, di, reinterpret_cast<int32_t*>(p));
}
HWY_INLINE void storeColours(hn::Vec<DF> a, hn::Vec<DF> r, hn::Vec<DF> g, hn::Vec<DF> b, fcPix* p) {
    const DF df;
    hn::StoreInterleaved4(a, r, g, b, df, reinterpret_cast<float*>(p));
}
HWY_INLINE Channels loadColours(const fcPix* p) {
    const DF df;
    Channels c;
    hn::LoadInterleaved4(df, reinterpret_cast<const float*>(p), c.alpha, c.red, c.green, c.blue);
    return c;
}

// One vector step of a conversion (a row of the same type is copied whole).
template <class To, class From> struct Step;

template <> struct Step<fgPix, bgPix> {
    static void run(const bgPix* in, fgPix* out) { hn::StoreU(toUnit(loadGreyBytes(in)), DF(), out); }
};
template <> struct Step<bcPix, bgPix> {
    static void run(const bgPix* in, bcPix* out) { storeWords(opaqueGrey(loadGreyBytes(in)), out); }
};
template <> struct Step<fcPix, bgPix> {
    static void run(const bgPix* in, fcPix* out) {
        const auto v = toUnit(loadGreyBytes(in));
        storeColours(hn::Set(DF(), 1.0f), v, v, v, out);
    }
};
template <> struct Step<bgPix, bcPix> {
    static void run(const bcPix* in, bgPix* out) { storeGreyBytes(byteLuminance(loadWords(in)), out); }
};
template <> struct Step<fgPix, bcPix> {
    static void run(const bcPix* in, fgPix* out) {
        hn::StoreU(toUnit(byteLuminance(loadWords(in))), DF(), out);
    }
};
template <> struct Step<fcPix, bcPix> {
    static void run(const bcPix* in, fcPix* out) {
        const auto w = loadWords(in);
        storeColours(toUnit(byteChannel(w, 24)), toUnit(byteChannel(w, 16)),
                     toUnit(byteChannel(w, 8)), toUnit(byteChannel(w, 0)), out);
    }
};
template <> struct Step<bgPix, fgPix> {
    static void run(const fgPix* in, bgPix* out) { storeGreyBytes(floatToByte(hn::LoadU(DF(), in)), out); }
};
template <> struct Step<bcPix, fgPix> {
    static void run(const fgPix* in, bcPix* out) {
        storeWords(opaqueGrey(floatToByte(hn::LoadU(DF(), in))), out);
    }
};
template <> struct Step<fcPix, fgPix> {
    static void run(const fgPix* in, fcPix* out) {
        const auto v = hn::LoadU(DF(), in);
        storeColours(hn::Set(DF(), 1.0f), v, v, v, out);
    }
};
template <> struct Step<bgPix, fcPix> {
    static void run(const fcPix* in, bgPix* out) {
        const Channels c = loadColours(in);
        const DD dd;
        const auto k = hn::Set(dd, 255.0);
        const auto lo = clamp8(hn::Mul(luminanceHalf<false>(c), k));
        const auto hi = clamp8(hn::Mul(luminanceHalf<true>(c), k));
        storeGreyBytes(hn::Combine(DI(), hi, lo), out);
    }
};
template <> struct Step<bcPix, fcPix> {
    static void run(const fcPix* in, bcPix* out) {
        const Channels c = loadColours(in);
        storeWords(packBytes(floatToByte(c.alpha), floatToByte(c.red), floatToByte(c.green),
                             floatToByte(c.blue)),
                   out);
    }
};
template <> struct Step<fgPix, fcPix> {
    static void run(const fcPix* in, fgPix* out) {
        const Channels c = loadColours(in);
        const DFHalf dh;
        hn::StoreU(hn::Combine(DF(), hn::DemoteTo(dh, luminanceHalf<true>(c)),
                               hn::DemoteTo(dh, luminanceHalf<false>(c))),
                   DF(), out);
    }
};

template <class To, class From>
void convertPixels(const From* in, To* out, std::int32_t width) {
    std::int32_t x = 0;
    if constexpr (std::is_same<To, From>::value) {
        std::memcpy(out, in, sizeof(To) * static_cast<size_t>(width));
        return;
    } else {
        const std::int32_t step = static_cast<std::int32_t>(hn::Lanes(DF()));
        for (; x + step <= width; x += step)
            Step<To, From>::run(in + x, out + x);
    }
    for (; x < width; ++x)
        out[x] = MvPixel::convert<To>(in[x]);
}

// ---- statistics: grey values of Lanes(DF) pixels as two double halves

struct GreyHalves {
    hn::Vec<DD> lo, hi;
};

HWY_INLINE GreyHalves halves(hn::Vec<DF> v) {
    const DFHalf dh;
    const DD dd;
    return GreyHalves{hn::PromoteTo(dd, hn::LowerHalf(dh, v)), hn::PromoteTo(dd, hn::UpperHalf(dh, v))};
}

HWY_INLINE GreyHalves greyOf(const bgPix* p) { return halves(hn::ConvertTo(DF(), loadGreyBytes(p))); }
HWY_INLINE GreyHalves greyOf(const bcPix* p) {
    return halves(hn::ConvertTo(DF(), byteLuminance(loadWords(p))));
}
HWY_INLINE GreyHalves greyOf(const fgPix* p) { return halves(hn::LoadU(DF(), p)); }
HWY_INLINE GreyHalves greyOf(const fcPix* p) {
    const Channels c = loadColours(p);
    return GreyHalves{luminanceHalf<false>(c), luminanceHalf<true>(c)};
}

template <class Pix>
GreyTotals greyTotals(const Pix* row, std::int32_t width) {
    const DD dd;
    auto sum = hn::Zero(dd);
    auto low = hn::Set(dd, HUGE_VAL);
    auto high = hn::Set(dd, -HUGE_VAL);
    const std::int32_t step = static_cast<std::int32_t>(hn::Lanes(DF()));
    std::int32_t x = 0;
    for (; x + step <= width; x += step) {
        const GreyHalves g = greyOf(row + x);
        sum = hn::Add(sum, hn::Add(g.lo, g.hi));
        low = hn::Min(low, hn::Min(g.lo, g.hi));
        high = hn::Max(high, hn::Max(g.lo, g.hi));
    }
    GreyTotals totals;
    totals.sum = hn::GetLane(hn::SumOfLanes(dd, sum));
    totals.minimum = hn::GetLane(hn::MinOfLanes(dd, low));
    totals.maximum = hn::GetLane(hn::MaxOfLanes(dd, high));
    for (; x < width; ++x) {
        const double g = MvPixelRules::greyOf(row[x]);
        totals.sum += g;
        totals.minimum = std::min(totals.minimum, g);
        totals.maximum = std::max(totals.maximum, g);
    }
    return totals;
}

template <class Pix>
double greySquaredDeviation(const Pix* row, std::int32_t width, double centre) {
    const DD dd;
    const std::int32_t step = static_cast<std::int32_t>(hn::Lanes(DF()));
    std::int32_t x = 0;
    if constexpr (sizeof(typename Traits<Pix>::Lane) == 1) {
        // Whole numbers below 2^53: the double sums are exact.
        auto sum = hn::Zero(dd);
        auto squares = hn::Zero(dd);
        for (; x + step <= width; x += step) {
            const GreyHalves g = greyOf(row + x);
            sum = hn::Add(sum, hn::Add(g.lo, g.hi));
            squares = hn::Add(squares, hn::Add(hn::Mul(g.lo, g.lo), hn::Mul(g.hi, g.hi)));
        }
        std::uint64_t s = static_cast<std::uint64_t>(hn::GetLane(hn::SumOfLanes(dd, sum)));
        std::uint64_t q = static_cast<std::uint64_t>(hn::GetLane(hn::SumOfLanes(dd, squares)));
        for (; x < width; ++x) {
            const std::uint64_t g = static_cast<std::uint64_t>(MvPixelRules::greyOf(row[x]));
            s += g;
            q += g * g;
        }
        return squaredDeviationFromSums(s, q, width, centre);
    } else {
        const auto c = hn::Set(dd, centre);
        auto squares = hn::Zero(dd);
        for (; x + step <= width; x += step) {
            const GreyHalves g = greyOf(row + x);
            const auto lo = hn::Sub(g.lo, c), hi = hn::Sub(g.hi, c);
            squares = hn::Add(squares, hn::Add(hn::Mul(lo, lo), hn::Mul(hi, hi)));
        }
        double total = hn::GetLane(hn::SumOfLanes(dd, squares));
        for (; x < width; ++x) {
            const double d = MvPixelRules::greyOf(row[x]) - centre;
            total += d * d;
        }
        return total;
    }
}

} // namespace

// ---- the per-target entry points, one per pixel type or conversion

template <class Pix>
void combineLanes(Op op, const Pix* a, const Pix* b, Pix* out, std::int32_t width, bool bypassCache) {
    const size_t n = static_cast<size_t>(width) * Traits<Pix>::kLanes;
    if constexpr (sizeof(typename Traits<Pix>::Lane) == 1)
        combineBytes(op, reinterpret_cast<const uint8_t*>(a), reinterpret_cast<const uint8_t*>(b),
                     reinterpret_cast<uint8_t*>(out), n, Traits<Pix>::kAlphaLane, bypassCache);
    else
        combineFloats(op, reinterpret_cast<const float*>(a), reinterpret_cast<const float*>(b),
                      reinterpret_cast<float*>(out), n, Traits<Pix>::kAlphaLane, bypassCache);
    if (bypassCache)
        hwy::FlushStream();
}

template <class Pix>
void operandLanes(Op op, const Pix* a, const Operand<Pix>& k, Pix* out, std::int32_t width,
                  bool bypassCache) {
    const size_t n = static_cast<size_t>(width) * Traits<Pix>::kLanes;
    typename Operand<Pix>::Value lanes[4];
    for (int i = 0; i < 4; ++i)
        lanes[i] = k.lane[i % Traits<Pix>::kLanes];
    if constexpr (sizeof(typename Traits<Pix>::Lane) == 1)
        bytesWithOperand(op, reinterpret_cast<const uint8_t*>(a), lanes,
                         reinterpret_cast<uint8_t*>(out), n, bypassCache);
    else
        floatsWithOperand(op, reinterpret_cast<const float*>(a), lanes,
                          reinterpret_cast<float*>(out), n, bypassCache);
    if (bypassCache)
        hwy::FlushStream();
}

#define MV_VECTOR_COMBINE combineLanes
#define MV_VECTOR_OPERAND operandLanes
#define MV_VECTOR_TOTALS greyTotals
#define MV_VECTOR_DEVIATION greySquaredDeviation
#define MV_VECTOR_CONVERT convertPixels
#else
template <class Pix>
void combineTwin(Op op, const Pix* a, const Pix* b, Pix* out, std::int32_t width, bool) {
    combineRowScalar(op, a, b, out, width);
}
template <class Pix>
void operandTwin(Op op, const Pix* a, const Operand<Pix>& k, Pix* out, std::int32_t width, bool) {
    operandRowScalar(op, a, k, out, width);
}
#define MV_VECTOR_COMBINE combineTwin
#define MV_VECTOR_OPERAND operandTwin
#define MV_VECTOR_TOTALS greyTotalsRowScalar
#define MV_VECTOR_DEVIATION greySquaredDeviationRowScalar
#define MV_VECTOR_CONVERT convertRowScalar
#endif

#define MV_TARGET_ENTRIES(Pix)                                                                    \
    void Combine_##Pix(Op op, const Pix* a, const Pix* b, Pix* out, std::int32_t width,           \
                       bool bypassCache) {                                                        \
        MV_VECTOR_COMBINE<Pix>(op, a, b, out, width, bypassCache);                                \
    }                                                                                             \
    void Operand_##Pix(Op op, const Pix* a, const Operand<Pix>& k, Pix* out, std::int32_t width,  \
                       bool bypassCache) {                                                        \
        MV_VECTOR_OPERAND<Pix>(op, a, k, out, width, bypassCache);                                \
    }                                                                                             \
    GreyTotals Totals_##Pix(const Pix* row, std::int32_t width) {                                \
        return MV_VECTOR_TOTALS<Pix>(row, width);                                                 \
    }                                                                                             \
    double Deviation_##Pix(const Pix* row, std::int32_t width, double centre) {                  \
        return MV_VECTOR_DEVIATION<Pix>(row, width, centre);                                       \
    }
MV_FOR_EACH_PIXEL(MV_TARGET_ENTRIES)
#undef MV_TARGET_ENTRIES

#define MV_TARGET_CONVERSION(To, From)                                                        \
    void Convert_##To##_##From(const From* in, To* out, std::int32_t width) {                  \
        MV_VECTOR_CONVERT<To, From>(in, out, width);                                           \
    }
MV_FOR_EACH_CONVERSION(MV_TARGET_CONVERSION)
#undef MV_TARGET_CONVERSION
#undef MV_VECTOR_COMBINE
#undef MV_VECTOR_OPERAND
#undef MV_VECTOR_TOTALS
#undef MV_VECTOR_DEVIATION
#undef MV_VECTOR_CONVERT

} // namespace HWY_NAMESPACE
} // namespace MvPixelKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace MvPixelKernels {
namespace {

#define MV_DISPATCH(Pix)                                                                         \
    HWY_EXPORT(Combine_##Pix);                                                                   \
    HWY_EXPORT(Operand_##Pix);                                                                   \
    HWY_EXPORT(Totals_##Pix);                                                                    \
    HWY_EXPORT(Deviation_##Pix);                                                                 \
    void combineFor(Op op, const Pix* a, const Pix* b, Pix* out, std::int32_t width,             \
                    bool bypassCache) {                                                          \
        HWY_DYNAMIC_DISPATCH(Combine_##Pix)(op, a, b, out, width, bypassCache);                  \
    }                                                                                            \
    void operandFor(Op op, const Pix* a, const Operand<Pix>& k, Pix* out, std::int32_t width,    \
                    bool bypassCache) {                                                          \
        HWY_DYNAMIC_DISPATCH(Operand_##Pix)(op, a, k, out, width, bypassCache);                  \
    }                                                                                            \
    GreyTotals totalsFor(const Pix* row, std::int32_t width) {                                   \
        return HWY_DYNAMIC_DISPATCH(Totals_##Pix)(row, width);                                   \
    }                                                                                            \
    double deviationFor(const Pix* row, std::int32_t width, double centre) {                     \
        return HWY_DYNAMIC_DISPATCH(Deviation_##Pix)(row, width, centre);                        \
    }
MV_FOR_EACH_PIXEL(MV_DISPATCH)
#undef MV_DISPATCH

#define MV_DISPATCH_CONVERSION(To, From)                                                         \
    HWY_EXPORT(Convert_##To##_##From);                                                           \
    void convertFor(const From* in, To* out, std::int32_t width) {                               \
        HWY_DYNAMIC_DISPATCH(Convert_##To##_##From)(in, out, width);                             \
    }
MV_FOR_EACH_CONVERSION(MV_DISPATCH_CONVERSION)
#undef MV_DISPATCH_CONVERSION

} // namespace

template <class Pix>
void combineRow(Op op, const Pix* a, const Pix* b, Pix* out, std::int32_t width, bool bypassCache) {
    combineFor(op, a, b, out, width, bypassCache);
}

template <class Pix>
void operandRow(Op op, const Pix* a, const Operand<Pix>& operand, Pix* out, std::int32_t width,
                bool bypassCache) {
    operandFor(op, a, operand, out, width, bypassCache);
}

template <class To, class From>
void convertRow(const From* in, To* out, std::int32_t width) {
    convertFor(in, out, width);
}

template <class Pix>
GreyTotals greyTotalsRow(const Pix* row, std::int32_t width) {
    return totalsFor(row, width);
}

template <class Pix>
double greySquaredDeviationRow(const Pix* row, std::int32_t width, double centre) {
    return deviationFor(row, width, centre);
}

#define MV_INSTANTIATE_FOR_PIXEL(Pix)                                                            \
    template void combineRow<Pix>(Op, const Pix*, const Pix*, Pix*, std::int32_t, bool);         \
    template void operandRow<Pix>(Op, const Pix*, const Operand<Pix>&, Pix*, std::int32_t, bool); \
    template GreyTotals greyTotalsRow<Pix>(const Pix*, std::int32_t);                            \
    template double greySquaredDeviationRow<Pix>(const Pix*, std::int32_t, double);
MV_FOR_EACH_PIXEL(MV_INSTANTIATE_FOR_PIXEL)
#undef MV_INSTANTIATE_FOR_PIXEL

#define MV_INSTANTIATE_CONVERSION(To, From) \
    template void convertRow<To, From>(const From*, To*, std::int32_t);
MV_FOR_EACH_CONVERSION(MV_INSTANTIATE_CONVERSION)
#undef MV_INSTANTIATE_CONVERSION

} // namespace MvPixelKernels
#endif
