// Indexing of images: image[x, y] is a pixel, image[{x1, y1}, {x2, y2}] a
// rectangle, image[y] a row of grey values. Setting a pixel or a rectangle
// to an image pastes it, growing the target as needed.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvPixelConvert.h"
#include "morvane/MvException.h"
#include "values/MvColorValue.h"
#include "values/MvVectorValue.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <type_traits>

namespace {

// A rectangle of an image: columns left .. right - 1, rows top .. bottom - 1.
struct Rectangle {
    long top, left, bottom, right;
    long width() const { return right - left; }
    long height() const { return bottom - top; }
};

// An index read from a number: truncated toward zero and kept within the
// range of a long, so that the index messages show what the script gave.
long indexOf(double number) {
    const double v = std::trunc(number);
    if (!(v > double(INT_MIN)))
        return INT_MIN;
    if (!(v < double(INT_MAX)))
        return INT_MAX;
    return static_cast<long>(v);
}

long indexOf(MvValue* value) { return indexOf(value->GetNumber()); }

bool isPoint(MvValue* value) {
    return value->GetType() == MvTypeVector && value->GetVector()->size() >= 2;
}

long coordinate(MvValue* point, std::size_t which) {
    return indexOf((*point->GetVector())[which]);
}

// The rectangle between two corner vectors {x1, y1} and {x2, y2}.
Rectangle checkedRectangle(MvValue* first, MvValue* second) {
    const Rectangle r{coordinate(first, 1), coordinate(first, 0), coordinate(second, 1),
                      coordinate(second, 0)};
    if (r.left > r.right)
        MvRaise("Invalid rectangle (left > right)");
    if (r.top > r.bottom)
        MvRaise("Invalid rectangle (top > bottom)");
    if (r.left == r.right || r.top == r.bottom)
        MvRaise("Invalid rectangle: It has zero area.");
    return r;
}

// The largest size an image grows to by pasting or filling.
constexpr long kMaxSide = 1L << 20;

std::int32_t grownSide(long current, long needed) {
    const long side = std::max(current, needed);
    if (side > kMaxSide)
        throw new MvMemoryException("During allocation of image data.");
    return static_cast<std::int32_t>(side);
}

template <class Pix>
MvColor colourOf(const Pix& pixel) {
    const fcPix p = MvPixel::convert<fcPix>(pixel);
    return MvColor{p.red, p.green, p.blue};
}

template <class Pix>
double greyOf(const Pix& pixel) {
    return MvPixel::convert<fgPix>(pixel);
}

// The grey value of a byte grey pixel on the 0..1 scale is the byte / 255.
template <>
double greyOf(const bgPix& pixel) {
    return pixel / 255.0;
}

template <>
double greyOf(const bcPix& pixel) {
    return MvPixel::byteLuminance(pixel.red, pixel.green, pixel.blue) / 255.0;
}

template <>
MvColor colourOf(const bgPix& pixel) {
    const double g = pixel / 255.0;
    return MvColor{g, g, g};
}

template <>
MvColor colourOf(const bcPix& pixel) {
    return MvColor{pixel.red / 255.0, pixel.green / 255.0, pixel.blue / 255.0};
}

// A row of another image converted into the target's pixel type.
template <class To, class From>
void copyConverted(const From* from, To* to, std::int32_t width) {
    if constexpr (std::is_same<To, From>::value)
        std::copy(from, from + width, to);
    else
        MvPixelKernels::convertRow(from, to, width);
}

bool isColourLike(MvTypeEnum type) {
    return type == MvTypeNumber || type == MvTypeVector || type == MvTypeColor;
}

MvColor colourFrom(MvValue* value) {
    MvValueHolder colour;
    value->Coerce(colour, MvTypeColor);
    return colour->GetColor();
}

} // namespace

template <class Pix>
MvValueHolder MvNewImageValue<Pix>::GetElement2(MvValue* i, MvValue* j) {
    if (i->GetType() == MvTypeNumber && j->GetType() == MvTypeNumber) {
        const long x = indexOf(i);
        const long y = indexOf(j);
        MvCheckIndex(x, 0, long(pixels.width()) - 1);
        MvCheckIndex(y, 0, long(pixels.height()) - 1);
        return MvValueHolder(new MvColorValue(colourOf(pixels.at(x, y))));
    }
    if (isPoint(i) && isPoint(j)) {
        const Rectangle r = checkedRectangle(i, j);
        return MvValueHolder(SubImage(r.top, r.left, r.bottom, r.right));
    }
    MvRaise("Wrong type arguments to indexing operation");
}

template <class Pix>
MvValueHolder MvNewImageValue<Pix>::GetElement(MvValue* index, bool) {
    if (index->GetType() != MvTypeNumber)
        MvRaise("Wrong type arguments to indexing operation");
    const Pix* row = pixels.checkedRow(indexOf(index));
    std::vector<double> greys(static_cast<std::size_t>(pixels.width()));
    for (std::int32_t x = 0; x < pixels.width(); ++x)
        greys[x] = greyOf(row[x]);
    return MvValueHolder(new MvVectorValue(std::move(greys)));
}

template <class Pix>
void MvNewImageValue<Pix>::SetElement2(MvValue* i, MvValue* j, MvValue* newValue) {
    const MvTypeEnum valueType = newValue->GetType();
    const bool pasting = MvIsImageType(valueType);
    if (!pasting && !isColourLike(valueType))
        MvRaise("Invalid indexing parameter type.");

    if (i->GetType() == MvTypeNumber && j->GetType() == MvTypeNumber) {
        const long x = indexOf(i);
        const long y = indexOf(j);
        if (!pasting) {
            MvCheckIndex(x, 0, long(pixels.width()) - 1);
            MvCheckIndex(y, 0, long(pixels.height()) - 1);
            pixels.at(x, y) = pixelOf(colourFrom(newValue));
            return;
        }
        MvCheckIndex(x, 0, kMaxSide);
        MvCheckIndex(y, 0, kMaxSide);
        Mv2DValue& image = *static_cast<Mv2DValue*>(newValue);
        MvPixelArray<Pix> grown(pixels, grownSide(pixels.width(), x + image.GetWidth()),
                                grownSide(pixels.height(), y + image.GetHeight()),
                                MvPixelFill::kCopyTopLeft);
        MvVisitImage(newValue, [&](auto& source) {
            for (std::int32_t row = 0; row < source.pixels.height(); ++row)
                copyConverted(source.pixels.row(row), grown.row(y + row) + x,
                              source.pixels.width());
        });
        pixels.swap(grown);
        return;
    }

    if (!isPoint(i) || !isPoint(j))
        MvRaise("Invalid Parameters to indexing operation");
    const Rectangle r = checkedRectangle(i, j);
    MvPixelArray<Pix> grown(pixels, grownSide(pixels.width(), r.right),
                            grownSide(pixels.height(), r.bottom), MvPixelFill::kCopyTopLeft);
    // Parts of the rectangle left of or above the image are not drawn.
    const long firstColumn = std::max(r.left, 0L);
    const long firstRow = std::max(r.top, 0L);
    if (firstColumn >= r.right || firstRow >= r.bottom) {
        pixels.swap(grown);
        return;
    }
    if (!pasting) {
        const Pix pixel = pixelOf(colourFrom(newValue));
        for (long y = firstRow; y < r.bottom; ++y)
            std::fill(grown.row(y) + firstColumn, grown.row(y) + r.right, pixel);
    } else {
        MvVisitImage(newValue, [&](auto& source) {
            const auto& from = source.pixels;
            if (from.empty())
                return;
            for (long y = firstRow; y < r.bottom; ++y) {
                const auto* sourceRow = from.row(static_cast<std::int32_t>(
                    static_cast<double>(y - r.top) * from.height() / r.height()));
                Pix* to = grown.row(y);
                for (long x = firstColumn; x < r.right; ++x)
                    to[x] = MvPixel::convert<Pix>(sourceRow[static_cast<std::int32_t>(
                        static_cast<double>(x - r.left) * from.width() / r.width())]);
            }
        });
    }
    pixels.swap(grown);
}

#define MV_INSTANTIATE_INDEXING(Pix)                                                          \
    template MvValueHolder MvNewImageValue<Pix>::GetElement2(MvValue*, MvValue*);            \
    template MvValueHolder MvNewImageValue<Pix>::GetElement(MvValue*, bool);                 \
    template void MvNewImageValue<Pix>::SetElement2(MvValue*, MvValue*, MvValue*);

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_INDEXING)
