// Text drawn into pixel arrays of the four pixel types: where it lands,
// clipping at the rectangle and the image edges, colours, encodings, odd
// sizes, a missing font, and drawing from several threads at once.
#include "image/MvFontFace.h"
#include "image/MvTextDrawing.h"
#include "morvane/MvProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

const MvColor kWhite{1.0, 1.0, 1.0};

// A pixel of the background the tests draw on, and whether one differs.
void paintBackground(bgPix& p) { p = 0; }
void paintBackground(bcPix& p) { p = bcPix{0, 0, 0, 255}; }
void paintBackground(fgPix& p) { p = 0.0f; }
void paintBackground(fcPix& p) { p = fcPix{1.0f, 0.0f, 0.0f, 0.0f}; }

bool same(bgPix a, bgPix b) { return a == b; }
bool same(const bcPix& a, const bcPix& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool same(fgPix a, fgPix b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool same(const fcPix& a, const fcPix& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

template <class Pix>
MvPixelArray<Pix> blackFrame(int width, int height) {
    MvPixelArray<Pix> pixels(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            paintBackground(pixels.at(x, y));
    return pixels;
}

// The pixels that differ from the background, counted inside and outside
// the rectangle left .. right - 1, top .. bottom - 1.
struct Changes {
    int inside = 0;
    int outside = 0;
};

template <class Pix>
Changes changes(const MvPixelArray<Pix>& pixels, int left, int top, int right, int bottom) {
    Pix background;
    paintBackground(background);
    Changes result;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            if (!same(pixels.at(x, y), background))
                ++(x >= left && x < right && y >= top && y < bottom ? result.inside
                                                                    : result.outside);
    return result;
}

// Every padding byte after each row's pixels is still 0 (new arrays are
// zeroed), so nothing was written past the right edge of a row.
template <class Pix>
bool paddingUntouched(const MvPixelArray<Pix>& pixels) {
    const std::size_t used = sizeof(Pix) * pixels.width();
    for (int y = 0; y < pixels.height(); ++y) {
        const unsigned char* row = reinterpret_cast<const unsigned char*>(pixels.row(y));
        for (std::size_t i = used; i < pixels.stride(); ++i)
            if (row[i] != 0)
                return false;
    }
    return true;
}

template <class Pix>
bool equalPixels(const MvPixelArray<Pix>& a, const MvPixelArray<Pix>& b) {
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!same(a.at(x, y), b.at(x, y)))
                return false;
    return true;
}

std::string takeWarnings() {
    Mv_stringstream& console = MvGetWarningConsole();
    std::string text = console.str();
    console.str("");
    console.clear();
    MvReleaseWarningConsole();
    return text;
}

template <class Pix>
class TextDrawing : public ::testing::Test {
protected:
    void SetUp() override { takeWarnings(); }
    void TearDown() override { EXPECT_EQ(takeWarnings(), ""); }
};

using PixelTypes = ::testing::Types<bgPix, bcPix, fgPix, fcPix>;
TYPED_TEST_SUITE(TextDrawing, PixelTypes);

TYPED_TEST(TextDrawing, HelloLandsInsideItsRectangleOnly) {
    auto pixels = blackFrame<TypeParam>(120, 60);
    MvDrawText(pixels, "Hello", 20, 20, 100, 40, 14.0, kWhite);
    const Changes result = changes(pixels, 20, 20, 100, 40);
    EXPECT_GT(result.inside, 40);
    EXPECT_EQ(result.outside, 0);
    EXPECT_TRUE(paddingUntouched(pixels));
}

TYPED_TEST(TextDrawing, TheRectangleClipsTheGlyphs) {
    // A rectangle far smaller than the text: only its own pixels change.
    auto pixels = blackFrame<TypeParam>(80, 40);
    MvDrawText(pixels, "WWWWWWWW", 2, 2, 30, 12, 24.0, kWhite);
    const Changes result = changes(pixels, 2, 2, 30, 12);
    EXPECT_GT(result.inside, 0);
    EXPECT_EQ(result.outside, 0);
}

TYPED_TEST(TextDrawing, TheImageEdgesClipTheGlyphs) {
    // Near the right edge, past the bottom, at negative positions and with a
    // rectangle larger than the image: never a write outside the pixels.
    for (int width : {1, 5, 17, 33}) {
        auto pixels = blackFrame<TypeParam>(width, 9);
        MvDrawText(pixels, "Hello, edges", width - 3, -6, 10000, 10000, 14.0, kWhite);
        MvDrawText(pixels, "Hello", -30, 4, width, 9, 14.0, kWhite);
        MvDrawText(pixels, "Hello", -1000000, -1000000, 1000000, 1000000, 14.0, kWhite);
        MvDrawText(pixels, "Hello", std::numeric_limits<int>::min(),
                   std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                   std::numeric_limits<int>::max(), 14.0, kWhite);
        EXPECT_TRUE(paddingUntouched(pixels)) << "width " << width;
    }
    auto pixels = blackFrame<TypeParam>(40, 20);
    MvDrawText(pixels, "Hello", -8, -5, 40, 20, 14.0, kWhite);
    EXPECT_GT(changes(pixels, 0, 0, 40, 20).inside, 0) << "the visible part is drawn";
}

TYPED_TEST(TextDrawing, NothingToDrawChangesNothing) {
    auto pixels = blackFrame<TypeParam>(50, 30);
    const auto before = pixels;
    MvDrawText(pixels, "", 5, 5, 45, 25, 14.0, kWhite);
    MvDrawText(pixels, "\n\r\n", 5, 5, 45, 25, 14.0, kWhite);
    MvDrawText(pixels, "Hello", 5, 5, 5, 25, 14.0, kWhite);       // empty rectangle
    MvDrawText(pixels, "Hello", 30, 20, 10, 10, 14.0, kWhite);    // inverted rectangle
    MvDrawText(pixels, "Hello", 60, 5, 100, 25, 14.0, kWhite);    // right of the image
    MvDrawText(pixels, "Hello", 5, 5, 45, 25, 0.0, kWhite);
    MvDrawText(pixels, "Hello", 5, 5, 45, 25, -14.0, kWhite);
    MvDrawText(pixels, "Hello", 5, 5, 45, 25, std::nan(""), kWhite);
    EXPECT_TRUE(equalPixels(pixels, before));

    MvPixelArray<TypeParam> empty(0, 0);
    MvDrawText(empty, "Hello", 0, 0, 10, 10, 14.0, kWhite);
}

TYPED_TEST(TextDrawing, HugeSizesAreDrawnClipped) {
    auto pixels = blackFrame<TypeParam>(30, 30);
    MvDrawText(pixels, "H", 0, 0, 30, 30, 1e9, kWhite);
    MvDrawText(pixels, "H", 0, 0, 30, 30, std::numeric_limits<double>::infinity(), kWhite);
    EXPECT_EQ(changes(pixels, 0, 0, 30, 30).outside, 0);
    EXPECT_TRUE(paddingUntouched(pixels));
}

TYPED_TEST(TextDrawing, UnknownCharactersAndControlBytesAreHarmless) {
    auto pixels = blackFrame<TypeParam>(100, 30);
    MvDrawText(pixels, std::string("a\0b\x01\x7f\xff\xfe\t\xf4\x90\x80\x80", 12), 0, 0, 100, 30,
               14.0, kWhite);
    MvDrawText(pixels, "\xF0\x9F\x98\x80 \xE2\x80\x8B", 0, 0, 100, 30, 14.0, kWhite);
    EXPECT_EQ(changes(pixels, 0, 0, 100, 30).outside, 0);
}

TEST(TextDrawingColour, FullCoverageTakesTheColourAndKeepsAlpha) {
    auto frame = blackFrame<bcPix>(60, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            frame.at(x, y).alpha = 77;
    MvDrawText(frame, "I", 5, 0, 60, 60, 48.0, MvColor{1.0, 0.5, -3.0});
    int solid = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const bcPix& p = frame.at(x, y);
            EXPECT_EQ(p.alpha, 77);
            EXPECT_EQ(p.blue, 0) << "a negative channel clamps to 0";
            if (p.red == 255) {
                ++solid;
                EXPECT_EQ(p.green, 127) << "0.5 x 255 truncated";
            }
        }
    EXPECT_GT(solid, 20) << "the stem of the I is fully covered";

    auto grey = blackFrame<bgPix>(60, 60);
    MvDrawText(grey, "I", 5, 0, 60, 60, 48.0, MvColor{1.0, 0.0, 0.0});
    int greyMax = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            greyMax = std::max<int>(greyMax, grey.at(x, y));
    EXPECT_EQ(greyMax, 76) << "grey frames take Clamp8(0.3 x 255) of pure red";

    // Float images are not clamped: a channel of 2 stays 2.
    auto image = blackFrame<fcPix>(60, 60);
    MvDrawText(image, "I", 5, 0, 60, 60, 48.0, MvColor{2.0, 0.25, 0.0});
    float redMax = 0.0f, greenAtRedMax = 0.0f;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const fcPix& p = image.at(x, y);
            EXPECT_EQ(p.alpha, 1.0f);
            if (p.red > redMax) {
                redMax = p.red;
                greenAtRedMax = p.green;
            }
        }
    EXPECT_EQ(redMax, 2.0f);
    EXPECT_EQ(greenAtRedMax, 0.25f);
}

TEST(TextDrawingLayout, LineEndsStartNewLinesAtTheLeftEdge) {
    // Rows that hold ink: one band per line, the second below the first.
    auto rowsWithInk = [](const std::string& text) {
        auto pixels = blackFrame<bgPix>(60, 80);
        MvDrawText(pixels, text, 10, 0, 60, 80, 14.0, kWhite);
        std::vector<int> rows;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 60; ++x)
                if (pixels.at(x, y) != 0) {
                    if (x < 10)
                        ADD_FAILURE() << "ink left of the pen's start at " << x << "," << y;
                    rows.push_back(y);
                    break;
                }
        return rows;
    };
    const std::vector<int> one = rowsWithInk("H");
    ASSERT_FALSE(one.empty());
    const std::vector<int> two = rowsWithInk("H\nH");
    const std::vector<int> crlf = rowsWithInk("H\r\nH");
    EXPECT_EQ(two, crlf);
    ASSERT_GT(two.size(), one.size());
    EXPECT_GT(two.back(), one.back() + 10);
    EXPECT_GE(one.front(), 0);
    EXPECT_LT(one.back(), 16) << "a 14-pixel H sits in the first line";
}

TEST(TextDrawingEncoding, Utf8AndLatin1GiveTheSameGlyphs) {
    auto utf8 = blackFrame<bgPix>(80, 30);
    auto latin1 = blackFrame<bgPix>(80, 30);
    auto plain = blackFrame<bgPix>(80, 30);
    MvDrawText(utf8, "caf\xC3\xA9", 0, 0, 80, 30, 14.0, kWhite);
    MvDrawText(latin1, "caf\xE9", 0, 0, 80, 30, 14.0, kWhite);
    MvDrawText(plain, "cafe", 0, 0, 80, 30, 14.0, kWhite);
    EXPECT_TRUE(equalPixels(utf8, latin1));
    EXPECT_FALSE(equalPixels(utf8, plain)) << "the accent is drawn";
}

TEST(TextDrawingFont, AMissingFontWarnsAndDrawsNothing) {
    takeWarnings();
    MvFontFace missing("/nonexistent/morvane-no-such-font.ttf");
    auto pixels = blackFrame<bcPix>(60, 30);
    const auto before = pixels;
    MvDrawTextWithFont(missing, pixels, "Hello", 5, 5, 55, 25, 14.0, kWhite);
    EXPECT_TRUE(equalPixels(pixels, before));
    const std::string warning = takeWarnings();
    EXPECT_NE(warning.find("Text drawing is unavailable"), std::string::npos) << warning;
    EXPECT_NE(warning.find("the font file '/nonexistent/morvane-no-such-font.ttf' could not be "
                           "loaded (cannot open resource)"),
              std::string::npos)
        << warning;
    EXPECT_EQ(warning.back(), '\n');

    // Every later request warns again; the file is not tried again.
    MvDrawTextWithFont(missing, pixels, "Hello", 5, 5, 55, 25, 14.0, kWhite);
    EXPECT_NE(takeWarnings().find("could not be loaded"), std::string::npos);
}

TEST(TextDrawingFont, AFileThatIsNoFontWarnsAndDrawsNothing) {
    takeWarnings();
    MvFontFace notAFont(MORVANE_TEST_NOT_A_FONT);
    auto pixels = blackFrame<fgPix>(60, 30);
    const auto before = pixels;
    MvDrawTextWithFont(notAFont, pixels, "Hello", 5, 5, 55, 25, 14.0, kWhite);
    EXPECT_TRUE(equalPixels(pixels, before));
    EXPECT_NE(takeWarnings().find("could not be loaded (unknown file format)"), std::string::npos);
}

TEST(TextDrawingThreads, SessionsOnSeveralThreadsDrawTheSameText) {
    auto expected = blackFrame<bcPix>(200, 40);
    MvDrawText(expected, "The quick brown fox", 2, 2, 200, 40, 16.0, kWhite);

    std::vector<MvPixelArray<bcPix>> results(4, blackFrame<bcPix>(200, 40));
    std::vector<std::thread> threads;
    for (auto& pixels : results)
        threads.emplace_back([&pixels] {
            for (int round = 0; round < 20; ++round) {
                auto scratch = blackFrame<bcPix>(200, 40);
                MvDrawText(scratch, "The quick brown fox", 2, 2, 200, 40, 16.0, kWhite);
                pixels = std::move(scratch);
            }
        });
    for (auto& thread : threads)
        thread.join();
    for (const auto& pixels : results)
        EXPECT_TRUE(equalPixels(pixels, expected));
}

} // namespace
