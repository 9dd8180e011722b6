// Comparisons of pixels: the luminance of one pixel, the darkest and
// brightest pixel, the pixel-wise minimum and maximum of two images and the
// thresholded difference of two images.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvPixelKernelRules.h"
#include "morvane/MvException.h"
#include "values/MvNumberValue.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace {

template <class Pix>
constexpr bool isByte() {
    return sizeof(typename MvPixelKernels::Traits<Pix>::Lane) == 1;
}

double luminanceOf(bgPix g) { return g / 255.0; }
double luminanceOf(const bcPix& p) {
    return 0.11 * p.blue / 255.0 + 0.59 * p.green / 255.0 + 0.3 * p.red / 255.0;
}
double luminanceOf(fgPix v) { return v; }
double luminanceOf(const fcPix& p) {
    return static_cast<double>(0.11f * p.blue + 0.59f * p.green + 0.3f * p.red);
}

// The sub-pixel offset of an extreme at value c between l and r, within
// -0.999 .. 0.999; a 0/0 (three equal values) gives -0.999.
double subPixelOffset(double l, double c, double r) {
    const double offset = (l - r) / (((r + l) * 0.5 - c) * 4.0);
    if (offset >= 1.0)
        return 0.999;
    if (!(offset > -1.0))
        return -0.999;
    return offset;
}

double refined(double position, double offset, double limit) {
    const double p = std::min(position + offset, limit);
    return p < 0 ? 0 : p;
}

template <class Pix>
void extremePixel(const MvPixelArray<Pix>& pixels, bool brightest, double& luminance, double& x,
                  double& y, bool subPixel) {
    luminance = x = y = 0;
    if (pixels.empty())
        return;
    std::int32_t bestX = 0, bestY = 0;
    double best = MvPixelRules::greyOf(pixels.at(0, 0));
    for (std::int32_t row = 0; row < pixels.height(); ++row) {
        const Pix* p = pixels.row(row);
        for (std::int32_t column = 0; column < pixels.width(); ++column) {
            const double g = MvPixelRules::greyOf(p[column]);
            if (brightest ? g > best : g < best) {
                best = g;
                bestX = column;
                bestY = row;
            }
        }
    }
    luminance = isByte<Pix>() ? best / 255.0 : best;
    x = bestX;
    y = bestY;
    if (!subPixel)
        return;
    const double c = luminanceOf(pixels.at(bestX, bestY));
    const double left = bestX > 0 ? luminanceOf(pixels.at(bestX - 1, bestY)) : c;
    const double right = bestX + 1 < pixels.width() ? luminanceOf(pixels.at(bestX + 1, bestY)) : c;
    const double above = bestY > 0 ? luminanceOf(pixels.at(bestX, bestY - 1)) : c;
    const double below = bestY + 1 < pixels.height() ? luminanceOf(pixels.at(bestX, bestY + 1)) : c;
    x = refined(bestX, subPixelOffset(left, c, right), pixels.width());
    y = refined(bestY, subPixelOffset(above, c, below), pixels.height());
}

template <class T>
T lesser(T a, T b) { return b < a ? b : a; }
template <class T>
T greater(T a, T b) { return a < b ? b : a; }

template <class Pix>
Pix pick(const Pix& a, const Pix& b, bool maximum) {
    if constexpr (MvPixelKernels::Traits<Pix>::kLanes == 1) {
        return maximum ? greater(a, b) : lesser(a, b);
    } else {
        Pix p;
        p.alpha = maximum ? greater(a.alpha, b.alpha) : lesser(a.alpha, b.alpha);
        p.red = maximum ? greater(a.red, b.red) : lesser(a.red, b.red);
        p.green = maximum ? greater(a.green, b.green) : lesser(a.green, b.green);
        p.blue = maximum ? greater(a.blue, b.blue) : lesser(a.blue, b.blue);
        return p;
    }
}

// A copy of mine with the common area of the two images replaced by the
// pixel-wise extreme; the rest keeps mine's pixels.
template <class Pix>
MvPixelArray<Pix> pixelwise(const MvPixelArray<Pix>& mine, const MvPixelArray<Pix>& other,
                            bool maximum) {
    MvPixelArray<Pix> result(mine);
    const std::int32_t width = std::min(mine.width(), other.width());
    const std::int32_t height = std::min(mine.height(), other.height());
    for (std::int32_t y = 0; y < height; ++y) {
        Pix* out = result.row(y);
        const Pix* b = other.row(y);
        for (std::int32_t x = 0; x < width; ++x)
            out[x] = pick(out[x], b[x], maximum);
    }
    return result;
}

template <class Pix>
const MvPixelArray<Pix>& sameKind(MvValue* self, MvValue* other) {
    if (!other || other->GetType() != self->GetType())
        MvRaise("Both parameters must have the same type.");
    return static_cast<MvNewImageValue<Pix>*>(other)->pixels;
}

} // namespace

template <class Pix>
double MvNewImageValue<Pix>::GetPixelLuminance(std::int32_t x, std::int32_t y) {
    MvCheckIndex(x, 0, static_cast<long>(pixels.width()) - 1);
    MvCheckIndex(y, 0, static_cast<long>(pixels.height()) - 1);
    return luminanceOf(pixels.at(x, y));
}

template <class Pix>
void MvNewImageValue<Pix>::BrightestPixel(double& luminance, double& x, double& y, bool subPixel) {
    extremePixel(pixels, true, luminance, x, y, subPixel);
}

template <class Pix>
void MvNewImageValue<Pix>::DarkestPixel(double& luminance, double& x, double& y, bool subPixel) {
    extremePixel(pixels, false, luminance, x, y, subPixel);
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::BinaryMin(MvValue* other) {
    return MvMakeImage(pixelwise(pixels, sameKind<Pix>(this, other), false));
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::BinaryMax(MvValue* other) {
    return MvMakeImage(pixelwise(pixels, sameKind<Pix>(this, other), true));
}

// Colour pixels are compared by their grey values. An empty common area
// has no difference.
template <class Pix>
MvValue* MvNewImageValue<Pix>::Difference(MvValue* other, double threshold, bool useThreshold) {
    const MvPixelArray<Pix>& b = sameKind<Pix>(this, other);
    if (!useThreshold)
        threshold = 0;
    const double limit = isByte<Pix>() ? MvPixel::clamp8(threshold * 255.0) : threshold;
    const std::int32_t width = std::min(pixels.width(), b.width());
    const std::int32_t height = std::min(pixels.height(), b.height());
    if (width <= 0 || height <= 0)
        return new MvNumberValue(0);
    double sum = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        const Pix* p = pixels.row(y);
        const Pix* q = b.row(y);
        for (std::int32_t x = 0; x < width; ++x) {
            const double d = std::fabs(MvPixelRules::greyOf(p[x]) - MvPixelRules::greyOf(q[x]));
            if (d > limit)
                sum += d;
        }
    }
    if (isByte<Pix>())
        sum /= 255.0;
    return new MvNumberValue(sum / (static_cast<double>(width) * height));
}

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_IMAGE_CLASS)
