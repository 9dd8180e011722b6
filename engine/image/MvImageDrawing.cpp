// Lines, rectangles and circles drawn into an image in place.
//
// Shapes are built from horizontal and vertical spans; every pixel of a
// span is set by the blend of the drawing mode's value with the old pixel,
// by the weight. Byte canvases blend in integer arithmetic: a weight of 1.0
// becomes the byte 254 on grey frames (the colour weights sum to just under
// 1), so white drawn with weight 1 on black gives 254 x 254 / 255 = 253, and
// only a weight at or above 255 replaces the pixel exactly.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvPixelConvert.h"
#include "morvane/MvException.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

namespace {

enum { kCopy = 1, kXor = 2, kOr = 3 };

// Truncation toward zero, held to a range no canvas reaches.
std::int64_t truncated(double v) {
    if (!(v == v))
        return 0;
    return static_cast<std::int64_t>(std::max(-1e15, std::min(1e15, v)));
}

std::int64_t rounded(double v) { return truncated(v + 0.5); }

std::uint8_t blend(std::uint8_t p, std::uint8_t c, std::uint8_t w, int mode) {
    int v;
    switch (mode) {
    case kCopy: v = c; break;
    case kXor: v = p ^ c; break;
    case kOr: v = std::max(p, c); break;
    default: MvRaise("Illegal mode");
    }
    if (w == 255)
        return static_cast<std::uint8_t>(v);
    const int sum = std::min(255, v * w / 255) + std::min(255, p * (255 - w) / 255);
    return static_cast<std::uint8_t>(std::min(255, sum));
}

float blend(float p, float c, float w, int mode) {
    float v;
    switch (mode) {
    case kCopy: v = c; break;
    case kXor: v = c - p; break;
    case kOr: v = std::max(p, c); break;
    default: MvRaise("Illegal mode");
    }
    return v * w + p * (1.0f - w);
}

// The pixel setter of one canvas: colour and weight in its pixel type.
template <class Pix>
class Pen {
public:
    Pen(MvPixelArray<Pix>& canvas, const Pix& colour, const Pix& weight, int mode)
        : canvas_(canvas), colour_(colour), weight_(weight), mode_(mode) {}

    void set(std::int64_t x, std::int64_t y) {
        if (x < 0 || y < 0 || x >= canvas_.width() || y >= canvas_.height())
            return;
        Pix& p = canvas_.at(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
        if constexpr (MvPixelKernels::Traits<Pix>::kLanes == 1) {
            p = blend(p, colour_, weight_, mode_);
        } else {
            p.red = blend(p.red, colour_.red, weight_.red, mode_);
            p.green = blend(p.green, colour_.green, weight_.green, mode_);
            p.blue = blend(p.blue, colour_.blue, weight_.blue, mode_);
        }
    }

    // Row y from start to end inclusive; nothing unless start < end.
    void horizontal(std::int64_t y, std::int64_t start, std::int64_t end) {
        if (start >= end || y < 0 || y >= canvas_.height())
            return;
        for (std::int64_t x = std::max<std::int64_t>(start, 0);
             x <= std::min<std::int64_t>(end, canvas_.width() - 1); ++x)
            set(x, y);
    }

    void vertical(std::int64_t x, std::int64_t start, std::int64_t end) {
        if (start >= end || x < 0 || x >= canvas_.width())
            return;
        for (std::int64_t y = std::max<std::int64_t>(start, 0);
             y <= std::min<std::int64_t>(end, canvas_.height() - 1); ++y)
            set(x, y);
    }

    std::int32_t width() const { return canvas_.width(); }
    std::int32_t height() const { return canvas_.height(); }

private:
    MvPixelArray<Pix>& canvas_;
    Pix colour_;
    Pix weight_;
    int mode_;
};

// Steps the axis of the larger extent and computes the other from the slope.
template <class Pix>
void line(Pen<Pix>& pen, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    if (dx == 0 && dy == 0)
        return;
    const bool alongX = std::fabs(dx) >= std::fabs(dy);
    const double a1 = alongX ? x1 : y1, a2 = alongX ? x2 : y2;
    const double b1 = alongX ? y1 : x1;
    const double slope = alongX ? dy / dx : dx / dy;
    const std::int64_t limit = (alongX ? pen.width() : pen.height()) - 1;
    const std::int64_t first = std::max<std::int64_t>(truncated(std::min(a1, a2)), 0);
    const std::int64_t last = std::min<std::int64_t>(truncated(std::max(a1, a2)), limit);
    for (std::int64_t a = first; a <= last; ++a) {
        const std::int64_t b = truncated(b1 + (static_cast<double>(a) - a1) * slope);
        if (alongX)
            pen.set(a, b);
        else
            pen.set(b, a);
    }
}

template <class Pix>
void rectangle(Pen<Pix>& pen, double x, double y, double width, double height, bool fill) {
    const std::int64_t xs = rounded(x), xe = rounded(x + width);
    const double y0 = std::min(y, y + height), y1 = std::max(y, y + height);
    const std::int64_t top = rounded(y0), bottom = rounded(y1);
    if (y1 > y0)
        pen.horizontal(top, xs, xe);
    if (y0 + 1 < y1)
        pen.horizontal(bottom, xs, xe);
    for (std::int64_t row = std::max<std::int64_t>(top + 1, 0);
         row < std::min<std::int64_t>(bottom, pen.height()); ++row) {
        if (fill) {
            pen.horizontal(row, xs, xe);
        } else if (xs < xe) {
            pen.set(xs, row);
            pen.set(xe, row);
        }
    }
}

// The half chord at distance t from the centre (o) and the inner one of the
// ring one pixel inside (i, 0 where that ring has no chord).
struct Chord {
    double outer;
    double inner;
};

bool chordAt(double r, double t, Chord& chord) {
    if (r * r - t * t < 0)
        return false;
    chord.outer = std::sqrt(r * r - t * t);
    const double in = (r - 1) * (r - 1) - t * t;
    chord.inner = in > 0 ? std::sqrt(in) : 0;
    return true;
}

// The middle band of rows by horizontal spans, the caps above and below it
// by vertical spans.
template <class Pix>
void circle(Pen<Pix>& pen, double x, double y, double radius, bool fill) {
    const double r = std::fabs(radius);
    const double d = r / std::sqrt(2.0);
    const std::int64_t r0 = rounded(y - d), r1 = rounded(y + d);
    Chord chord;
    for (std::int64_t yy = std::max<std::int64_t>(r0, -1);
         yy < std::min<std::int64_t>(r1, pen.height()); ++yy) {
        if (!chordAt(r, static_cast<double>(yy) - y, chord))
            continue;
        if (fill) {
            pen.horizontal(yy, rounded(x - chord.outer), rounded(x + chord.outer));
        } else {
            pen.horizontal(yy, rounded(x - chord.outer), rounded(x - chord.inner));
            pen.horizontal(yy, truncated(x + 0.5 + chord.inner), truncated(x + 0.5 + chord.outer));
        }
    }
    const std::int64_t c1 = truncated(x + d + 1.5);
    for (std::int64_t xx = std::max<std::int64_t>(rounded(x - d - 1), -1);
         xx < std::min<std::int64_t>(c1, pen.width()); ++xx) {
        if (!chordAt(r, static_cast<double>(xx) - x, chord))
            continue;
        if (fill) {
            pen.vertical(xx, rounded(y - chord.outer), r0 - 1);
            pen.vertical(xx, r1, rounded(y + chord.outer));
        } else {
            pen.vertical(xx, std::min(rounded(y - chord.outer), r0),
                         std::min(rounded(y - chord.inner), r0));
            pen.vertical(xx, std::max(truncated(y + 0.5 + chord.inner), r1),
                         std::max(truncated(y + 0.5 + chord.outer), r1));
        }
    }
}

// The weight in the canvas's pixel type. A grey float canvas takes an even
// weight as it is, so that a weight of 1 replaces the pixel exactly.
template <class Pix>
Pix weightOf(const MvColor& weight, Pix converted) {
    if constexpr (std::is_same<Pix, fgPix>::value) {
        if (weight.red == weight.green && weight.green == weight.blue)
            return static_cast<float>(weight.red);
    }
    return converted;
}

} // namespace

template <class Pix>
void MvNewImageValue<Pix>::DrawLine(double x1, double y1, double x2, double y2,
                                    const MvDrawStyle& style) {
    Pen<Pix> pen(pixels, pixelOf(style.colour), weightOf(style.weight, pixelOf(style.weight)), style.mode);
    line(pen, x1, y1, x2, y2);
}

template <class Pix>
void MvNewImageValue<Pix>::DrawRectangle(double x, double y, double width, double height,
                                         const MvDrawStyle& style) {
    Pen<Pix> pen(pixels, pixelOf(style.colour), weightOf(style.weight, pixelOf(style.weight)), style.mode);
    rectangle(pen, x, y, width, height, style.fill);
}

template <class Pix>
void MvNewImageValue<Pix>::DrawCircle(double x, double y, double radius,
                                      const MvDrawStyle& style) {
    Pen<Pix> pen(pixels, pixelOf(style.colour), weightOf(style.weight, pixelOf(style.weight)), style.mode);
    circle(pen, x, y, radius, style.fill);
}

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_IMAGE_CLASS)
