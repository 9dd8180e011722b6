// Whole-array pixel operations of the image values, built from the row
// kernels: arithmetic with another image or with a number or colour,
// conversion between the pixel types, grey statistics, and the channel
// functions of float images.
#ifndef MORVANE_ENGINE_MVPIXELOPS_H
#define MORVANE_ENGINE_MVPIXELOPS_H

#include "image/MvPixelArray.h"
#include "image/MvPixelConvert.h"
#include "image/MvPixelKernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

// Results at least this large are written past the caches.
constexpr std::size_t kMvPixelStreamingBytes = std::size_t{8} << 20;

template <class Pix>
bool MvResultBypassesCache(const MvPixelArray<Pix>& out, const MvPixelArray<Pix>& left) {
    return &out != &left && out.stride() * static_cast<std::size_t>(out.height()) >= kMvPixelStreamingBytes;
}

// out = left op right over the common top-left area (min of the widths x min
// of the heights), right's pixels first converted to left's type. out has
// left's size (a smaller out gets only the part that fits) and may be left
// itself; when it is not, its pixels outside the common area are left's, as
// they are when the operation works in place.
template <class PixL, class PixR>
void MvCombineImages(MvPixelKernels::Op op, const MvPixelArray<PixL>& left,
                     const MvPixelArray<PixR>& right, MvPixelArray<PixL>& out) {
    const std::int32_t rows = std::min(left.height(), out.height());
    const std::int32_t columns = std::min(left.width(), out.width());
    const std::int32_t width = std::min(columns, right.width());
    const std::int32_t height = std::min(rows, right.height());
    std::vector<PixL> converted(std::is_same<PixL, PixR>::value ? 0 : std::max(width, 0));
    const bool bypassCache = MvResultBypassesCache(out, left);
    for (std::int32_t y = 0; y < rows; ++y) {
        PixL* target = out.row(y);
        const PixL* source = left.row(y);
        if (y >= height || width <= 0) {
            if (target != source && columns > 0)
                std::memcpy(target, source, sizeof(PixL) * columns);
            continue;
        }
        const PixL* other;
        if constexpr (std::is_same<PixL, PixR>::value) {
            other = right.row(y);
        } else {
            MvPixelKernels::convertRow(right.row(y), converted.data(), width);
            other = converted.data();
        }
        MvPixelKernels::combineRow(op, source, other, target, width, bypassCache);
        if (target != source && width < columns)
            std::memcpy(target + width, source + width, sizeof(PixL) * (columns - width));
    }
}

// out = left op operand for every pixel; out has left's size (a smaller out
// gets only the part that fits) and may be left.
template <class Pix>
void MvCombineOperand(MvPixelKernels::Op op, const MvPixelArray<Pix>& left,
                      const MvPixelKernels::Operand<Pix>& operand, MvPixelArray<Pix>& out) {
    const bool bypassCache = MvResultBypassesCache(out, left);
    const std::int32_t rows = std::min(left.height(), out.height());
    const std::int32_t columns = std::min(left.width(), out.width());
    for (std::int32_t y = 0; y < rows; ++y)
        MvPixelKernels::operandRow(op, left.row(y), operand, out.row(y), columns, bypassCache);
}

// A new array of in's size with every pixel converted.
template <class To, class From>
MvPixelArray<To> MvConvertPixels(const MvPixelArray<From>& in) {
    MvPixelArray<To> out(in.width(), in.height());
    for (std::int32_t y = 0; y < in.height(); ++y)
        MvPixelKernels::convertRow(in.row(y), out.row(y), in.width());
    return out;
}

// Grey statistics of a whole array, in the pixel type's grey unit (bytes
// 0..255 for frames, values for float images). For an empty array the
// average and the standard deviation are 1e10 and count is 0.
struct MvGreyStatistics {
    double count = 0.0;
    double average = 1e10;
    double sdev = 1e10;     // population form
    double minimum = 0.0;
    double maximum = 0.0;
};

template <class Pix>
MvGreyStatistics MvComputeGreyStatistics(const MvPixelArray<Pix>& pixels, bool wantSdev = true) {
    MvGreyStatistics result;
    if (pixels.empty())
        return result;
    double sum = 0.0;
    double minimum = HUGE_VAL;
    double maximum = -HUGE_VAL;
    for (std::int32_t y = 0; y < pixels.height(); ++y) {
        const MvPixelKernels::GreyTotals row =
            MvPixelKernels::greyTotalsRow(pixels.row(y), pixels.width());
        sum += row.sum;
        minimum = std::min(minimum, row.minimum);
        maximum = std::max(maximum, row.maximum);
    }
    result.count = static_cast<double>(pixels.width()) * pixels.height();
    result.average = sum / result.count;
    result.minimum = minimum;
    result.maximum = maximum;
    if (wantSdev) {
        double squares = 0.0;
        for (std::int32_t y = 0; y < pixels.height(); ++y)
            squares += MvPixelKernels::greySquaredDeviationRow(pixels.row(y), pixels.width(),
                                                               result.average);
        result.sdev = std::sqrt(squares / result.count);
    }
    return result;
}

// Applies fn to every grey value, or to red, green and blue of every colour
// pixel (alpha unchanged), of a float array in place.
template <class Fn>
void MvApplyToChannels(MvPixelArray<fgPix>& pixels, Fn fn) {
    for (std::int32_t y = 0; y < pixels.height(); ++y) {
        fgPix* row = pixels.row(y);
        for (std::int32_t x = 0; x < pixels.width(); ++x)
            row[x] = fn(row[x]);
    }
}

template <class Fn>
void MvApplyToChannels(MvPixelArray<fcPix>& pixels, Fn fn) {
    for (std::int32_t y = 0; y < pixels.height(); ++y) {
        fcPix* row = pixels.row(y);
        for (std::int32_t x = 0; x < pixels.width(); ++x) {
            row[x].red = fn(row[x].red);
            row[x].green = fn(row[x].green);
            row[x].blue = fn(row[x].blue);
        }
    }
}

#endif
