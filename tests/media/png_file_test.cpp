// PNG files as frames write them: the colour type follows the pixels (one
// translucent pixel is enough for RGBA), and quality chooses zlib's level
// from stored rows to the smallest file, all of them lossless.
#include "media_support.h"

namespace {

class PngFiles : public MediaFolderTest {
protected:
    std::string saved(MvValue* frame, const std::string& name, double quality) {
        setCompression(frame, "PNG");
        setQuality(frame, quality);
        const std::string path = at(name);
        frame->SaveToFile(path.c_str());
        return path;
    }

    // The PNG colour type in the file's header (0 grey, 2 RGB, 6 RGBA).
    static int colourTypeOf(const std::string& path) {
        const std::string bytes = fileBytes(path);
        EXPECT_GT(bytes.size(), 26u);
        EXPECT_EQ(bytes.substr(12, 4), "IHDR");
        return bytes.size() > 25 ? static_cast<unsigned char>(bytes[25]) : -1;
    }
};

} // namespace

TEST_F(PngFiles, OneTranslucentPixelMakesTheFileRgba) {
    const int w = 23, h = 9;
    OwnedValue frame = colourFrame(w, h, testPattern);
    EXPECT_EQ(colourTypeOf(saved(frame.get(), "opaque.png", 0.5)), 2);
    // The last pixel of the last row, the one a scan reaches last.
    MvFrameColorSetPixelARGB(frame.get(), w - 1, h - 1, 0xFE102030u);
    const std::string path = saved(frame.get(), "one.png", 0.5);
    EXPECT_EQ(colourTypeOf(path), 6);
    OwnedValue back = load(path);
    EXPECT_EQ(colourPixel(back.get(), w - 1, h - 1).alpha, 0xFE);
    EXPECT_EQ(colourPixel(back.get(), w - 1, h - 1).red, 0x10);
    EXPECT_EQ(colourPixel(back.get(), 0, 0).alpha, 255);

    OwnedValue grey = greyFrame(5, 4, [](int x, int y) { return x * 50 + y; });
    EXPECT_EQ(colourTypeOf(saved(grey.get(), "grey.png", 0.5)), 0);
}

TEST_F(PngFiles, EveryQualityIsLosslessAndTheBestIsTheSmallest) {
    const int w = 96, h = 40;
    OwnedValue frame = colourFrame(w, h, testPattern);
    std::vector<std::size_t> sizes;
    for (double quality : {0.0, 0.12, 0.5, 1.0}) {
        SCOPED_TRACE(quality);
        const std::string path = saved(frame.get(), "q.png", quality);
        sizes.push_back(fileBytes(path).size());
        OwnedValue back = load(path);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgba got = colourPixel(back.get(), x, y), want = testPattern(x, y);
                ASSERT_EQ(got.red, want.red);
                ASSERT_EQ(got.green, want.green);
                ASSERT_EQ(got.blue, want.blue);
            }
    }
    // Level 0 stores the rows: three bytes a pixel and a filter byte a row.
    EXPECT_GE(sizes[0], std::size_t(w * 3 + 1) * h);
    EXPECT_LT(sizes[1], sizes[0]);
    EXPECT_LE(sizes[3], sizes[2]);
    EXPECT_LE(sizes[2], sizes[1]);
}

TEST_F(PngFiles, OnePixelAndOneRowFiles) {
    for (const auto& size : {std::pair<int, int>{1, 1}, std::pair<int, int>{1, 300},
                             std::pair<int, int>{300, 1}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        OwnedValue frame = colourFrame(size.first, size.second, testPattern);
        OwnedValue back = load(saved(frame.get(), "thin.png", 0.5));
        ASSERT_EQ(MvImageGetWidth(back.get()), size.first);
        ASSERT_EQ(MvImageGetHeight(back.get()), size.second);
        const int x = size.first - 1, y = size.second - 1;
        EXPECT_EQ(colourPixel(back.get(), x, y).blue, testPattern(x, y).blue);
    }
}
