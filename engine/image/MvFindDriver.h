// The driver of a template search: walks the placements of the window row
// by row, has the input strategy add up the differences and hands each
// score to the output strategy.
#ifndef MORVANE_ENGINE_MVFINDDRIVER_H
#define MORVANE_ENGINE_MVFINDDRIVER_H

#include "image/MvFindParameters.h"
#include "image/MvFindStrategyInput.h"
#include "image/MvFindStrategyOutput.h"
#include "morvane/MvProcess.h"

#include <algorithm>
#include <vector>

// Limits the window to the placements that overlap the source by at least
// one pixel.
inline void MvClipFindWindow(FindParameters& p) {
    p.left = std::max(p.left, 1 - p.matchWidth);
    p.top = std::max(p.top, 1 - p.matchHeight);
    p.right = std::min(p.right, p.sourceWidth);
    p.bottom = std::min(p.bottom, p.sourceHeight);
}

// 1 - the weight map's value at the placement (coordinates limited to the
// map): dark weight pixels make a placement worse.
inline double MvFindWeightPenalty(const FindParameters& p, std::int32_t x, std::int32_t y) {
    const MvPixelArray<fgPix>& weight = *p.weight;
    const std::int32_t column = std::clamp(x - p.weightOriginX, 0, weight.width() - 1);
    const std::int32_t row = std::clamp(y - p.weightOriginY, 0, weight.height() - 1);
    return 1.0 - weight.at(column, row);
}

// Runs the search over the clipped window of p (p keeps it); input has been
// prepared with the reduced source and match. The output begins with the
// window as asked for, so that a score map keeps its geometry. False, with
// nothing recorded, when the clipped window has a negative width or height.
template <class Pix>
bool MvWalkPlacements(FindParameters& p, NewFindStrategyInputFrame<Pix>& input,
                      NewFindStrategyOutput& output) {
    const FindParameters asked = p;
    MvClipFindWindow(p);
    if (p.right - p.left < 0 || p.bottom - p.top < 0)
        return false;
    output.begin(asked);
    input.setHorizontalRange(p.left, p.right);
    const double scale = input.pixelScale();
    const bool weighted = p.weight && !p.weight->empty();
    std::vector<float> scores(static_cast<std::size_t>(p.right - p.left));
    for (std::int32_t y = p.top; y < p.bottom; ++y) {
        MvYield();
        const std::int32_t firstRow = std::max(y, 0);
        const std::int32_t endRow = std::min(y + p.matchHeight, p.sourceHeight);
        input.accumulatePlacementRow(y, firstRow, endRow);
        const auto* sums = input.sums();   // placement x at x - left
        float* score = scores.data();
        const std::int64_t rows = endRow - firstRow;
        // Placements inside the source columns all overlap it alike.
        const std::int32_t x0 = std::min(std::max(p.left, 0), p.right);
        const std::int32_t x1 = std::max(std::min(p.right, p.sourceWidth - p.matchWidth + 1), x0);
        const auto scoreOf = [&](std::int32_t x, std::int64_t overlap) {
            double s = 1.0;
            if (!p.hasOverhang || overlap >= p.minimumOverlap)
                s = static_cast<double>(sums[x - p.left]) * scale /
                    static_cast<double>(overlap);
            if (weighted)
                s += MvFindWeightPenalty(p, x, y);
            return s;
        };
        const auto edge = [&](std::int32_t x) {
            const std::int64_t columns =
                std::min(x + p.matchWidth, p.sourceWidth) - std::max(x, 0);
            score[x - p.left] = static_cast<float>(scoreOf(x, columns * rows));
        };
        for (std::int32_t x = p.left; x < x0; ++x)
            edge(x);
        const std::int64_t inside = std::int64_t(p.matchWidth) * rows;
        for (std::int32_t x = x0; x < x1; ++x)
            score[x - p.left] = static_cast<float>(scoreOf(x, inside));
        for (std::int32_t x = x1; x < p.right; ++x)
            edge(x);
        if (!output.recordRow(p.left, y, scores.data(), p.right - p.left))
            return true;
    }
    return true;
}

#endif
