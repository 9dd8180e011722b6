// The vectorised pixel kernels against their scalar twins: every operator,
// conversion and statistic, on rows of widths 1 to 67 that start at odd
// positions of their buffers, with values at the clamping edges, in place
// and out of place.
#include "image/MvPixelArray.h"
#include "image/MvPixelKernels.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using MvPixelKernels::Op;

const Op kOps[] = {Op::kAdd, Op::kSubtract, Op::kMultiply, Op::kDivide};
constexpr int kWidest = 67;

std::string opName(Op op) {
    switch (op) {
    case Op::kAdd: return "+";
    case Op::kSubtract: return "-";
    case Op::kMultiply: return "*";
    case Op::kDivide: return "/";
    }
    return "?";
}

// Bytes: mostly the edges 0, 1, 254, 255 and their neighbours, some at random.
std::uint8_t randomByte(std::mt19937& random) {
    static const std::uint8_t edges[] = {0, 0, 1, 2, 127, 128, 253, 254, 255, 255};
    if (random() % 2)
        return edges[random() % 10];
    return static_cast<std::uint8_t>(random());
}

// Floats: 0 of both signs, 1, just below and above 1, the clamping edges of
// the byte conversions (v * 255 near a whole number), negatives, values far
// out of range; no NaN.
float randomFloat(std::mt19937& random) {
    static const float edges[] = {0.0f, -0.0f, 1.0f, 0.99999994f, 1.0000001f, 0.999f, 1.5f,
                                  -0.2f, 254.5f / 255.0f, 1.0f / 255.0f, 0.5f, 1e10f, -1e10f,
                                  1e-30f, 2.0f};
    if (random() % 2)
        return edges[random() % (sizeof(edges) / sizeof(edges[0]))];
    std::uniform_real_distribution<float> unit(-0.25f, 1.25f);
    return unit(random);
}

void fill(std::mt19937& random, bgPix& p) { p = randomByte(random); }
void fill(std::mt19937& random, bcPix& p) {
    p = bcPix{randomByte(random), randomByte(random), randomByte(random), randomByte(random)};
}
void fill(std::mt19937& random, fgPix& p) { p = randomFloat(random); }
void fill(std::mt19937& random, fcPix& p) {
    p = fcPix{randomFloat(random), randomFloat(random), randomFloat(random), randomFloat(random)};
}

// A row of width pixels at an odd offset inside a larger buffer.
template <class Pix>
struct Row {
    Row(std::mt19937& random, int width, int offset) : buffer(width + 8), offset(offset), width(width) {
        for (Pix& p : buffer)
            fill(random, p);
    }
    Pix* data() { return buffer.data() + offset; }
    std::vector<Pix> buffer;
    int offset;
    int width;
};

template <class Pix>
bool sameBytes(const std::vector<Pix>& a, const std::vector<Pix>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(Pix) * a.size()) == 0;
}

// Runs check once for every instruction set the kernels were built for and
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

template <class Pix>
class PixelKernels : public ::testing::Test {};

using PixelTypes = ::testing::Types<bgPix, bcPix, fgPix, fcPix>;
TYPED_TEST_SUITE(PixelKernels, PixelTypes);

TYPED_TEST(PixelKernels, ImageOperandsMatchTheTwin) {
    onEveryTarget([&] {
        using Pix = TypeParam;
        std::mt19937 random(12);
        for (int width = 1; width <= kWidest; ++width) {
            for (Op op : kOps) {
                Row<Pix> a(random, width, width % 3 + 1), b(random, width, width % 2 + 1);
                Row<Pix> vector = a, scalar = a;
                MvPixelKernels::combineRow(op, a.data(), b.data(), vector.data(), width);
                MvPixelKernels::combineRowScalar(op, a.data(), b.data(), scalar.data(), width);
                ASSERT_TRUE(sameBytes(vector.buffer, scalar.buffer)) << opName(op) << " width " << width;
                // In place: the result overwrites the left operand.
                Row<Pix> inPlace = a;
                MvPixelKernels::combineRow(op, inPlace.data(), b.data(), inPlace.data(), width);
                ASSERT_TRUE(sameBytes(inPlace.buffer, scalar.buffer)) << opName(op) << " width " << width;
                // Past the caches, into an aligned row.
                MvPixelArray<Pix> aligned(width, 1);
                MvPixelKernels::combineRow(op, a.data(), b.data(), aligned.row(0), width, true);
                ASSERT_EQ(std::memcmp(aligned.row(0), scalar.data(), sizeof(Pix) * width), 0)
                    << opName(op) << " streamed, width " << width;
            }
        }
    });
}

TYPED_TEST(PixelKernels, NumberAndColourOperandsMatchTheTwin) {
    onEveryTarget([&] {
        using Pix = TypeParam;
        const double values[] = {0.0, 1.0, 0.5, 2.0, 3.0, -1.0, 1e6, -1e6, 0.003, 1.0 / 255.0,
                                 254.0 / 255.0, 0.7, 257.0};
        std::mt19937 random(34);
        for (int width = 1; width <= kWidest; ++width) {
            for (Op op : kOps) {
                const double red = values[random() % 13], green = values[random() % 13];
                const double blue = values[random() % 13];
                const auto operand = MvPixelKernels::makeOperand<Pix>(op, red, green, blue);
                Row<Pix> a(random, width, width % 3 + 1);
                Row<Pix> vector = a, scalar = a;
                MvPixelKernels::operandRow(op, a.data(), operand, vector.data(), width);
                MvPixelKernels::operandRowScalar(op, a.data(), operand, scalar.data(), width);
                ASSERT_TRUE(sameBytes(vector.buffer, scalar.buffer))
                    << opName(op) << " (" << red << ", " << green << ", " << blue << ") width " << width;
                MvPixelArray<Pix> aligned(width, 1);
                MvPixelKernels::operandRow(op, a.data(), operand, aligned.row(0), width, true);
                ASSERT_EQ(std::memcmp(aligned.row(0), scalar.data(), sizeof(Pix) * width), 0)
                    << opName(op) << " streamed, width " << width;
                MvPixelKernels::operandRow(op, a.data(), operand, a.data(), width);
                ASSERT_TRUE(sameBytes(a.buffer, scalar.buffer)) << opName(op) << " in place";
            }
        }
    });
}

TYPED_TEST(PixelKernels, GreyStatisticsMatchTheTwin) {
    onEveryTarget([&] {
        using Pix = TypeParam;
        const bool bytes = sizeof(typename MvPixelKernels::Traits<Pix>::Lane) == 1;
        std::mt19937 random(56);
        for (int width = 1; width <= kWidest; ++width) {
            Row<Pix> row(random, width, width % 3);
            const auto vector = MvPixelKernels::greyTotalsRow(row.data(), width);
            const auto scalar = MvPixelKernels::greyTotalsRowScalar(row.data(), width);
            EXPECT_EQ(vector.minimum, scalar.minimum) << width;
            EXPECT_EQ(vector.maximum, scalar.maximum) << width;
            const double centre = scalar.sum / width;
            const double v = MvPixelKernels::greySquaredDeviationRow(row.data(), width, centre);
            const double s = MvPixelKernels::greySquaredDeviationRowScalar(row.data(), width, centre);
            if (bytes) {
                EXPECT_EQ(vector.sum, scalar.sum) << width;
                EXPECT_EQ(v, s) << width;
            } else {
                EXPECT_NEAR(vector.sum, scalar.sum, 1e-12 * (1.0 + std::fabs(scalar.sum) + 1e10 * width))
                    << width;
                EXPECT_NEAR(v, s, 1e-12 * (1.0 + std::fabs(s))) << width;
            }
        }
    });
}

TEST(PixelKernelsStatistics, AnEmptyRowHasNoExtremes) {
    const bgPix row[1] = {7};
    const auto totals = MvPixelKernels::greyTotalsRow(row, 0);
    EXPECT_EQ(totals.sum, 0.0);
    EXPECT_EQ(totals.minimum, HUGE_VAL);
    EXPECT_EQ(totals.maximum, -HUGE_VAL);
}

// Every conversion of the table, both directions.
template <class To, class From>
void expectConversionMatchesTwin(std::mt19937& random) {
    for (int width = 1; width <= kWidest; ++width) {
        Row<From> in(random, width, width % 3 + 1);
        std::mt19937 same(width);
        Row<To> vector(same, width, 1), scalar = vector;
        MvPixelKernels::convertRow(in.data(), vector.data(), width);
        MvPixelKernels::convertRowScalar(in.data(), scalar.data(), width);
        ASSERT_TRUE(sameBytes(vector.buffer, scalar.buffer)) << "width " << width;
    }
}

template <class From>
void expectConversionsFrom(std::mt19937& random) {
    expectConversionMatchesTwin<bgPix, From>(random);
    expectConversionMatchesTwin<bcPix, From>(random);
    expectConversionMatchesTwin<fgPix, From>(random);
    expectConversionMatchesTwin<fcPix, From>(random);
}

TYPED_TEST(PixelKernels, ConversionsMatchTheTwin) {
    onEveryTarget([&] {
        std::mt19937 random(78);
        expectConversionsFrom<TypeParam>(random);
    });
}

} // namespace
