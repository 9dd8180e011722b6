// Pixels between offscreen buffers and pixel arrays: every buffer format
// into grey and colour arrays, every pixel type out to an opaque buffer.
#include "image/MvGWorldPixels.h"
#include "thrown_message.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

struct GWorldDeleter {
    void operator()(MvGWorld* gw) const { MvGWorldDelete(gw); }
};
using GWorldPtr = std::unique_ptr<MvGWorld, GWorldDeleter>;

std::uint32_t argbAt(MvGWorld& gw, std::int32_t x, std::int32_t y) {
    MvGWorldDrawScope scope(gw);
    std::uint32_t argb;
    std::memcpy(&argb, gw.getLineX(y) + 4 * x, 4);
    return argb;
}

TEST(GWorldToPixels, BGRAIntoColourAndGrey) {
    GWorldPtr gw(MvGWorldCreate(3, 2));
    {
        MvGWorldDrawScope scope(*gw);
        const std::uint32_t blue = 0x800000FFu;
        std::memcpy(gw->getLineX(1) + 8, &blue, 4);
    }
    const MvPixelArray<bcPix> colour = MvColorPixelsFromGWorld(*gw);
    EXPECT_EQ(colour.width(), 3);
    EXPECT_EQ(colour.height(), 2);
    EXPECT_EQ(colour.at(2, 1).blue, 255);
    EXPECT_EQ(colour.at(2, 1).alpha, 0x80);
    EXPECT_EQ(colour.at(0, 0).alpha, 255);
    const MvPixelArray<bgPix> grey = MvMonoPixelsFromGWorld(*gw);
    EXPECT_EQ(grey.at(2, 1), 27);
    EXPECT_EQ(grey.at(0, 0), 0);
    EXPECT_EQ(gw->getLockCount(), 0);
}

TEST(GWorldToPixels, IndexedAndGreyFormats) {
    MvColorTable table(2, MvColorSpec{0, 0, 0, 0});
    table[1] = MvColorSpec{1, 0xFF00, 0x80FF, 0x0000};
    GWorldPtr indexed(new MvGWorld(MvRect{0, 0, 1, 3}, kMvPixelFormatIndexed8, &table));
    {
        MvGWorldDrawScope scope(*indexed);
        indexed->getLineX(0)[1] = 1;
        indexed->getLineX(0)[2] = 200;   // past the table: black
    }
    const MvPixelArray<bcPix> colour = MvColorPixelsFromGWorld(*indexed);
    EXPECT_EQ(colour.at(1, 0).red, 255);
    EXPECT_EQ(colour.at(1, 0).green, 128);
    EXPECT_EQ(colour.at(1, 0).alpha, 255);
    EXPECT_EQ(colour.at(2, 0).red, 0);
    EXPECT_EQ(MvMonoPixelsFromGWorld(*indexed).at(1, 0), (77 * 255 + 151 * 128) >> 8);

    GWorldPtr grey(new MvGWorld(MvRect{0, 0, 2, 2}, kMvPixelFormatGrey8));
    {
        MvGWorldDrawScope scope(*grey);
        grey->getLineX(1)[0] = 99;
    }
    EXPECT_EQ(MvMonoPixelsFromGWorld(*grey).at(0, 1), 99);
    const MvPixelArray<bcPix> spread = MvColorPixelsFromGWorld(*grey);
    EXPECT_EQ(spread.at(0, 1).green, 99);
    EXPECT_EQ(spread.at(0, 1).alpha, 255);

    unsigned char odd[4] = {1, 2, 3, 4};
    GWorldPtr unknown(new MvGWorld(odd, 4, 16, MvRect{0, 0, 1, 2}));
    EXPECT_EQ(thrownMessage([&] { MvColorPixelsFromGWorld(*unknown); }), "Unknown Pixel Format");
    EXPECT_EQ(thrownMessage([&] { MvMonoPixelsFromGWorld(*unknown); }), "Unknown Pixel Format");
    EXPECT_EQ(unknown->getLockCount(), 0);
}

TEST(PixelsToGWorld, EveryPixelTypeBecomesOpaqueBGRA) {
    MvPixelArray<bgPix> grey(2, 1);
    grey.at(1, 0) = 0x12;
    GWorldPtr a(MvGWorldFromPixels(grey));
    EXPECT_EQ(MvGWorldGetPixelFormat(a.get()), kMvPixelFormatBGRA);
    EXPECT_EQ(argbAt(*a, 1, 0), 0xFF121212u);

    MvPixelArray<bcPix> colour(1, 1);
    colour.at(0, 0) = bcPix{1, 2, 3, 4};
    GWorldPtr b(MvGWorldFromPixels(colour));
    EXPECT_EQ(argbAt(*b, 0, 0), 0x04030201u);

    MvPixelArray<fgPix> floats(1, 2);
    floats.at(0, 1) = 1.5f;
    GWorldPtr c(MvGWorldFromPixels(floats));
    EXPECT_EQ(argbAt(*c, 0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(argbAt(*c, 0, 0), 0xFF000000u);

    MvPixelArray<fcPix> colours(1, 1);
    colours.at(0, 0) = fcPix{0.5f, 1.0f, -1.0f, 0.999f};
    GWorldPtr d(MvGWorldFromPixels(colours));
    EXPECT_EQ(argbAt(*d, 0, 0), 0x7FFF00FEu);

    EXPECT_EQ(thrownMessage([] { MvGWorldFromPixels(MvPixelArray<bgPix>(0, 2)); }),
              "Can't create a frame or image with zero area.");
}

} // namespace
