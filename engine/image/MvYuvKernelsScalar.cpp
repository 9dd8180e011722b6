#include "image/MvYuvKernels.h"

#include <algorithm>

namespace MvYuvKernels {
namespace {

// BT.601: R = L + 1.402 Cr, G = L - 0.344136 Cb - 0.714136 Cr, B = L + 1.772 Cb
// on full-range samples; video range stretches luma by 255/219 and chroma
// by 255/224 first. Luma weights are scaled by 2^15 (s is shifted by 7 and
// wants 1/64 steps), chroma weights by 2^14. Weights of 2^15 and over do
// not fit 16 bits: half of s (2^15 exactly) and a quarter of u (2^14) are
// added apart from the luma and blue weights.
const Weights kVideo = {16, 38155 - 32768, 26149, 6419, 13320, 33050 - 16384};
const Weights kFull = {0, 0, 22970, 5638, 11700, 29032 - 16384};

std::int16_t saturated(std::int32_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -32768, 32767));
}

std::int16_t mulHigh(std::int16_t a, std::int16_t b) {
    return static_cast<std::int16_t>((std::int32_t(a) * b) >> 16);
}

std::uint8_t channel(std::int16_t sum) {
    return static_cast<std::uint8_t>(std::clamp(saturated(std::int32_t(sum) + 32) >> 6, 0, 255));
}

} // namespace

const Weights& weightsFor(Range range) { return range == Range::kFull ? kFull : kVideo; }

void yuv420TailToBgra(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                      std::uint8_t* bgra, std::int32_t from, std::int32_t width,
                      const Weights& w) {
    for (std::int32_t x = from; x < width; ++x) {
        const auto ys = static_cast<std::int16_t>((y[x] - w.offset) * 128);
        const auto us = static_cast<std::int16_t>((u[x / 2] - 128) * 256);
        const auto vs = static_cast<std::int16_t>((v[x / 2] - 128) * 256);
        const auto luma = static_cast<std::int16_t>(mulHigh(ys, w.luma) + ys / 2);
        const std::int16_t red = saturated(luma + mulHigh(vs, w.redV));
        const std::int16_t green =
            saturated(saturated(luma - mulHigh(us, w.greenU)) - mulHigh(vs, w.greenV));
        const std::int16_t blue = saturated(saturated(luma + mulHigh(us, w.blueU)) + us / 4);
        std::uint8_t* pixel = bgra + 4 * static_cast<std::ptrdiff_t>(x);
        pixel[0] = channel(blue);
        pixel[1] = channel(green);
        pixel[2] = channel(red);
        pixel[3] = 255;
    }
}

void yuv420RowToBgraScalar(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                           std::uint8_t* bgra, std::int32_t width, Range range) {
    yuv420TailToBgra(y, u, v, bgra, 0, width, weightsFor(range));
}

} // namespace MvYuvKernels
