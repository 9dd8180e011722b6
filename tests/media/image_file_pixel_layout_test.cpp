// Reading files whose pixels come in the packed layouts (RGB, BGR, RGBA,
// BGRA, from PNG, BMP, TGA, SGI, QOI, PNM and TIFF) at sizes around the
// frames' row alignment: every pixel, alpha included, comes back exactly,
// however the reader gets them into the frame. And the memory limit holds
// for the frame a file would need.
#include "media_support.h"

#include "morvane/MvMemoryLimit.h"

#include <algorithm>

namespace {

// Every channel differs from the others and from its neighbours, so that a
// swapped channel, a shifted pixel or a row taken from its neighbour shows.
Rgba distinct(int x, int y) {
    return Rgba{(x * 7 + y * 3 + 1) % 256, (x * 11 + y * 5 + 2) % 256, (x * 13 + y * 17 + 3) % 256,
                255};
}

Rgba translucent(int x, int y) {
    Rgba p = distinct(x, y);
    p.alpha = (x * 29 + y * 31 + 5) % 256;
    return p;
}

// Widths on both sides of the alignment of a frame's rows (16 pixels) and
// of the four-pixel steps a row is converted in; heights of one row and
// more.
const int kSizes[][2] = {{1, 1}, {2, 3}, {3, 1}, {5, 2}, {15, 2}, {16, 2}, {17, 3},
                         {48, 1}, {63, 2}, {64, 2}, {65, 1}, {1, 33}};

const char* const kLosslessTypes[] = {"PNG", "BMP", "TGA", "SGI", "QOI", "PNM", "TIFF"};

std::string endingOf(const std::string& type) {
    std::string ending = type;
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending;
}

bool available(const std::string& type) {
    const std::vector<std::string> names = availableCompressions();
    return std::find(names.begin(), names.end(), type) != names.end();
}

class PackedPixelFiles : public MediaFolderTest {
protected:
    void TearDown() override {
        MvSetMemoryLimit(0);
        MediaFolderTest::TearDown();
    }

    // Writes a w x h frame of pattern as type, reads it back and expects
    // every pixel; alpha is compared only where the type keeps it.
    template <class F>
    void expectExactRoundTrip(const std::string& type, int w, int h, F pattern, bool withAlpha) {
        SCOPED_TRACE(type + " " + std::to_string(w) + " x " + std::to_string(h) +
                     (withAlpha ? " with alpha" : " opaque"));
        OwnedValue frame = colourFrame(w, h, pattern);
        setCompression(frame.get(), type);
        const std::string path = at("layout." + endingOf(type));
        frame->SaveToFile(path.c_str());
        OwnedValue back = load(path);
        ASSERT_EQ(MvValueGetMvType(back.get()), MvTypeFrame);
        ASSERT_EQ(MvImageGetWidth(back.get()), w);
        ASSERT_EQ(MvImageGetHeight(back.get()), h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgba got = colourPixel(back.get(), x, y), want = pattern(x, y);
                ASSERT_EQ(got.red, want.red) << x << "," << y;
                ASSERT_EQ(got.green, want.green) << x << "," << y;
                ASSERT_EQ(got.blue, want.blue) << x << "," << y;
                ASSERT_EQ(got.alpha, withAlpha ? want.alpha : 255) << x << "," << y;
            }
    }
};

} // namespace

TEST_F(PackedPixelFiles, OpaquePixelsComeBackExactlyAtEverySize) {
    for (const char* type : kLosslessTypes) {
        if (!available(type))
            continue;
        for (const auto& size : kSizes)
            expectExactRoundTrip(type, size[0], size[1], distinct, false);
    }
}

TEST_F(PackedPixelFiles, TranslucentPixelsComeBackExactlyAtEverySize) {
    for (const char* type : {"PNG", "BMP", "TGA", "SGI", "QOI", "TIFF"}) {
        if (!available(type))
            continue;
        for (const auto& size : kSizes)
            expectExactRoundTrip(type, size[0], size[1], translucent, true);
    }
}

TEST_F(PackedPixelFiles, AFileFromImageMagickReadsPixelForPixel) {
    if (!haveTool("convert"))
        GTEST_SKIP() << "ImageMagick is missing (scripts/install-deps.sh)";
    // A 21 x 7 gradient, written by ImageMagick as PNG (RGB), PNG with alpha
    // and BMP, each compared with the same pixels as a plain PPM. (Not TGA:
    // ImageMagick 6 writes its rows the other way up from what it declares.)
    const std::string source = at("gradient.ppm");
    ASSERT_TRUE(runTool("convert -size 21x7 gradient:red-blue -depth 8 " + quoted(source)));
    OwnedValue reference = load(source);
    ASSERT_EQ(MvValueGetMvType(reference.get()), MvTypeFrame);
    const struct {
        const char* format;   // ImageMagick's output format
        const char* name;
    } copies[] = {{"PNG24", "g.png"}, {"PNG32", "g32.png"}, {"BMP3", "g.bmp"}};
    for (const auto& copy : copies) {
        SCOPED_TRACE(copy.format);
        const std::string path = at(copy.name);
        ASSERT_TRUE(runTool("convert " + quoted(source) + " " + copy.format + ":" + quoted(path)));
        OwnedValue back = load(path);
        ASSERT_EQ(MvImageGetWidth(back.get()), 21);
        ASSERT_EQ(MvImageGetHeight(back.get()), 7);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 21; ++x) {
                const Rgba got = colourPixel(back.get(), x, y);
                const Rgba want = colourPixel(reference.get(), x, y);
                ASSERT_EQ(got.red, want.red) << x << "," << y;
                ASSERT_EQ(got.green, want.green) << x << "," << y;
                ASSERT_EQ(got.blue, want.blue) << x << "," << y;
                ASSERT_EQ(got.alpha, 255) << x << "," << y;
            }
    }
}

TEST_F(PackedPixelFiles, TheMemoryLimitRefusesTheFrameAFileWouldNeed) {
    // 600 x 600 pixels need 1.44 MB as a frame; the files themselves are
    // small. Colour and grey pictures, opaque and translucent, all fail the
    // same way and leave nothing behind.
    const std::string colour = at("big.png"), grey = at("big-grey.png"), alpha = at("big-a.png");
    OwnedValue frame = colourFrame(600, 600, [](int, int) { return Rgba{10, 20, 30, 255}; });
    setCompression(frame.get(), "PNG");
    frame->SaveToFile(colour.c_str());
    OwnedValue clear = colourFrame(600, 600, [](int, int) { return Rgba{10, 20, 30, 40}; });
    setCompression(clear.get(), "PNG");
    clear->SaveToFile(alpha.c_str());
    OwnedValue mono = greyFrame(1200, 1200, [](int, int) { return 7; });
    setCompression(mono.get(), "PNG");
    mono->SaveToFile(grey.c_str());

    MvSetMemoryLimit(1 << 20);
    for (const std::string& path : {colour, alpha, grey}) {
        SCOPED_TRACE(path);
        const std::string message = thrownMessage([&] { load(path); });
        EXPECT_EQ(message.rfind("Out of Memory (image would need ", 0), 0u) << message;
    }
    MvSetMemoryLimit(0);
    EXPECT_EQ(MvImageGetWidth(load(colour).get()), 600);
}
