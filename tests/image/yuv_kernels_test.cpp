// YUV 4:2:0 rows to BGRA: the vectorised loop gives the scalar twin's
// pixels at every width (vector steps and the last pixels after them), both
// follow the BT.601 matrix to within one level, and nothing past the row
// is written.
#include "image/MvYuvKernels.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using MvYuvKernels::Range;

struct Row {
    std::vector<std::uint8_t> y, u, v;
};

Row randomRow(int width, std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    Row row{std::vector<std::uint8_t>(width), std::vector<std::uint8_t>((width + 1) / 2),
            std::vector<std::uint8_t>((width + 1) / 2)};
    for (auto* plane : {&row.y, &row.u, &row.v})
        for (auto& sample : *plane)
            sample = static_cast<std::uint8_t>(byte(random));
    return row;
}

// The matrix itself, in double precision.
std::vector<double> exactPixel(int y, int u, int v, Range range) {
    const bool video = range == Range::kVideo;
    const double l = video ? (y - 16) * 255.0 / 219.0 : y;
    const double cb = (u - 128) * (video ? 255.0 / 224.0 : 1.0);
    const double cr = (v - 128) * (video ? 255.0 / 224.0 : 1.0);
    auto clamp = [](double c) { return std::min(255.0, std::max(0.0, c)); };
    return {clamp(l + 1.772 * cb), clamp(l - 0.344136 * cb - 0.714136 * cr), clamp(l + 1.402 * cr)};
}

// Runs check once for every instruction set the kernel was built for and
// this processor has (the scalar fallback included).
template <class F>
void onEveryTarget(F check) {
    for (std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        check();
    }
    hwy::SetSupportedTargetsForTest(0);
}

TEST(YuvKernels, VectorLoopMatchesTheScalarTwinAtEveryWidth) {
    std::mt19937 random(18);
    onEveryTarget([&] {
        for (Range range : {Range::kVideo, Range::kFull})
            for (int width = 0; width <= 131; ++width) {
                const Row row = randomRow(width, random);
                std::vector<std::uint8_t> vector(4 * width + 64, 0xEE);
                std::vector<std::uint8_t> twin(4 * width + 64, 0xEE);
                MvYuvKernels::yuv420RowToBgra(row.y.data(), row.u.data(), row.v.data(),
                                              vector.data(), width, range);
                MvYuvKernels::yuv420RowToBgraScalar(row.y.data(), row.u.data(), row.v.data(),
                                                    twin.data(), width, range);
                ASSERT_EQ(vector, twin) << "width " << width;
                // Past the row: untouched.
                for (std::size_t i = 4 * width; i < vector.size(); ++i)
                    ASSERT_EQ(vector[i], 0xEE) << "width " << width;
            }
    });
}

TEST(YuvKernels, ExtremeSamplesSaturateAlike) {
    // Every combination of the extreme and middle samples, in one long row
    // so that each vector step sees several.
    const std::uint8_t levels[] = {0, 1, 15, 16, 17, 127, 128, 129, 235, 236, 240, 254, 255};
    Row row;
    for (std::uint8_t y : levels)
        for (std::uint8_t u : levels)
            for (std::uint8_t v : levels) {
                row.y.insert(row.y.end(), {y, y});
                row.u.push_back(u);
                row.v.push_back(v);
            }
    const int width = static_cast<int>(row.y.size());
    onEveryTarget([&] {
        for (Range range : {Range::kVideo, Range::kFull}) {
            std::vector<std::uint8_t> vector(4 * width), twin(4 * width);
            MvYuvKernels::yuv420RowToBgra(row.y.data(), row.u.data(), row.v.data(), vector.data(),
                                          width, range);
            MvYuvKernels::yuv420RowToBgraScalar(row.y.data(), row.u.data(), row.v.data(),
                                                twin.data(), width, range);
            EXPECT_EQ(vector, twin);
        }
    });
}

TEST(YuvKernels, TheRulesFollowTheMatrixWithinOneLevel) {
    for (Range range : {Range::kVideo, Range::kFull})
        for (int y = 0; y < 256; y += 3)
            for (int u = 0; u < 256; u += 5)
                for (int v = 0; v < 256; v += 7) {
                    const std::uint8_t ys[2] = {std::uint8_t(y), std::uint8_t(y)};
                    const std::uint8_t us[1] = {std::uint8_t(u)};
                    const std::uint8_t vs[1] = {std::uint8_t(v)};
                    std::uint8_t bgra[8];
                    MvYuvKernels::yuv420RowToBgraScalar(ys, us, vs, bgra, 2, range);
                    const std::vector<double> exact = exactPixel(y, u, v, range);
                    for (int c = 0; c < 3; ++c)
                        ASSERT_LE(std::fabs(bgra[c] - exact[c]), 1.0)
                            << "Y " << y << " U " << u << " V " << v << " channel " << c;
                    ASSERT_EQ(bgra[3], 255);
                    ASSERT_EQ(std::vector<std::uint8_t>(bgra, bgra + 4),
                              std::vector<std::uint8_t>(bgra + 4, bgra + 8));
                }
}

// The encoding direction: two BGRA rows to their luma rows and one row of
// each chroma plane.
struct Planes {
    std::vector<std::uint8_t> yTop, yBottom, u, v;
    explicit Planes(int width)
        : yTop(width + 64, 0xEE), yBottom(width + 64, 0xEE), u(width / 2 + 64, 0xEE),
          v(width / 2 + 64, 0xEE) {}
    bool operator==(const Planes& o) const {
        return yTop == o.yTop && yBottom == o.yBottom && u == o.u && v == o.v;
    }
};

std::vector<std::uint8_t> randomBgra(int width, std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> row(4 * width);
    for (auto& sample : row)
        sample = static_cast<std::uint8_t>(byte(random));
    return row;
}

void encode(const std::vector<std::uint8_t>& top, const std::vector<std::uint8_t>& bottom,
            Planes& out, int width, Range range, bool scalar) {
    (scalar ? MvYuvKernels::bgraRowsToYuv420Scalar : MvYuvKernels::bgraRowsToYuv420)(
        top.data(), bottom.data(), out.yTop.data(), out.yBottom.data(), out.u.data(),
        out.v.data(), width, range);
}

TEST(YuvKernels, EncodingLoopMatchesTheScalarTwinAtEveryEvenWidth) {
    std::mt19937 random(42);
    onEveryTarget([&] {
        for (Range range : {Range::kVideo, Range::kFull})
            for (int width = 0; width <= 130; width += 2) {
                const auto top = randomBgra(width, random), bottom = randomBgra(width, random);
                Planes vector(width), twin(width);
                encode(top, bottom, vector, width, range, false);
                encode(top, bottom, twin, width, range, true);
                ASSERT_TRUE(vector == twin) << "width " << width;
                // Past the rows: untouched.
                ASSERT_EQ(vector.yTop[width], 0xEE);
                ASSERT_EQ(vector.u[width / 2], 0xEE);
                ASSERT_EQ(vector.v[width / 2], 0xEE);
            }
    });
}

// Flat colours go through encoding and decoding within a few levels, and
// the chroma of a block is the mean of its four pixels.
TEST(YuvKernels, EncodedColoursDecodeBack) {
    const std::uint8_t colours[][3] = {{0, 0, 0},     {255, 255, 255}, {0, 0, 255},
                                       {0, 255, 0},   {255, 0, 0},     {128, 128, 128},
                                       {20, 200, 90}, {250, 10, 130}};
    constexpr int kWidth = 64;
    onEveryTarget([&] {
        for (Range range : {Range::kVideo, Range::kFull})
            for (const auto& bgr : colours) {
                std::vector<std::uint8_t> row(4 * kWidth);
                for (int x = 0; x < kWidth; ++x)
                    std::copy(bgr, bgr + 3, row.begin() + 4 * x);
                Planes planes(kWidth);
                encode(row, row, planes, kWidth, range, false);
                std::vector<std::uint8_t> back(4 * kWidth);
                MvYuvKernels::yuv420RowToBgra(planes.yTop.data(), planes.u.data(),
                                              planes.v.data(), back.data(), kWidth, range);
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(back[4 * 17 + c], bgr[c], 3) << "channel " << c;
            }
        // Black and white halves of a block give the middle grey's chroma.
        std::vector<std::uint8_t> top(4 * kWidth, 0), bottom(4 * kWidth, 255);
        Planes planes(kWidth);
        encode(top, bottom, planes, kWidth, Range::kVideo, false);
        EXPECT_EQ(planes.yTop[5], 16);
        EXPECT_EQ(planes.yBottom[5], 235);
        EXPECT_EQ(planes.u[5], 128);
        EXPECT_EQ(planes.v[5], 128);
    });
}

} // namespace
