#include "image/MvRegionSearch.h"

#include "image/MvNewImageValue.h"
#include "image/MvPixelConvert.h"
#include "morvane/MvException.h"
#include "morvane/MvProcess.h"
#include "platform/MvInterruptPoll.h"
#include "values/MvListValue.h"
#include "values/MvNumberValue.h"
#include "values/MvVectorValue.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

RegionSearchBase::RegionSearchBase(const MvRegionOptions& options) : options_(options) {
    const double radius = std::isnan(options.radius) ? 0.0 : options.radius;
    // No neighbourhood reaches farther than the window is wide or high.
    const double reach = std::max(options.right - options.left, options.bottom - options.top);
    r_ = static_cast<std::int32_t>(std::clamp(std::trunc(radius), -1.0, reach));
    r2_ = static_cast<std::int64_t>(std::min(std::trunc(radius * radius), 4.0 * reach * reach));
    keepPoints_ = options.listPoints || options.returnFrame;
}

void RegionSearchBase::markCandidates() {
    candidates_ = MvPixelArray<bgPix>(options_.right - options_.left + 2 * border(),
                                      options_.bottom - options_.top + 2 * border());
    for (std::int32_t y = options_.top; y < options_.bottom; ++y)
        testRow(y, options_.left, options_.right, candidate(options_.left, y));
}

// The offsets (dx, dy) with |dx|, |dy| <= r and dx^2 + dy^2 <= r2, row by row.
void RegionSearchBase::makeNeighbourhood() {
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(candidates_.stride());
    for (std::int32_t dy = -r_; dy <= r_; ++dy)
        for (std::int32_t dx = -r_; dx <= r_; ++dx)
            if ((dx || dy) && std::int64_t(dx) * dx + std::int64_t(dy) * dy <= r2_)
                neighbourhood_.push_back({dx, dy, dy * stride + dx});
}

MvValue* RegionSearchBase::run() {
    if (r_ < 0)
        r_ = -1;   // an empty neighbourhood: no pixel is ever taken
    markCandidates();
    if (r_ >= 0)
        makeNeighbourhood();
    std::unique_ptr<MvListValue> regions(new MvListValue());
    // A pixel is its own neighbour when the radius is not negative.
    const bool canStart = r_ >= 0 && r2_ >= 0;
    const bool byRuns = fillsByRuns();
    for (std::int32_t y = options_.top; y < options_.bottom; ++y) {
        MvYield();
        if (!canStart)
            continue;
        const std::uint8_t* row = candidate(options_.left, y);
        for (std::int32_t x = options_.left; x < options_.right; ++x) {
            if (!row[x - options_.left])
                continue;
            if (byRuns)
                growRuns(x, y);
            else
                grow(x, y);
            if (accepted())
                regions->append(MvValueHolder(describe()));
        }
    }
    return regions.release();
}

// The region starts empty; its first pixel is taken as its own neighbour
// would take it, then the queue is drained.
void RegionSearchBase::grow(std::int32_t x, std::int32_t y) {
    minX_ = maxX_ = referenceX_ = x;
    minY_ = maxY_ = referenceY_ = y;
    sumWX_ = sumWY_ = sumW_ = 0.0;
    points_.clear();
    *candidate(x, y) = 0;
    take(x, y);
    MvYieldPoll poll;
    while (!queue_.empty()) {
        const MvQueuedPoint p = queue_.pop();
        std::uint8_t* centre = candidate(p.x, p.y);
        for (const Offset& o : neighbourhood_) {
            std::uint8_t* c = centre + o.step;
            if (!*c)
                continue;
            *c = 0;
            take(p.x + o.dx, p.y + o.dy);
        }
        poll.tick(neighbourhood_.size());
    }
}

// Each seed is a pixel of a run not yet filled: the run is taken whole, and
// the runs of the rows above and below that touch it (diagonally too for
// the 8-neighbourhood) get a seed each. Sums of whole numbers are exact, so
// the region's figures are those of the pixel-by-pixel fill.
void RegionSearchBase::growRuns(std::int32_t x, std::int32_t y) {
    const std::int32_t reach = r2_ >= 2 ? 1 : 0;
    minX_ = maxX_ = referenceX_ = x;
    minY_ = maxY_ = referenceY_ = y;
    std::int64_t count = 0, sumX = 0, sumY = 0;
    // Seeds and runs are kept in candidate-map columns.
    const std::int32_t shift = columnShift();
    seeds_.clear();
    seeds_.push_back({x + shift, y});
    MvYieldPoll poll;
    while (!seeds_.empty()) {
        const MvQueuedPoint seed = seeds_.back();
        seeds_.pop_back();
        std::uint8_t* row = candidateRow(seed.y);
        if (!row[seed.x])
            continue;
        std::int32_t first = seed.x, last = seed.x;
        while (row[first - 1])
            --first;
        while (row[last + 1])
            ++last;
        const std::int64_t n = last - first + 1;
        std::memset(row + first, 0, static_cast<std::size_t>(n));
        count += n;
        sumX += (std::int64_t(first) + last) * n / 2 - n * (referenceX_ + shift);
        sumY += n * (seed.y - referenceY_);
        minX_ = std::min(minX_, first - shift);
        maxX_ = std::max(maxX_, last - shift);
        minY_ = std::min(minY_, seed.y);
        maxY_ = std::max(maxY_, seed.y);
        for (const std::int32_t next : {seed.y - 1, seed.y + 1}) {
            const std::uint8_t* other = candidateRow(next);
            for (std::int32_t i = first - reach; i <= last + reach; ++i)
                if (other[i] && (i == first - reach || !other[i - 1]))
                    seeds_.push_back({i, next});
        }
        poll.tick(static_cast<std::uint64_t>(n));
    }
    sumW_ = static_cast<double>(count);
    sumWX_ = static_cast<double>(sumX);
    sumWY_ = static_cast<double>(sumY);
}

void RegionSearchBase::take(std::int32_t x, std::int32_t y) {
    minX_ = std::min(minX_, x);
    maxX_ = std::max(maxX_, x);
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);
    queue_.push({x, y});
    const double w = weighted_ ? weightOfPixel(x, y) : 1.0;
    sumW_ += w;
    sumWX_ += w * (x - referenceX_);
    sumWY_ += w * (y - referenceY_);
    if (keepPoints_)
        points_.push_back({x, y});
}

bool RegionSearchBase::accepted() const {
    return sumW_ >= options_.minArea && sumW_ > 0.0 && maxX_ - minX_ + 1 >= options_.minWidth &&
           maxY_ - minY_ + 1 >= options_.minHeight;
}

// {centre x, centre y, area[, points][, {left, top}, cut-out]}
MvValue* RegionSearchBase::describe() {
    std::unique_ptr<MvListValue> region(new MvListValue());
    region->append(MvValueHolder(new MvNumberValue(referenceX_ + sumWX_ / sumW_)));
    region->append(MvValueHolder(new MvNumberValue(referenceY_ + sumWY_ / sumW_)));
    region->append(MvValueHolder(new MvNumberValue(sumW_)));
    if (options_.listPoints) {
        MvListValue* points = new MvListValue();
        MvValueHolder heldPoints(points);
        points->reserve(points_.size());
        for (const MvQueuedPoint& p : points_)
            points->append(MvValueHolder(new MvVectorValue({double(p.x), double(p.y)})));
        region->append(heldPoints);
    }
    if (options_.returnFrame) {
        const std::int32_t r = std::max(r_, 0);
        const std::int32_t left = std::max(minX_ - r, options_.left);
        const std::int32_t top = std::max(minY_ - r, options_.top);
        const std::int32_t right = std::min(maxX_ + r + 1, options_.right);
        const std::int32_t bottom = std::min(maxY_ + r + 1, options_.bottom);
        MvValueHolder cutOut(makeCutOut(right - left, bottom - top));
        for (const MvQueuedPoint& p : points_)
            copyPixel(static_cast<Mv2DValue*>(cutOut.get()), p.x - left, p.y - top, p.x, p.y);
        region->append(MvValueHolder(new MvVectorValue({double(left), double(top)})));
        region->append(cutOut);
    }
    return region.release();
}

template <class Pix>
RegionSearch<Pix>::RegionSearch(const MvPixelArray<Pix>& pixels, const MvRegionOptions& options)
    : RegionSearchBase(options),
      pixels_(pixels),
      value_(static_cast<float>(options.value)),
      tolerance_(static_cast<float>(options.tolerance)),
      k_(static_cast<float>(1.0 - options.edgeValue)) {
    weighted_ = tolerance_ != 0.0f && k_ != 0.0f;
}

template <> float RegionSearch<bgPix>::grey(const bgPix& p) const { return p / 255.0f; }
template <> float RegionSearch<bcPix>::grey(const bcPix& p) const {
    return MvPixel::byteLuminance(p.red, p.green, p.blue) / 255.0f;
}
template <> float RegionSearch<fgPix>::grey(const fgPix& p) const { return p; }
template <> float RegionSearch<fcPix>::grey(const fcPix& p) const {
    return 0.3f * p.red + 0.59f * p.green + 0.11f * p.blue;
}

template <class Pix>
bool RegionSearch<Pix>::testPixel(std::int32_t x, std::int32_t y) {
    return std::fabs(grey(pixels_.at(x, y)) - value_) <= tolerance_;
}

template <class Pix>
double RegionSearch<Pix>::weightOfPixel(std::int32_t x, std::int32_t y) {
    if (!weighted_)
        return 1.0;
    return 1.0 - std::fabs(grey(pixels_.at(x, y)) - value_) * k_ / tolerance_;
}

// Byte pixels have 256 grey levels: each is tested once, then looked up.
template <class Pix>
void RegionSearch<Pix>::testRow(std::int32_t y, std::int32_t x0, std::int32_t x1,
                                std::uint8_t* out) {
    const Pix* row = pixels_.row(y);
    if constexpr (sizeof(Pix) == 1 || std::is_same<Pix, bcPix>::value) {
        std::uint8_t passes[256];
        for (int g = 0; g < 256; ++g)
            passes[g] = std::fabs(g / 255.0f - value_) <= tolerance_;
        for (std::int32_t x = x0; x < x1; ++x) {
            if constexpr (sizeof(Pix) == 1)
                out[x - x0] = passes[row[x]];
            else
                out[x - x0] = passes[MvPixel::byteLuminance(row[x].red, row[x].green, row[x].blue)];
        }
    } else {
        for (std::int32_t x = x0; x < x1; ++x)
            out[x - x0] = std::fabs(grey(row[x]) - value_) <= tolerance_;
    }
}

template <class Pix>
Mv2DValue* RegionSearch<Pix>::makeCutOut(std::int32_t width, std::int32_t height) {
    return MvMakeImage<Pix>(MvPixelArray<Pix>(width, height));
}

template <class Pix>
void RegionSearch<Pix>::copyPixel(Mv2DValue* cutOut, std::int32_t x, std::int32_t y,
                                  std::int32_t sourceX, std::int32_t sourceY) {
    static_cast<MvNewImageValue<Pix>*>(cutOut)->pixels.at(x, y) = pixels_.at(sourceX, sourceY);
}

template class RegionSearch<bgPix>;
template class RegionSearch<bcPix>;
template class RegionSearch<fgPix>;
template class RegionSearch<fcPix>;

namespace {

// Checks the window as a rectangle, then limits it to the source: a window
// wholly outside the source has no area left.
void limitWindow(MvRegionOptions& o, std::int32_t width, std::int32_t height) {
    if (o.left > o.right)
        MvRaise("Invalid rectangle (left > right)");
    if (o.top > o.bottom)
        MvRaise("Invalid rectangle (top > bottom)");
    o.left = std::max(o.left, 0);
    o.top = std::max(o.top, 0);
    o.right = std::min(o.right, width);
    o.bottom = std::min(o.bottom, height);
    if (o.left >= o.right || o.top >= o.bottom)
        MvRaise("Invalid rectangle: It has zero area.");
}

} // namespace

MvValue* MvFindRegions(MvValue* source, MvRegionOptions options) {
    MvValue* result = nullptr;
    const bool image = MvVisitImage(source, [&](auto& value) {
        limitWindow(options, value.pixels.width(), value.pixels.height());
        typedef typename std::decay_t<decltype(value.pixels)> Array;
        typedef std::decay_t<decltype(*std::declval<Array>().data())> Pix;
        RegionSearch<Pix> search(value.pixels, options);
        result = search.run();
    });
    if (!image)
        MvRaise("Find.Region needs an image to search.");
    return result;
}
