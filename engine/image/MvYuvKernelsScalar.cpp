#include "image/MvYuvKernels.h"

#include <algorithm>
#include <cstddef>

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

namespace {

// BT.601 in 1/256 steps: video range puts luma in 16..235 and chroma in
// 16..240, full range (JPEG) uses all of 0..255.
const EncodeWeights kEncodeVideo = {66, 129, 25, 16, -38, -74, 112, 112, -94, -18};
const EncodeWeights kEncodeFull = {77, 150, 29, 0, -43, -85, 128, 128, -107, -21};

std::uint8_t lumaOf(const std::uint8_t* pixel, const EncodeWeights& w) {
    const unsigned sum = unsigned(w.yr) * pixel[2] + unsigned(w.yg) * pixel[1] +
                         unsigned(w.yb) * pixel[0] + 128;
    return static_cast<std::uint8_t>((sum >> 8) + unsigned(w.offset));
}

std::uint8_t chromaOf(int r, int g, int b, std::int16_t wr, std::int16_t wg, std::int16_t wb) {
    const std::int16_t sum = saturated(saturated(wr * r + wg * g + wb * b) + 128);
    return static_cast<std::uint8_t>(std::clamp((sum >> 8) + 128, 0, 255));
}

} // namespace

const EncodeWeights& encodeWeightsFor(Range range) {
    return range == Range::kFull ? kEncodeFull : kEncodeVideo;
}

void bgraTailToYuv420(const std::uint8_t* top, const std::uint8_t* bottom, std::uint8_t* yTop,
                      std::uint8_t* yBottom, std::uint8_t* u, std::uint8_t* v,
                      std::int32_t from, std::int32_t width, const EncodeWeights& w) {
    for (std::int32_t x = from; x + 1 < width; x += 2) {
        const std::uint8_t* a = top + 4 * static_cast<std::ptrdiff_t>(x);
        const std::uint8_t* b = bottom + 4 * static_cast<std::ptrdiff_t>(x);
        yTop[x] = lumaOf(a, w);
        yTop[x + 1] = lumaOf(a + 4, w);
        yBottom[x] = lumaOf(b, w);
        yBottom[x + 1] = lumaOf(b + 4, w);
        int mean[3];
        for (int c = 0; c < 3; ++c)
            mean[c] = (a[c] + a[c + 4] + b[c] + b[c + 4] + 2) >> 2;
        u[x / 2] = chromaOf(mean[2], mean[1], mean[0], w.ur, w.ug, w.ub);
        v[x / 2] = chromaOf(mean[2], mean[1], mean[0], w.vr, w.vg, w.vb);
    }
}

void bgraRowsToYuv420Scalar(const std::uint8_t* top, const std::uint8_t* bottom,
                            std::uint8_t* yTop, std::uint8_t* yBottom, std::uint8_t* u,
                            std::uint8_t* v, std::int32_t width, Range range) {
    bgraTailToYuv420(top, bottom, yTop, yBottom, u, v, 0, width, encodeWeightsFor(range));
}

} // namespace MvYuvKernels
