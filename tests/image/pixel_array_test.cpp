// Pixel arrays: strides, alignment and allocation sizes per pixel type,
// zeroed storage, copies, the two ways of filling from an array of another
// size, the allocation errors; and the whole-array operations built on them
// (partial blocks of images of different sizes, conversions, statistics).
#include "image/MvPixelArray.h"
#include "image/MvPixelOps.h"
#include "thrown_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

template <class Pix>
bool allZero(const MvPixelArray<Pix>& a) {
    for (std::int32_t y = 0; y < a.height(); ++y) {
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(a.row(y));
        for (std::size_t i = 0; i < sizeof(Pix) * a.width(); ++i)
            if (bytes[i] != 0)
                return false;
    }
    return true;
}

template <class Pix>
void expectLayout(std::int32_t width, std::int32_t height, std::size_t stride, std::size_t align) {
    MvPixelArray<Pix> a(width, height);
    EXPECT_EQ(a.stride(), stride) << width;
    EXPECT_EQ(a.allocationSize(), stride * height + align) << width;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a.data()) % align, 0u) << width;
    EXPECT_EQ(a.flags(), 0u);
    EXPECT_TRUE(allZero(a));
    if (height > 1) {
        EXPECT_EQ(reinterpret_cast<const unsigned char*>(a.row(1)) -
                      reinterpret_cast<const unsigned char*>(a.row(0)),
                  static_cast<std::ptrdiff_t>(stride));
    }
}

TEST(PixelArrayLayout, StridesAlignmentsAndSizes) {
    expectLayout<bgPix>(1, 3, 16, 16);
    expectLayout<bgPix>(16, 2, 16, 16);
    expectLayout<bgPix>(17, 2, 32, 16);
    expectLayout<bcPix>(1, 2, 64, 64);
    expectLayout<bcPix>(16, 2, 64, 64);
    expectLayout<bcPix>(17, 2, 128, 64);
    expectLayout<fgPix>(17, 2, 128, 64);
    expectLayout<fcPix>(1, 2, 256, 256);
    expectLayout<fcPix>(16, 2, 256, 256);
    expectLayout<fcPix>(17, 5, 512, 256);
}

TEST(PixelArrayLayout, EmptyArraysAreLegal) {
    MvPixelArray<fcPix> none;
    EXPECT_TRUE(none.empty());
    MvPixelArray<bgPix> zeroWide(0, 4);
    EXPECT_TRUE(zeroWide.empty());
    EXPECT_EQ(zeroWide.stride(), 0u);
    EXPECT_EQ(zeroWide.allocationSize(), 16u);
    MvPixelArray<bgPix> copy(zeroWide);
    EXPECT_EQ(copy.height(), 4);
}

// Large blocks are reused: an array made where a dropped one was must
// still start zeroed, and an unfilled array still has zeroed row padding.
TEST(PixelArrayAllocation, ReusedBlocksStartZeroed) {
    for (int round = 0; round < 6; ++round) {
        MvPixelArray<bcPix> dirty(1000, 400, MvPixelArray<bcPix>::Unfilled{});
        for (std::int32_t y = 0; y < dirty.height(); ++y)
            for (std::int32_t x = 0; x < dirty.width(); ++x)
                dirty.at(x, y) = bcPix{1, 2, 3, 4};
    }
    for (int round = 0; round < 6; ++round) {
        MvPixelArray<bcPix> fresh(1000, 400);
        EXPECT_TRUE(allZero(fresh)) << round;
    }
    for (std::int32_t width : {1, 15, 16, 17, 1001}) {
        {
            MvPixelArray<bgPix> dirty(width, 1100);
            for (std::int32_t y = 0; y < dirty.height(); ++y)
                std::memset(dirty.row(y), 0xFF, dirty.stride());
        }
        MvPixelArray<bgPix> unfilled(width, 1100, MvPixelArray<bgPix>::Unfilled{});
        ASSERT_EQ(unfilled.width(), width);
        for (std::int32_t y = 0; y < unfilled.height(); ++y) {
            const unsigned char* padding =
                reinterpret_cast<const unsigned char*>(unfilled.row(y)) + width;
            for (std::size_t i = 0; i < unfilled.stride() - std::size_t(width); ++i)
                ASSERT_EQ(padding[i], 0) << width << " row " << y;
        }
    }
}

TEST(PixelArrayAllocation, FailuresRaiseTheMemoryError) {
    auto expectMemoryError = [](auto make) {
        try {
            make();
            ADD_FAILURE() << "nothing was thrown";
        } catch (MvException* e) {
            EXPECT_NE(dynamic_cast<MvMemoryException*>(e), nullptr);
            EXPECT_NE(e->getMessage().find("During allocation of image data."), std::string::npos)
                << e->getMessage();
            delete e;
        }
    };
    expectMemoryError([] { MvPixelArray<bgPix> a(-1, 4); });
    expectMemoryError([] { MvPixelArray<fcPix> a(4, -1); });
    expectMemoryError([] { MvPixelArray<fcPix> a(0x7FFFFFFF, 0x7FFFFFFF); });
}

TEST(PixelArrayRows, CheckedRowsUseTheIndexMessages) {
    MvPixelArray<bgPix> a(3, 2);
    EXPECT_EQ(thrownMessage([&] { a.checkedRow(-1); }), "Index \"-1\" is too small (< 0).");
    EXPECT_EQ(thrownMessage([&] { a.checkedRow(2); }), "Index \"2\" is too large (> 1).");
    EXPECT_EQ(a.checkedRow(1), a.row(1));
}

MvPixelArray<bgPix> numbered(std::int32_t width, std::int32_t height) {
    MvPixelArray<bgPix> a(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            a.at(x, y) = static_cast<bgPix>(10 * y + x);
    return a;
}

TEST(PixelArrayFill, CopiesAndTopLeftBlocks) {
    const MvPixelArray<bgPix> source = numbered(4, 3);
    MvPixelArray<bgPix> copy = source;
    EXPECT_EQ(copy.at(3, 2), 23);
    MvPixelArray<bgPix> grown(source, 6, 2, MvPixelFill::kCopyTopLeft);
    EXPECT_EQ(grown.at(3, 1), 13);
    EXPECT_EQ(grown.at(4, 1), 0);
    EXPECT_EQ(grown.at(5, 0), 0);
    MvPixelArray<bgPix> moved(std::move(copy));
    EXPECT_EQ(moved.at(1, 1), 11);
    copy = moved;
    EXPECT_EQ(copy.at(2, 2), 22);
}

TEST(PixelArrayFill, NearestNeighbour) {
    const MvPixelArray<bgPix> source = numbered(4, 2);
    MvPixelArray<bgPix> doubled(source, 8, 4, MvPixelFill::kNearestNeighbour);
    EXPECT_EQ(doubled.at(0, 0), 0);
    EXPECT_EQ(doubled.at(1, 1), 0);
    EXPECT_EQ(doubled.at(7, 3), 13);
    EXPECT_EQ(doubled.at(4, 2), 12);
    MvPixelArray<bgPix> halved(source, 2, 1, MvPixelFill::kNearestNeighbour);
    EXPECT_EQ(halved.at(0, 0), 0);
    EXPECT_EQ(halved.at(1, 0), 2);
    // Three into one hundred: trunc(x * 3 / 100) in double precision.
    const MvPixelArray<bgPix> three = numbered(3, 1);
    MvPixelArray<bgPix> wide(three, 100, 1, MvPixelFill::kNearestNeighbour);
    EXPECT_EQ(wide.at(33, 0), 0);
    EXPECT_EQ(wide.at(34, 0), 1);
    EXPECT_EQ(wide.at(67, 0), 2);
    MvPixelArray<bgPix> fromEmpty(MvPixelArray<bgPix>(), 3, 3, MvPixelFill::kNearestNeighbour);
    EXPECT_TRUE(allZero(fromEmpty));
}

// ------------------------------------------------------------ whole arrays

MvPixelArray<bcPix> filled(std::int32_t width, std::int32_t height, bcPix p) {
    MvPixelArray<bcPix> a(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            a.at(x, y) = p;
    return a;
}

TEST(PixelArrayOps, ImagesOfDifferentSizesCombineOverTheCommonBlock) {
    const MvPixelArray<bcPix> left = filled(10, 10, bcPix{10, 10, 10, 255});
    const MvPixelArray<bcPix> right = filled(20, 5, bcPix{5, 5, 5, 255});
    MvPixelArray<bcPix> out(10, 10);
    MvCombineImages(MvPixelKernels::Op::kAdd, left, right, out);
    EXPECT_EQ(out.at(9, 4).blue, 15);
    EXPECT_EQ(out.at(0, 0).red, 15);
    EXPECT_EQ(out.at(9, 5).blue, 10);   // outside: the left operand's pixels
    EXPECT_EQ(out.at(0, 9).green, 10);
    // The other way round: 20 x 5 + 10 x 10 computes the left 10 columns.
    MvPixelArray<bcPix> out2(20, 5);
    MvCombineImages(MvPixelKernels::Op::kAdd, right, left, out2);
    EXPECT_EQ(out2.at(9, 4).blue, 15);
    EXPECT_EQ(out2.at(10, 4).blue, 5);
    EXPECT_EQ(out2.at(19, 0).alpha, 255);
}

TEST(PixelArrayOps, LargeResultsWrittenPastTheCachesAreTheSame) {
    // 1200 x 440 colour pixels: a result of more than 8 MiB.
    MvPixelArray<fcPix> left(1200, 440), right(1200, 440), out(1200, 440);
    left.at(1199, 439) = fcPix{0.5f, 1.0f, 2.0f, 3.0f};
    right.at(1199, 439) = fcPix{9.0f, 4.0f, 0.0f, 2.0f};
    left.at(7, 3) = fcPix{1.0f, 1.0f, 1.0f, 1.0f};
    MvCombineImages(MvPixelKernels::Op::kDivide, left, right, out);
    EXPECT_EQ(out.at(1199, 439).alpha, 0.5f);
    EXPECT_EQ(out.at(1199, 439).red, 0.25f);
    EXPECT_EQ(out.at(1199, 439).green, 1e10f);
    EXPECT_EQ(out.at(1199, 439).blue, 1.5f);
    EXPECT_EQ(out.at(7, 3).red, 1e10f);
    const auto twice = MvPixelKernels::makeOperand<fcPix>(MvPixelKernels::Op::kMultiply, 2, 2, 2);
    MvCombineOperand(MvPixelKernels::Op::kMultiply, left, twice, out);
    EXPECT_EQ(out.at(1199, 439).blue, 6.0f);
    EXPECT_EQ(out.at(1199, 439).alpha, 0.5f);
    EXPECT_EQ(out.at(0, 0).red, 0.0f);
}

TEST(PixelArrayOps, MixedTypesConvertTheRightOperand) {
    MvPixelArray<fgPix> left(3, 2);
    MvPixelArray<bgPix> right(2, 2);
    right.at(1, 1) = 255;
    MvCombineImages(MvPixelKernels::Op::kAdd, left, right, left);
    EXPECT_EQ(left.at(1, 1), 255 * MvPixel::kInv255);
    EXPECT_EQ(left.at(2, 1), 0.0f);
    MvPixelArray<fcPix> colour = MvConvertPixels<fcPix>(left);
    EXPECT_EQ(colour.at(1, 1).green, left.at(1, 1));
    EXPECT_EQ(colour.at(0, 0).alpha, 1.0f);
    const auto operand = MvPixelKernels::makeOperand<fcPix>(MvPixelKernels::Op::kMultiply, 2, 2, 2);
    MvCombineOperand(MvPixelKernels::Op::kMultiply, colour, operand, colour);
    EXPECT_EQ(colour.at(1, 1).red, 2 * left.at(1, 1));
    EXPECT_EQ(colour.at(1, 1).alpha, 1.0f);
}

TEST(PixelArrayOps, Statistics) {
    MvPixelArray<bgPix> grey(2, 2);
    grey.at(0, 0) = 2;
    grey.at(1, 0) = 4;
    grey.at(0, 1) = 4;
    grey.at(1, 1) = 6;
    const MvGreyStatistics s = MvComputeGreyStatistics(grey);
    EXPECT_EQ(s.count, 4.0);
    EXPECT_EQ(s.average, 4.0);
    EXPECT_DOUBLE_EQ(s.sdev, std::sqrt(2.0));
    EXPECT_EQ(s.minimum, 2.0);
    EXPECT_EQ(s.maximum, 6.0);
    const MvGreyStatistics empty = MvComputeGreyStatistics(MvPixelArray<fcPix>(0, 3));
    EXPECT_EQ(empty.average, 1e10);
    EXPECT_EQ(empty.sdev, 1e10);
    MvPixelArray<fcPix> colour(1, 1);
    colour.at(0, 0) = fcPix{1, 1, 0, 0};
    EXPECT_DOUBLE_EQ(MvComputeGreyStatistics(colour).maximum, double{0.3f});
}

TEST(PixelArrayOps, ChannelFunctionsLeaveAlpha) {
    MvPixelArray<fcPix> colour(2, 1);
    colour.at(1, 0) = fcPix{0.5f, 4, 9, 16};
    MvApplyToChannels(colour, [](float v) { return std::sqrt(v); });
    EXPECT_EQ(colour.at(1, 0).alpha, 0.5f);
    EXPECT_EQ(colour.at(1, 0).green, 3.0f);
    MvPixelArray<fgPix> grey(1, 1);
    grey.at(0, 0) = -2;
    MvApplyToChannels(grey, [](float v) { return std::fabs(v); });
    EXPECT_EQ(grey.at(0, 0), 2.0f);
}

} // namespace
