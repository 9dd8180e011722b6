// The pixel rules the image values rely on: the conversion table with its
// single-precision constants, and the byte and float arithmetic with
// numbers, colours and images (the vectorised kernels, on rows long enough
// to use vectors, and the scalar twins).
#include "image/MvPixelConvert.h"
#include "image/MvPixelKernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using MvPixel::convert;
using MvPixelKernels::Op;

constexpr int kWidth = 37;   // whole vectors and a tail

// Every pixel of a row of bytes b, after b op (red, green, blue).
std::vector<bgPix> greyWithOperand(bgPix b, Op op, double red, double green, double blue) {
    std::vector<bgPix> row(kWidth, b);
    const auto operand = MvPixelKernels::makeOperand<bgPix>(op, red, green, blue);
    MvPixelKernels::operandRow(op, row.data(), operand, row.data(), kWidth);
    return row;
}

bgPix greyWithNumber(bgPix b, Op op, double n) {
    const std::vector<bgPix> row = greyWithOperand(b, op, n, n, n);
    for (bgPix p : row)
        EXPECT_EQ(p, row[0]);
    return row[0];
}

template <class Pix>
Pix combined(Pix a, Op op, Pix b) {
    std::vector<Pix> left(kWidth, a), right(kWidth, b), out(kWidth);
    MvPixelKernels::combineRow(op, left.data(), right.data(), out.data(), kWidth);
    Pix scalar;
    MvPixelKernels::combineRowScalar(op, &a, &b, &scalar, 1);
    EXPECT_EQ(std::memcmp(&out[kWidth - 1], &scalar, sizeof(Pix)), 0);
    return out[0];
}

TEST(PixelConversion, FloatToByteTruncatesAndClamps) {
    EXPECT_EQ(convert<bgPix>(1.5f), 255);
    EXPECT_EQ(convert<bgPix>(-0.2f), 0);
    EXPECT_EQ(convert<bgPix>(0.999f), 254);
    EXPECT_EQ(convert<bgPix>(1.0f), 255);
    EXPECT_EQ(convert<bgPix>(0.99999994f), 254);   // just below 1: the true product
}

TEST(PixelConversion, ByteColourToGreyUsesIntegerWeights) {
    const bcPix blue{255, 0, 0, 255};
    EXPECT_EQ(convert<bgPix>(blue), 27);   // (28 * 255) >> 8
    const fgPix viaFloat = convert<fgPix>(convert<fcPix>(blue));
    EXPECT_NEAR(viaFloat, 0.11f, 1e-6f);
    EXPECT_EQ(convert<bgPix>(bcPix{255, 255, 255, 0}), 255);
}

TEST(PixelConversion, SinglePrecisionConstants) {
    EXPECT_EQ(MvPixel::kInv255, 0.003921569f);
    EXPECT_EQ(convert<fgPix>(bgPix{255}), 255 * 0.003921569f);
    const fcPix c = convert<fcPix>(bcPix{0, 128, 255, 64});
    EXPECT_EQ(c.alpha, 64 * 0.003921569f);
    EXPECT_EQ(c.red, 255 * 0.003921569f);
    EXPECT_EQ(c.blue, 0.0f);
    const bcPix back = convert<bcPix>(fcPix{0.5f, 1.5f, -1.0f, 0.25f});
    EXPECT_EQ(back.alpha, 127);
    EXPECT_EQ(back.red, 255);
    EXPECT_EQ(back.green, 0);
    EXPECT_EQ(back.blue, 63);
    EXPECT_EQ(convert<bcPix>(bgPix{9}).alpha, 255);
    EXPECT_EQ(convert<fcPix>(fgPix{0.25f}).alpha, 1.0f);
}

TEST(ByteArithmetic, FrameMonoTable) {
    EXPECT_EQ(combined<bgPix>(200, Op::kAdd, 100), 255);
    EXPECT_EQ(combined<bgPix>(50, Op::kSubtract, 100), 0);
    EXPECT_EQ(combined<bgPix>(100, Op::kDivide, 0), 255);
    EXPECT_EQ(combined<bgPix>(0, Op::kDivide, 0), 255);
    EXPECT_EQ(combined<bgPix>(100, Op::kMultiply, 255), 100);
    EXPECT_EQ(combined<bgPix>(255, Op::kMultiply, 254), 254);
    EXPECT_EQ(combined<bgPix>(1, Op::kDivide, 2), 127);
    EXPECT_EQ(combined<bgPix>(200, Op::kDivide, 100), 255);
}

TEST(ByteArithmetic, GreyFactorsComeFromSinglePrecisionWeights) {
    EXPECT_EQ(MvPixelKernels::makeOperand<bgPix>(Op::kMultiply, 1, 1, 1).lane[0], 254);
    EXPECT_EQ(MvPixelKernels::makeOperand<bgPix>(Op::kMultiply, 2, 2, 2).lane[0], 509);
    EXPECT_EQ(MvPixelKernels::makeOperand<bgPix>(Op::kMultiply, 3, 3, 3).lane[0], 764);
    EXPECT_EQ(MvPixelKernels::makeOperand<bgPix>(Op::kMultiply, 0.5, 0.5, 0.5).lane[0], 127);
    EXPECT_EQ(MvPixelKernels::makeOperand<bgPix>(Op::kMultiply, -1, -1, -1).lane[0], -254);
    EXPECT_EQ(greyWithNumber(100, Op::kMultiply, 1), 99);
    EXPECT_EQ(greyWithNumber(100, Op::kMultiply, 2), 199);
    EXPECT_EQ(greyWithNumber(100, Op::kMultiply, 3), 255);
    EXPECT_EQ(greyWithNumber(100, Op::kMultiply, 0.5), 49);
    EXPECT_EQ(greyWithNumber(100, Op::kMultiply, -1), 0);
    EXPECT_EQ(greyWithNumber(100, Op::kMultiply, 1e300), 255);
    EXPECT_EQ(greyWithNumber(0, Op::kMultiply, 1e300), 0);
}

TEST(ByteArithmetic, NumbersAreClampedAddends) {
    EXPECT_EQ(greyWithNumber(100, Op::kAdd, 0.5), 227);    // 0.5 grey * 255 -> 127
    EXPECT_EQ(greyWithNumber(100, Op::kAdd, -0.5), 100);   // a negative addend is 0
    EXPECT_EQ(greyWithNumber(100, Op::kSubtract, 2), 0);
    EXPECT_EQ(greyWithNumber(100, Op::kDivide, 2), 50);    // 100 * 255 / 509
    EXPECT_EQ(greyWithNumber(100, Op::kDivide, -1), 0);
}

TEST(ByteArithmetic, DivisionByAZeroNumberIsDetected) {
    EXPECT_TRUE(MvPixelKernels::dividesByZero(MvPixelKernels::makeOperand<bgPix>(Op::kDivide, 0, 0, 0)));
    EXPECT_TRUE(MvPixelKernels::dividesByZero(
        MvPixelKernels::makeOperand<bgPix>(Op::kDivide, 0.001, 0.001, 0.001)));   // factor 0
    EXPECT_FALSE(MvPixelKernels::dividesByZero(MvPixelKernels::makeOperand<bgPix>(Op::kDivide, 1, 1, 1)));
    EXPECT_TRUE(MvPixelKernels::dividesByZero(MvPixelKernels::makeOperand<bcPix>(Op::kDivide, 1, 0, 1)));
    EXPECT_FALSE(MvPixelKernels::dividesByZero(MvPixelKernels::makeOperand<bcPix>(Op::kDivide, 1, 1, 1)));
    EXPECT_TRUE(MvPixelKernels::dividesByZero(MvPixelKernels::makeOperand<fgPix>(Op::kDivide, 0, 0, 0)));
    EXPECT_TRUE(MvPixelKernels::dividesByZero(MvPixelKernels::makeOperand<fcPix>(Op::kDivide, 0, 1, 1)));
    EXPECT_FALSE(MvPixelKernels::dividesByZero(MvPixelKernels::makeOperand<fcPix>(Op::kDivide, 1, 1, 1)));
}

TEST(ByteArithmetic, ColourFramesKeepTheLeftAlpha) {
    std::vector<bcPix> row(kWidth, bcPix{100, 100, 100, 77});
    const auto times = MvPixelKernels::makeOperand<bcPix>(Op::kMultiply, 1, 1, 1);
    MvPixelKernels::operandRow(Op::kMultiply, row.data(), times, row.data(), kWidth);
    EXPECT_EQ(row[kWidth - 1].blue, 100);   // factor 255 in every channel
    EXPECT_EQ(row[kWidth - 1].alpha, 77);
    const bcPix sum = combined(bcPix{10, 20, 250, 5}, Op::kAdd, bcPix{1, 2, 10, 200});
    EXPECT_EQ(sum.blue, 11);
    EXPECT_EQ(sum.green, 22);
    EXPECT_EQ(sum.red, 255);
    EXPECT_EQ(sum.alpha, 5);
    const auto plus = MvPixelKernels::makeOperand<bcPix>(Op::kAdd, 1.0, 0.0, 0.5);
    std::vector<bcPix> row2(kWidth, bcPix{0, 0, 0, 9});
    MvPixelKernels::operandRow(Op::kAdd, row2.data(), plus, row2.data(), kWidth);
    EXPECT_EQ(row2[3].red, 255);
    EXPECT_EQ(row2[3].green, 0);
    EXPECT_EQ(row2[3].blue, 127);
    EXPECT_EQ(row2[3].alpha, 9);
}

TEST(FloatArithmetic, DivisionByAZeroPixelGivesTenToTheTen) {
    EXPECT_EQ(combined<fgPix>(0.5f, Op::kDivide, 0.0f), 1e10f);
    EXPECT_EQ(combined<fgPix>(0.5f, Op::kDivide, -0.0f), 1e10f);
    EXPECT_EQ(combined<fgPix>(0.5f, Op::kDivide, 0.25f), 2.0f);
    const fcPix q = combined(fcPix{0.3f, 1.0f, 1.0f, 1.0f}, Op::kDivide, fcPix{0.0f, 0.0f, 2.0f, 4.0f});
    EXPECT_EQ(q.alpha, 0.3f);
    EXPECT_EQ(q.red, 1e10f);
    EXPECT_EQ(q.green, 0.5f);
    EXPECT_EQ(q.blue, 0.25f);
}

TEST(FloatArithmetic, PlainOperationsAndAlpha) {
    EXPECT_EQ(combined<fgPix>(0.5f, Op::kAdd, 0.75f), 1.25f);
    EXPECT_EQ(combined<fgPix>(0.5f, Op::kSubtract, 0.75f), -0.25f);
    const fcPix p = combined(fcPix{-0.0f, 0.5f, 0.5f, 0.5f}, Op::kMultiply, fcPix{9, 2, 3, 4});
    EXPECT_TRUE(std::signbit(p.alpha));
    EXPECT_EQ(p.blue, 2.0f);
    std::vector<fcPix> row(kWidth, fcPix{-0.0f, 0.5f, 0.5f, 0.5f});
    const auto plus = MvPixelKernels::makeOperand<fcPix>(Op::kAdd, 1.0, 2.0, 3.0);
    MvPixelKernels::operandRow(Op::kAdd, row.data(), plus, row.data(), kWidth);
    EXPECT_TRUE(std::signbit(row[5].alpha));   // alpha passes through, sign and all
    EXPECT_EQ(row[5].red, 1.5f);
    EXPECT_EQ(row[5].blue, 3.5f);
    // A number on a grey image is its grey value, in single precision.
    EXPECT_EQ(MvPixelKernels::makeOperand<fgPix>(Op::kMultiply, 1, 1, 1).lane[0], 1.0f);
}

} // namespace
