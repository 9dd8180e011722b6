// The output strategies of a template search: what becomes of the score of
// each placement the driver walks.
//
//   NewFindStrategyOutputFind      the best placement; an exact hit ends the search
//   NewFindStrategyOutputMap       an image_mono of every score, sized to the window
//   NewFindStrategyOutputSubPixel  the 3 x 3 scores around a placement
#ifndef MORVANE_ENGINE_MVFINDSTRATEGYOUTPUT_H
#define MORVANE_ENGINE_MVFINDSTRATEGYOUTPUT_H

#include "image/MvFindParameters.h"
#include "image/MvPixelArray.h"
#include "morvane/MvValue.h"

#include <cstdint>

class NewFindStrategyOutput {
public:
    virtual ~NewFindStrategyOutput() = default;
    // Called once with the window as asked for before the first placement.
    virtual void begin(const FindParameters& parameters) = 0;
    // The score of placement (x, y); false ends the search.
    virtual bool record(std::int32_t x, std::int32_t y, float score) = 0;
    // The scores of placements (x, y) .. (x + count - 1, y) in order, as
    // record would take them one by one (the driver's usual way in).
    virtual bool recordRow(std::int32_t x, std::int32_t y, const float* scores,
                           std::int32_t count) {
        for (std::int32_t i = 0; i < count; ++i)
            if (!record(x + i, y, scores[i]))
                return false;
        return true;
    }
    // The value handed back to the script (a new value).
    virtual MvValue* result() = 0;
};

class NewFindStrategyOutputFind : public NewFindStrategyOutput {
public:
    void begin(const FindParameters& parameters) override;
    bool record(std::int32_t x, std::int32_t y, float score) override;
    bool recordRow(std::int32_t x, std::int32_t y, const float* scores,
                   std::int32_t count) override;
    // {x x step, y x step, score}, or {0, 0, 1} when nothing scored below 1.
    MvValue* result() override;

    bool found() const { return score_ < 1.0; }
    std::int32_t x() const { return x_; }
    std::int32_t y() const { return y_; }
    double score() const { return score_; }

private:
    double step_ = 1.0;
    double score_ = 1e99;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
};

class NewFindStrategyOutputMap : public NewFindStrategyOutput {
public:
    void begin(const FindParameters& parameters) override;
    bool record(std::int32_t x, std::int32_t y, float score) override;
    // The map rescaled (nearest neighbour) to the window's size in source pixels.
    MvValue* result() override;

private:
    MvPixelArray<fgPix> map_;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

class NewFindStrategyOutputSubPixel : public NewFindStrategyOutput {
public:
    // The grid is centred on placement (x, y) of the search whose
    // parameters (and clipped window) are given.
    NewFindStrategyOutputSubPixel(std::int32_t x, std::int32_t y, const FindParameters& search)
        : x_(x), y_(y), window_(search) {}

    void begin(const FindParameters& parameters) override;
    bool record(std::int32_t x, std::int32_t y, float score) override;
    // {x x step, y x step, centre score}, the refined placement limited to
    // the window.
    MvValue* result() override;

    // The offset a parabola through left, centre, right puts the minimum
    // at, limited to +-0.999 (0 when a neighbour is missing or the three
    // lie on a line).
    static double offset(double left, double centre, double right);

private:
    double grid_[9];
    std::int32_t x_;
    std::int32_t y_;
    FindParameters window_;
};

#endif
