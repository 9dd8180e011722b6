// Operations on ranges of pixel values: replacing the pixels inside or
// outside a range, stretching a range to the full scale, and scaling one
// pixel.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvPixelConvert.h"
#include "morvane/MvException.h"

#include <cstdint>
#include <type_traits>

namespace {

template <class Pix>
constexpr bool isByte() {
    return sizeof(typename MvPixelKernels::Traits<Pix>::Lane) == 1;
}

MvColor colourOf(MvValue* value) {
    MvValueHolder colour;
    value->Coerce(colour, MvTypeColor);
    return colour->GetColor();
}

// Applies fn to each channel that carries grey or colour (not alpha) of
// three pixels of the same type.
template <class Fn>
void eachChannel(bgPix& p, bgPix lo, bgPix hi, Fn fn) { fn(p, lo, hi); }
template <class Fn>
void eachChannel(fgPix& p, fgPix lo, fgPix hi, Fn fn) { fn(p, lo, hi); }
template <class Pix, class Fn>
void eachChannel(Pix& p, const Pix& lo, const Pix& hi, Fn fn) {
    fn(p.red, lo.red, hi.red);
    fn(p.green, lo.green, hi.green);
    fn(p.blue, lo.blue, hi.blue);
}

template <class Pix>
bool isInside(Pix p, const Pix& lo, const Pix& hi) {
    bool all = true;
    eachChannel(p, lo, hi, [&](auto v, auto l, auto h) { all = all && l <= v && v <= h; });
    return all;
}

// One channel stretched from lo .. hi to the full scale.
std::uint8_t stretched(std::uint8_t p, std::uint8_t lo, std::uint8_t hi) {
    const int range = hi > lo ? hi - lo : 0;
    if (p < lo)
        return 0;
    if (p > hi || range == 0)
        return 255;
    const int v = (p - lo) * 255 / range;
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

float stretched(float p, float lo, float hi) {
    const float range = hi - lo > 0 ? hi - lo : 0.0f;
    if (p < lo)
        return 0.0f;
    if (p > hi || range == 0)
        return 1.0f;
    return (p - lo) / range;
}

template <class Pix>
void normalize(MvPixelArray<Pix>& pixels, const Pix& lo, const Pix& hi) {
    for (std::int32_t y = 0; y < pixels.height(); ++y) {
        Pix* row = pixels.row(y);
        for (std::int32_t x = 0; x < pixels.width(); ++x)
            eachChannel(row[x], lo, hi, [](auto& v, auto l, auto h) { v = stretched(v, l, h); });
    }
}

std::uint8_t scaled(std::uint8_t p, double factor) { return MvPixel::clamp8(p * factor); }
float scaled(float p, double factor) { return static_cast<float>(p * factor); }

// A copy of pixels with replacement wherever a pixel lies inside the range
// (or outside it, when inside is false).
template <class Pix>
MvPixelArray<Pix> replacedWhere(const MvPixelArray<Pix>& pixels, bool inside, const Pix& lo,
                                const Pix& hi, const Pix& with) {
    MvPixelArray<Pix> result(pixels);
    for (std::int32_t y = 0; y < result.height(); ++y) {
        Pix* row = result.row(y);
        for (std::int32_t x = 0; x < result.width(); ++x)
            if (isInside(row[x], lo, hi) == inside)
                row[x] = with;
    }
    return result;
}

} // namespace

template <class Pix>
MvValue* MvNewImageValue<Pix>::ReplaceInside(MvValue* minimum, MvValue* maximum,
                                             MvValue* replacement) {
    const Pix lo = pixelOf(colourOf(minimum)), hi = pixelOf(colourOf(maximum));
    const Pix with = pixelOf(colourOf(replacement));
    return MvMakeImage(replacedWhere(pixels, true, lo, hi, with));
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::ReplaceOutside(MvValue* minimum, MvValue* maximum,
                                              MvValue* replacement) {
    const Pix lo = pixelOf(colourOf(minimum)), hi = pixelOf(colourOf(maximum));
    const Pix with = pixelOf(colourOf(replacement));
    return MvMakeImage(replacedWhere(pixels, false, lo, hi, with));
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::NormalizedCopy(MvValue* minimum, MvValue* maximum) {
    MvPixelArray<Pix> result(pixels);
    normalize(result, pixelOf(colourOf(minimum)), pixelOf(colourOf(maximum)));
    return MvMakeImage(std::move(result));
}

template <class Pix>
void MvNewImageValue<Pix>::NormalizeInPlace(MvValue* minimum, MvValue* maximum) {
    normalize(pixels, pixelOf(colourOf(minimum)), pixelOf(colourOf(maximum)));
}

template <class Pix>
void MvNewImageValue<Pix>::MultiplyPixelByNumber(std::int32_t x, std::int32_t y, double factor) {
    Pix* row = pixels.checkedRow(y);
    MvCheckIndex(x, 0, static_cast<long>(pixels.width()) - 1);
    Pix& p = row[x];
    eachChannel(p, p, p, [&](auto& v, auto, auto) { v = scaled(v, factor); });
}

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_IMAGE_CLASS)
