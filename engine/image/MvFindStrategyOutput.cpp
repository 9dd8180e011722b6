#include "image/MvFindStrategyOutput.h"

#include "image/MvNewImageValue.h"
#include "values/MvVectorValue.h"

#include <algorithm>
#include <cmath>
#include <limits>

void NewFindStrategyOutputFind::begin(const FindParameters& parameters) {
    step_ = parameters.step;
    score_ = 1e99;
    x_ = y_ = 0;
}

bool NewFindStrategyOutputFind::record(std::int32_t x, std::int32_t y, float score) {
    if (score < score_) {
        score_ = score;
        x_ = x;
        y_ = y;
    }
    return score_ != 0.0;
}

// The first smallest score of the row, then as record would: the search
// ends at the first exact hit.
bool NewFindStrategyOutputFind::recordRow(std::int32_t x, std::int32_t y, const float* scores,
                                          std::int32_t count) {
    if (count <= 0)
        return score_ != 0.0;
    const float* smallest = std::min_element(scores, scores + count);
    return record(x + static_cast<std::int32_t>(smallest - scores), y, *smallest);
}

MvValue* NewFindStrategyOutputFind::result() {
    if (!found())
        return new MvVectorValue({0.0, 0.0, 1.0});
    return new MvVectorValue({x_ * step_, y_ * step_, score_});
}

void NewFindStrategyOutputMap::begin(const FindParameters& parameters) {
    left_ = parameters.left;
    top_ = parameters.top;
    width_ = std::max(parameters.windowWidth, 0);
    height_ = std::max(parameters.windowHeight, 0);
    map_ = MvPixelArray<fgPix>(parameters.right - parameters.left,
                               parameters.bottom - parameters.top);
    for (std::int32_t y = 0; y < map_.height(); ++y)
        std::fill(map_.row(y), map_.row(y) + map_.width(), 1.0f);
}

bool NewFindStrategyOutputMap::record(std::int32_t x, std::int32_t y, float score) {
    map_.at(x - left_, y - top_) = score;
    return true;
}

MvValue* NewFindStrategyOutputMap::result() {
    if (map_.width() == width_ && map_.height() == height_)
        return MvMakeImage<fgPix>(std::move(map_));
    return MvMakeImage<fgPix>(
        MvPixelArray<fgPix>(map_, width_, height_, MvPixelFill::kNearestNeighbour));
}

void NewFindStrategyOutputSubPixel::begin(const FindParameters&) {
    std::fill(std::begin(grid_), std::end(grid_), std::numeric_limits<double>::quiet_NaN());
}

bool NewFindStrategyOutputSubPixel::record(std::int32_t x, std::int32_t y, float score) {
    const std::int32_t column = x - x_ + 1;
    const std::int32_t row = y - y_ + 1;
    if (column >= 0 && column < 3 && row >= 0 && row < 3)
        grid_[row * 3 + column] = score;
    return true;
}

double NewFindStrategyOutputSubPixel::offset(double left, double centre, double right) {
    const double curvature = ((left + right) * 0.5 - centre) * 4.0;
    if (std::isnan(left) || std::isnan(right) || curvature == 0.0)
        return 0.0;
    return std::clamp((left - right) / curvature, -0.999, 0.999);
}

MvValue* NewFindStrategyOutputSubPixel::result() {
    const double centre = grid_[4];
    double x = x_ + offset(grid_[3], centre, grid_[5]);
    double y = y_ + offset(grid_[1], centre, grid_[7]);
    x = std::clamp(x, double(window_.left), double(std::max(window_.left, window_.right - 1)));
    y = std::clamp(y, double(window_.top), double(std::max(window_.top, window_.bottom - 1)));
    return new MvVectorValue({x * window_.step, y * window_.step, centre});
}
