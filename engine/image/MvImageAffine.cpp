// The affine transform of an image into a destination image: every
// destination pixel of a rectangle is mapped back into the source and
// blended bilinearly from the four source pixels around that point.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvPixelConvert.h"
#include "morvane/MvException.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Byte channels blend in byte arithmetic: products truncated and clamped,
// sums saturated.
std::uint8_t product(std::uint8_t p, float f) { return MvPixel::clamp8(static_cast<double>(p * f)); }
std::uint8_t sum(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(std::min(255, a + b)); }
float product(float p, float f) { return p * f; }
float sum(float a, float b) { return a + b; }

template <class T>
T bilinear(T p00, T p10, T p01, T p11, float fu, float fv) {
    const T top = sum(product(p00, 1.0f - fu), product(p10, fu));
    const T bottom = sum(product(p01, 1.0f - fu), product(p11, fu));
    return sum(product(top, 1.0f - fv), product(bottom, fv));
}

bgPix blendPixels(bgPix a, bgPix b, bgPix c, bgPix d, float fu, float fv) {
    return bilinear(a, b, c, d, fu, fv);
}
fgPix blendPixels(fgPix a, fgPix b, fgPix c, fgPix d, float fu, float fv) {
    return bilinear(a, b, c, d, fu, fv);
}
template <class Pix>
Pix blendPixels(const Pix& a, const Pix& b, const Pix& c, const Pix& d, float fu, float fv) {
    Pix p;
    p.alpha = bilinear(a.alpha, b.alpha, c.alpha, d.alpha, fu, fv);
    p.red = bilinear(a.red, b.red, c.red, d.red, fu, fv);
    p.green = bilinear(a.green, b.green, c.green, d.green, fu, fv);
    p.blue = bilinear(a.blue, b.blue, c.blue, d.blue, fu, fv);
    return p;
}

// The source window: pixels outside it (or outside the source) read as the
// background.
template <class Pix>
struct Window {
    const MvPixelArray<Pix>& source;
    std::int32_t left, top, right, bottom;
    Pix background;

    Pix at(std::int64_t x, std::int64_t y) const {
        if (x < left || x >= right || y < top || y >= bottom || x < 0 || y < 0 ||
            x >= source.width() || y >= source.height())
            return background;
        return source.at(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
    }
};

std::int64_t truncated(float v) {
    if (!(v == v))
        return 0;
    return static_cast<std::int64_t>(std::max(-1e15f, std::min(1e15f, v)));
}

} // namespace

template <class Pix>
void MvNewImageValue<Pix>::TransformAffine(Mv2DValue* destination, double a, double b, double c,
                                           double d, std::int32_t x0, std::int32_t y0,
                                           std::int32_t x1, std::int32_t y1, std::int32_t sx0,
                                           std::int32_t sy0, std::int32_t sx1, std::int32_t sy1,
                                           const MvColor& background) {
    if (!destination || destination->GetType() != GetType())
        MvRaise("The affine transform needs a destination of the source's kind.");
    MvPixelArray<Pix>& out = static_cast<MvNewImageValue*>(destination)->pixels;
    const Pix fill = pixelOf(background);
    const double det = a * d - b * c;
    if (det == 0) {
        for (std::int32_t y = std::max(y0, 0); y < std::min(y1, out.height()); ++y)
            for (std::int32_t x = std::max(x0, 0); x < std::min(x1, out.width()); ++x)
                out.at(x, y) = fill;
        return;
    }
    // The destination may be the source itself: read from a copy then.
    const MvPixelArray<Pix> copy = destination == this ? pixels : MvPixelArray<Pix>();
    const Window<Pix> window{destination == this ? copy : pixels, sx0, sy0, sx1, sy1, fill};
    const float fa = static_cast<float>(a), fb = static_cast<float>(b);
    const float fc = static_cast<float>(c), fd = static_cast<float>(d);
    const float fdet = static_cast<float>(det);
    // Columns past the destination's width are not written.
    const std::int64_t columns =
        std::max<std::int64_t>(0, std::min<std::int64_t>(std::int64_t(x1) - x0, out.width()));
    for (std::int64_t y = y0; y < y1; ++y) {
        MvCheckIndex(static_cast<long>(y - y0), 0, static_cast<long>(out.height()) - 1);
        Pix* row = out.row(static_cast<std::int32_t>(y - y0));
        for (std::int64_t i = 0; i < columns; ++i) {
            const float x = static_cast<float>(x0 + i);
            const float fy = static_cast<float>(y);
            const float u = (fd * x - fb * fy) / fdet;
            const float v = (fa * fy - fc * x) / fdet;
            const std::int64_t iu = truncated(u), iv = truncated(v);
            const float fu = u - static_cast<float>(iu), fv = v - static_cast<float>(iv);
            row[i] = blendPixels(window.at(iu, iv), window.at(iu + 1, iv), window.at(iu, iv + 1),
                                 window.at(iu + 1, iv + 1), fu, fv);
        }
    }
}

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_IMAGE_CLASS)
