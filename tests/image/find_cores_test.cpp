// The computing cores of the template search give the same sums: on random
// images of the four pixel types, with matches wider and narrower than a
// vector, placements hanging over every edge of the source, and windows of
// every shape, each core's sums equal the plain difference sums, bit for
// bit, on every instruction set the vector core was built for.
#include "image/MvFindStrategyInput.h"
#include "thrown_message.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <random>
#include <string>
#include <vector>

namespace {

template <class F>
void onEveryTarget(F check) {
    for (std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        check();
    }
    hwy::SetSupportedTargetsForTest(0);
}

void randomPixel(std::mt19937& random, bgPix& p) { p = static_cast<bgPix>(random()); }
void randomPixel(std::mt19937& random, bcPix& p) {
    p = bcPix{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
              static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random())};
}
void randomPixel(std::mt19937& random, fgPix& p) { p = float(random() % 1000) / 997.0f; }
void randomPixel(std::mt19937& random, fcPix& p) {
    p = fcPix{1.0f, float(random() % 1000) / 997.0f, float(random() % 1000) / 991.0f,
              float(random() % 1000) / 983.0f};
}

template <class Pix>
MvPixelArray<Pix> randomImage(std::mt19937& random, std::int32_t width, std::int32_t height) {
    MvPixelArray<Pix> image(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            randomPixel(random, image.at(x, y));
    return image;
}

// The sum of placement (x, y) straight from its meaning: over the source
// rows the match covers, each row's differences summed on their own first.
template <class Pix>
typename MvFindSum<Pix>::type plainSum(const MvPixelArray<Pix>& source,
                                       const MvPixelArray<Pix>& match, std::int32_t x,
                                       std::int32_t y) {
    typedef typename MvFindSum<Pix>::type Sum;
    Sum total(0);
    for (std::int32_t j = 0; j < match.height(); ++j) {
        if (y + j < 0 || y + j >= source.height())
            continue;
        Sum row(0);
        for (std::int32_t i = 0; i < match.width(); ++i)
            if (x + i >= 0 && x + i < source.width())
                row += MvFindDifference(match.at(i, j), source.at(x + i, y + j));
        total += row;
    }
    return total;
}

struct Shape {
    std::int32_t sourceWidth, sourceHeight, matchWidth, matchHeight;
};

template <class Pix>
void checkCores(std::mt19937& random, const Shape& shape) {
    const MvPixelArray<Pix> source = randomImage<Pix>(random, shape.sourceWidth, shape.sourceHeight);
    const MvPixelArray<Pix> match = randomImage<Pix>(random, shape.matchWidth, shape.matchHeight);
    // A window from wholly overhanging on the left and top to the right
    // and bottom edges, and a random one inside those limits.
    const std::int32_t minLeft = 1 - shape.matchWidth, minTop = 1 - shape.matchHeight;
    std::uniform_int_distribution<std::int32_t> column(minLeft, shape.sourceWidth);
    std::uniform_int_distribution<std::int32_t> row(minTop, shape.sourceHeight);
    std::int32_t a = column(random), b = column(random), c = row(random), d = row(random);
    const std::int32_t windows[2][4] = {
        {minLeft, minTop, shape.sourceWidth, shape.sourceHeight},
        {std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)}};
    for (const char* core : {"generic", "RISC", "SIMD", "fastest"}) {
        SCOPED_TRACE(core);
        auto input = MvMakeFindInput<Pix>(core);
        input->prepare(match, shape.matchWidth, shape.matchHeight, source, shape.sourceWidth,
                       shape.sourceHeight);
        for (const auto& w : windows) {
            input->setHorizontalRange(w[0], w[2]);
            for (std::int32_t y = w[1]; y < w[3]; ++y) {
                input->accumulatePlacementRow(y, std::max(y, 0),
                                              std::min(y + shape.matchHeight, shape.sourceHeight));
                for (std::int32_t x = w[0]; x < w[2]; ++x)
                    ASSERT_EQ(input->sums()[x - w[0]], plainSum(source, match, x, y))
                        << "placement " << x << ", " << y;
            }
        }
        input->release();
    }
}

const Shape kShapes[] = {
    {1, 1, 1, 1},    {5, 3, 1, 1},   {7, 6, 7, 6},    {20, 9, 3, 4},   {40, 30, 10, 10},
    {33, 17, 16, 5}, {50, 8, 17, 3}, {64, 12, 31, 2}, {70, 10, 32, 4}, {90, 9, 33, 3},
    {130, 6, 64, 2}, {150, 5, 77, 3}, {9, 9, 12, 11},  {3, 40, 2, 50},
};

TEST(FindCores, AllCoresGiveThePlainSumsOnEveryPixelType) {
    onEveryTarget([] {
        std::mt19937 random(17);
        for (const Shape& shape : kShapes) {
            SCOPED_TRACE(std::to_string(shape.matchWidth) + "x" + std::to_string(shape.matchHeight) +
                         " in " + std::to_string(shape.sourceWidth) + "x" +
                         std::to_string(shape.sourceHeight));
            checkCores<bgPix>(random, shape);
            checkCores<bcPix>(random, shape);
            checkCores<fgPix>(random, shape);
            checkCores<fcPix>(random, shape);
        }
    });
}

std::string raisedBy(const std::string& core) {
    return messageOf([&] { MvMakeFindInput<bgPix>(core); });
}

TEST(FindCores, AltivecAndUnknownNamesAreRefused) {
    EXPECT_EQ(raisedBy("Altivec"), "Altivec not supported on this machine");
    EXPECT_EQ(raisedBy("test"), "Unknown core specification in Cross correlation.");
    EXPECT_EQ(raisedBy(""), "Unknown core specification in Cross correlation.");
    EXPECT_EQ(raisedBy("generic "), "Unknown core specification in Cross correlation.");
    EXPECT_EQ(raisedBy("SIMD"), kNoException);
}

} // namespace
