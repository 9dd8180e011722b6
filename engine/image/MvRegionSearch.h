// Region search: the connected regions of an image whose grey value lies
// within a tolerance of a value, found by a breadth-first flood fill over a
// window of the source with a circular neighbourhood.
//
// RegionSearchBase holds the fill (the map of pixels still to be taken, the
// queue, the region being grown); RegionSearch<Pix> knows the pixels.
#ifndef MORVANE_ENGINE_MVREGIONSEARCH_H
#define MORVANE_ENGINE_MVREGIONSEARCH_H

#include "image/MvPixelArray.h"
#include "image/MvPointQueue.h"
#include "morvane/Mv2DValue.h"
#include "morvane/MvPixel.h"

#include <cstdint>
#include <vector>

class MvListValue;

struct MvRegionOptions {
    double value = 0.0;
    double tolerance = 0.0;
    double minArea = 1.0;
    std::int32_t minWidth = 0;
    std::int32_t minHeight = 0;
    double radius = 1.0;
    bool listPoints = false;
    bool returnFrame = false;
    double edgeValue = 1.0;
    // The window, right and bottom exclusive, already limited to the source.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

class RegionSearchBase {
public:
    explicit RegionSearchBase(const MvRegionOptions& options);
    virtual ~RegionSearchBase() = default;
    RegionSearchBase(const RegionSearchBase&) = delete;
    RegionSearchBase& operator=(const RegionSearchBase&) = delete;

    // A new image of the source's kind, all 0.
    virtual Mv2DValue* makeCutOut(std::int32_t width, std::int32_t height) = 0;
    virtual void copyPixel(Mv2DValue* cutOut, std::int32_t x, std::int32_t y,
                           std::int32_t sourceX, std::int32_t sourceY) = 0;
    // Whether source pixel (x, y) belongs to a region.
    virtual bool testPixel(std::int32_t x, std::int32_t y) = 0;
    virtual double weightOfPixel(std::int32_t x, std::int32_t y) = 0;
    // out[i] = 1 when pixel (x0 + i, y) passes the test, else 0.
    virtual void testRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint8_t* out) = 0;

    // The list of the accepted regions in the order of their first pixels.
    MvValue* run();

protected:
    bool weighted_ = false;   // false: every member pixel weighs 1

private:
    struct Offset {
        std::int32_t dx, dy;
        std::ptrdiff_t step;   // in the candidate map
    };

    void markCandidates();
    void makeNeighbourhood();
    // Grows the region from (x, y) (source coordinates) until no pixel is pending.
    void grow(std::int32_t x, std::int32_t y);
    // The same region for radius 1 to 2 when only its sums are wanted and
    // every pixel weighs 1: filled a run of a row at a time.
    void growRuns(std::int32_t x, std::int32_t y);
    std::int32_t border() const { return r_ > 0 ? r_ : 0; }
    bool fillsByRuns() const { return r_ == 1 && !weighted_ && !keepPoints_; }
    // Row y of the candidate map; source column x is at x + columnShift().
    std::uint8_t* candidateRow(std::int32_t y) {
        return candidates_.row(y - options_.top + border());
    }
    std::int32_t columnShift() const { return border() - options_.left; }
    void take(std::int32_t x, std::int32_t y);
    bool accepted() const;
    MvValue* describe();
    std::uint8_t* candidate(std::int32_t x, std::int32_t y) {
        return candidates_.row(y - options_.top + border()) + (x - options_.left + border());
    }

    MvRegionOptions options_;
    std::int32_t r_;
    std::int64_t r2_;
    // 1 for a window pixel that passes the test and is not yet in a region;
    // a frame of r zeros around the window spares the fill its edge tests.
    MvPixelArray<bgPix> candidates_;
    std::vector<Offset> neighbourhood_;   // without (0, 0)
    MvPointQueue queue_;
    std::vector<MvQueuedPoint> seeds_;    // of the run fill

    // The region being grown.
    std::int32_t minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
    std::int32_t referenceX_ = 0, referenceY_ = 0;
    double sumWX_ = 0.0, sumWY_ = 0.0, sumW_ = 0.0;
    std::vector<MvQueuedPoint> points_;
    bool keepPoints_ = false;
};

template <class Pix>
class RegionSearch : public RegionSearchBase {
public:
    RegionSearch(const MvPixelArray<Pix>& pixels, const MvRegionOptions& options);

    Mv2DValue* makeCutOut(std::int32_t width, std::int32_t height) override;
    void copyPixel(Mv2DValue* cutOut, std::int32_t x, std::int32_t y, std::int32_t sourceX,
                   std::int32_t sourceY) override;
    bool testPixel(std::int32_t x, std::int32_t y) override;
    double weightOfPixel(std::int32_t x, std::int32_t y) override;
    void testRow(std::int32_t y, std::int32_t x0, std::int32_t x1, std::uint8_t* out) override;

private:
    float grey(const Pix& p) const;

    const MvPixelArray<Pix>& pixels_;
    float value_;
    float tolerance_;
    float k_;   // 1 - edge value
};

// Find.Region on source (an image) with the options given; the window is
// checked as a rectangle, then limited to the source.
MvValue* MvFindRegions(MvValue* source, MvRegionOptions options);

#endif
