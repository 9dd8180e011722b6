// The neighbourhood filters of the image kinds: convolution with a kernel
// image and the rank filter under a mask image; and the pixel sum.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvFilterKernels.h"
#include "image/MvNeighbourhood.h"
#include "image/MvPixelConvert.h"
#include "image/MvPixelKernelRules.h"
#include "image/MvPixelOps.h"
#include "image/MvRankSort.h"
#include "morvane/MvException.h"
#include "morvane/MvProcess.h"
#include "values/MvColorValue.h"

#include <cmath>
#include <type_traits>
#include <vector>

namespace {

template <class Pix>
constexpr bool isColour() {
    return MvPixelKernels::Traits<Pix>::kLanes == 4;
}

// One pixel as float lanes: grey as one lane, colour as alpha, red, green,
// blue (the memory order of fcPix).
template <class Pix>
void greyLanes(const Pix& p, float* lanes) {
    lanes[0] = MvPixel::convert<fgPix>(p);
}
template <class Pix>
void colourLanes(const Pix& p, float* lanes) {
    const fcPix c = MvPixel::convert<fcPix>(p);
    lanes[0] = c.alpha;
    lanes[1] = c.red;
    lanes[2] = c.green;
    lanes[3] = c.blue;
}

// A row as float lanes, through the conversion kernels.
template <class Pix>
void floatRow(const Pix* in, float* out, std::int32_t width, bool colour) {
    if (colour)
        MvPixelKernels::convertRow(in, reinterpret_cast<fcPix*>(out), width);
    else
        MvPixelKernels::convertRow(in, reinterpret_cast<fgPix*>(out), width);
}

template <class Pix>
void copyRow(const Pix* in, Pix* out, std::int32_t width) {
    std::copy(in, in + width, out);
}

// The centred (2 hx + 1) x (2 hy + 1) part of a kernel as four lane weights
// per tap, row-major. An empty kernel has no taps.
template <class KPix>
std::vector<float> kernelWeights(const MvPixelArray<KPix>& kernel, bool colour,
                                 std::int32_t columns, std::int32_t rows) {
    std::vector<float> weights;
    for (std::int32_t j = 0; j < rows; ++j)
        for (std::int32_t c = 0; c < columns; ++c) {
            float lanes[4];
            if (colour) {
                colourLanes(kernel.at(c, j), lanes);
            } else {
                greyLanes(kernel.at(c, j), lanes);
                lanes[1] = lanes[2] = lanes[3] = lanes[0];
            }
            weights.insert(weights.end(), lanes, lanes + 4);
        }
    return weights;
}

template <class Pix>
void storeRow(const float* sums, bool colour, Pix* out, std::int32_t width) {
    if (colour) {
        for (std::int32_t x = 0; x < width; ++x) {
            const float* s = sums + 4 * x;
            out[x] = MvPixel::convert<Pix>(fcPix{s[0], s[1], s[2], s[3]});
        }
    } else if constexpr (!isColour<Pix>()) {
        MvPixelKernels::convertRow(sums, out, width);
    }
}

template <class Pix, class KPix>
MvPixelArray<Pix> convolve(const MvPixelArray<Pix>& source, const MvPixelArray<KPix>& kernel) {
    MvPixelArray<Pix> result(source.width(), source.height());
    if (source.empty())
        return result;
    const bool colour = isColour<Pix>() || isColour<KPix>();
    const std::int32_t lanes = colour ? 4 : 1;
    const std::int32_t hx = (kernel.width() - 1) / 2;
    const std::int32_t hy = (kernel.height() - 1) / 2;
    // An empty kernel has no taps: every sum stays at its start.
    const std::int32_t columns = kernel.empty() ? 0 : 2 * hx + 1;
    const std::int32_t rows = kernel.empty() ? 0 : 2 * hy + 1;
    const std::vector<float> weights = kernelWeights(kernel, colour, columns, rows);
    auto padded = MvPadRows<float>(source, hx, lanes, std::max(rows, 1),
                                   [colour](const Pix* in, float* out, std::int32_t width) {
                                       floatRow(in, out, width, colour);
                                   });
    const float start[4] = {colour ? 1.0f : 0.0f, 0.0f, 0.0f, 0.0f};
    std::vector<const float*> under(static_cast<std::size_t>(rows));
    std::vector<float> sums(static_cast<std::size_t>(source.width()) * lanes);
    MvFilterKernels::ConvolutionRow plan;
    plan.rows = under.data();
    plan.weights = weights.data();
    plan.start = start;
    plan.kernelRows = rows;
    plan.kernelColumns = columns;
    plan.lanes = lanes;
    for (std::int32_t y = 0; y < source.height(); ++y) {
        MvYield();
        for (std::int32_t j = 0; j < rows; ++j)
            under[j] = padded.row(static_cast<std::int64_t>(y) + hy - j);
        if constexpr (std::is_same<Pix, fgPix>::value) {
            if (!colour) {
                // Float grey sums are the result itself.
                MvFilterKernels::convolveRow(plan, result.row(y), source.width());
                continue;
            }
        }
        MvFilterKernels::convolveRow(plan, sums.data(), source.width());
        storeRow(sums.data(), colour, result.row(y), source.width());
    }
    return result;
}

// Mask pixels select when they are not zero (colour masks: when red, green
// or blue is not zero).
template <class Pix>
bool selects(const Pix& p) {
    if constexpr (isColour<Pix>())
        return p.red != 0 || p.green != 0 || p.blue != 0;
    else
        return p != 0;
}

// The rank filter of the rules: gather, sort (stable, by the grey value for
// colour pixels), take the rank-th.
template <class Pix>
void rankGeneral(const MvPixelArray<Pix>& source, const std::vector<std::int32_t>& offsets,
                 const std::vector<std::int32_t>& rowsOf, std::int32_t hx, std::int32_t hy,
                 std::int32_t rank, MvPixelArray<Pix>& result) {
    auto padded = MvPadRows<Pix>(source, hx, 1, 2 * hy + 1, copyRow<Pix>);
    struct Item {
        double key;
        Pix pixel;
    };
    // Two spare items, as the byte form has always allocated.
    std::vector<Item> gathered(offsets.size() + 2);
    const std::int32_t n = static_cast<std::int32_t>(offsets.size());
    std::vector<const Pix*> under(static_cast<std::size_t>(2 * hy + 1));
    for (std::int32_t y = 0; y < source.height(); ++y) {
        MvYield();
        for (std::int32_t j = 0; j <= 2 * hy; ++j)
            under[j] = padded.row(static_cast<std::int64_t>(y) + hy - j);
        Pix* out = result.row(y);
        for (std::int32_t x = 0; x < source.width(); ++x) {
            for (std::int32_t i = 0; i < n; ++i) {
                const Pix p = under[rowsOf[i]][x + offsets[i]];
                gathered[i] = Item{MvPixelRules::greyOf(p), p};
            }
            MvInsertionSort(gathered.data(), n,
                            [](const Item& a, const Item& b) { return a.key < b.key; });
            out[x] = gathered[rank].pixel;
        }
    }
}

void rankSquare(const MvPixelArray<bgPix>& source, std::int32_t size, std::int32_t rank,
                MvPixelArray<bgPix>& result) {
    const std::int32_t h = size / 2;
    auto padded = MvPadRows<bgPix>(source, h, 1, size, copyRow<bgPix>);
    const std::uint8_t* rows[5];
    for (std::int32_t y = 0; y < source.height(); ++y) {
        MvYield();
        for (std::int32_t j = 0; j < size; ++j)
            rows[j] = padded.row(static_cast<std::int64_t>(y) + h - j);
        MvFilterKernels::rankSquareRow(rows, size, rank, result.row(y), source.width());
    }
}

template <class Pix, class MPix>
MvPixelArray<Pix> rankFilter(const MvPixelArray<Pix>& source, const MvPixelArray<MPix>& mask,
                             double rankNumber) {
    const std::int32_t hx = (mask.width() - 1) / 2;
    const std::int32_t hy = (mask.height() - 1) / 2;
    // Pixel (c, j) of the mask reads padded column x + 2 hx - c of source row y + hy - j.
    std::vector<std::int32_t> offsets, rowsOf;
    if (!mask.empty())
        for (std::int32_t j = 0; j <= 2 * hy; ++j)
            for (std::int32_t c = 0; c <= 2 * hx; ++c)
                if (selects(mask.at(c, j))) {
                    offsets.push_back(2 * hx - c);
                    rowsOf.push_back(j);
                }
    const std::int32_t n = static_cast<std::int32_t>(offsets.size());
    if (n == 0)
        MvRaise("Median Filter failed: the mask selects no pixel.");
    double r = std::trunc(rankNumber);
    if (!(r == r))
        r = 0;
    const std::int32_t rank = static_cast<std::int32_t>(std::max(0.0, std::min<double>(r, n - 1)));
    MvPixelArray<Pix> result(source.width(), source.height());
    if (source.empty())
        return result;
    if constexpr (std::is_same<Pix, bgPix>::value) {
        if (hx == hy && (hx == 1 || hx == 2) && n == (2 * hx + 1) * (2 * hx + 1)) {
            rankSquare(source, 2 * hx + 1, rank, result);
            return result;
        }
    }
    rankGeneral(source, offsets, rowsOf, hx, hy, rank, result);
    return result;
}

} // namespace

template <class Pix>
MvValue* MvNewImageValue<Pix>::Convolute(MvValue* kernel) {
    MvValue* result = nullptr;
    if (!MvVisitImage(kernel, [&](auto& k) { result = MvMakeImage(convolve(pixels, k.pixels)); }))
        MvRaise("Convolute failed: Unknown operand type");
    return result;
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::MedianFilter(MvValue* mask, double rank) {
    MvValue* result = nullptr;
    if (!MvVisitImage(mask, [&](auto& m) {
            result = MvMakeImage(rankFilter(pixels, m.pixels, rank));
        }))
        MvRaise("Median Filter failed: Unknown operand type");
    return result;
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::SumElements() {
    double sum = 0.0;
    for (std::int32_t y = 0; y < pixels.height(); ++y)
        sum += MvPixelKernels::greyTotalsRow(pixels.row(y), pixels.width()).sum;
    if (sizeof(typename MvPixelKernels::Traits<Pix>::Lane) == 1)
        sum /= 255.0;
    return new MvColorValue(MvColor{sum, sum, sum});
}

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_IMAGE_CLASS)
