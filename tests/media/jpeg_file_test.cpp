// JPEG files as frames write them: the quality and colour sampling an
// outside reader finds in the file, grey frames, the smallest and the
// largest sizes, and what happens to alpha.
#include "media_support.h"

#include <algorithm>

namespace {

class JpegFiles : public MediaFolderTest {
protected:
    // identify's view of a file: format, size, colour type, the quality
    // estimated from its tables and the sampling factors.
    std::string identified(const std::string& path) {
        std::string text;
        EXPECT_TRUE(runTool("identify -format '%m %w %h %[type] %Q %[jpeg:sampling-factor]' " +
                                quoted(path),
                            &text));
        return text;
    }

    std::string saved(MvValue* frame, const std::string& name) {
        const std::string path = at(name);
        frame->SaveToFile(path.c_str());
        return path;
    }
};

bool haveOutsideReaders() { return haveTool("identify") && haveTool("ffprobe"); }

Rgba flatOrange(int, int) { return Rgba{240, 120, 30, 255}; }

// The largest difference of red, green and blue from want over a frame.
int largestDifference(MvValue* frame, Rgba want) {
    int largest = 0;
    for (int y = 0; y < MvImageGetHeight(frame); ++y)
        for (int x = 0; x < MvImageGetWidth(frame); ++x) {
            const Rgba got = colourPixel(frame, x, y);
            for (int d : {got.red - want.red, got.green - want.green, got.blue - want.blue})
                largest = std::max(largest, std::abs(d));
        }
    return largest;
}

} // namespace

TEST_F(JpegFiles, QualityIsLibjpegsScaleAndOnlyTheBestKeepsFullColour) {
    if (!haveOutsideReaders())
        GTEST_SKIP() << "ImageMagick or ffprobe is missing (scripts/install-deps.sh)";
    OwnedValue frame = colourFrame(40, 24, testPattern);
    const struct {
        double quality;
        const char* view;
    } cases[] = {
        {0.5, "JPEG 40 24 TrueColor 50 2x2,1x1,1x1"},    // a frame's default quality
        {0.95, "JPEG 40 24 TrueColor 95 2x2,1x1,1x1"},
        {0.999, "JPEG 40 24 TrueColor 100 2x2,1x1,1x1"}, // rounds to the top, still 4:2:0
        {1.0, "JPEG 40 24 TrueColor 100 1x1,1x1,1x1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quality);
        setQuality(frame.get(), c.quality);
        EXPECT_EQ(identified(saved(frame.get(), "q.jpg")), c.view);
    }
    std::string probe;
    ASSERT_TRUE(runTool("ffprobe -v error -show_entries stream=codec_name,pix_fmt "
                        "-of default=noprint_wrappers=1 " + quoted(at("q.jpg")), &probe));
    EXPECT_EQ(probe, "codec_name=mjpeg\npix_fmt=yuvj444p\n");
}

TEST_F(JpegFiles, TheWorstQualityStillWritesAPicture) {
    OwnedValue frame = colourFrame(32, 32, flatOrange);
    setQuality(frame.get(), 0.0);
    OwnedValue back = load(saved(frame.get(), "worst.jpg"));
    ASSERT_EQ(MvValueGetMvType(back.get()), MvTypeFrame);
    // A flat colour survives even the coarsest tables closely.
    EXPECT_LE(largestDifference(back.get(), flatOrange(0, 0)), 24);
}

TEST_F(JpegFiles, GreyFramesAreWrittenAsOneChannel) {
    OwnedValue frame = greyFrame(21, 11, [](int x, int y) { return x * 12 + y; });
    const std::string path = saved(frame.get(), "grey.jpg");
    OwnedValue back = load(path);
    EXPECT_EQ(MvValueGetMvType(back.get()), MvTypeFrameMono);
    if (!haveOutsideReaders())
        return;
    std::string probe;
    ASSERT_TRUE(runTool("ffprobe -v error -show_entries stream=pix_fmt -of csv=p=0 " +
                            quoted(path), &probe));
    EXPECT_EQ(probe, "gray\n");
    EXPECT_EQ(identified(path).substr(0, 25), "JPEG 21 11 Grayscale 50 1");
}

TEST_F(JpegFiles, SizesFromOnePixelUpKeepTheirSizeAndColour) {
    // One pixel, one row, one column, whole and partial blocks of the 4:2:0
    // grid (16 x 16) and of the 4:4:4 one (8 x 8).
    const int sizes[][2] = {{1, 1}, {1, 17}, {17, 1}, {2, 2}, {7, 9}, {8, 8},
                            {15, 16}, {16, 16}, {17, 33}};
    for (double quality : {0.5, 1.0}) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]) + " at " +
                         std::to_string(quality));
            OwnedValue frame = colourFrame(size[0], size[1], flatOrange);
            setQuality(frame.get(), quality);
            OwnedValue back = load(saved(frame.get(), "small.jpg"));
            ASSERT_EQ(MvValueGetMvType(back.get()), MvTypeFrame);
            EXPECT_EQ(MvImageGetWidth(back.get()), size[0]);
            EXPECT_EQ(MvImageGetHeight(back.get()), size[1]);
            EXPECT_LE(largestDifference(back.get(), flatOrange(0, 0)), 4);
        }
    }
}

TEST_F(JpegFiles, AlphaIsDroppedAndTheFileReadsBackOpaque) {
    OwnedValue frame = colourFrame(16, 16, [](int x, int y) {
        return Rgba{240, 120, 30, (x + y) * 8};
    });
    OwnedValue back = load(saved(frame.get(), "alpha.jpg"));
    for (int y = 0; y < 16; y += 5)
        for (int x = 0; x < 16; x += 5)
            EXPECT_EQ(colourPixel(back.get(), x, y).alpha, 255) << x << "," << y;
    EXPECT_LE(largestDifference(back.get(), flatOrange(0, 0)), 4);
}

TEST_F(JpegFiles, AFrameWiderThanJpegAllowsFailsAndLeavesTheOldFile) {
    // JPEG's largest side is 65500 pixels.
    const std::string path = at("wide.jpg");
    OwnedValue widest = colourFrame(65500, 1, flatOrange);
    widest->SaveToFile(path.c_str());
    EXPECT_EQ(MvImageGetWidth(load(path).get()), 65500);
    const std::string before = fileBytes(path);

    for (const auto& size : {std::pair<int, int>{65501, 1}, std::pair<int, int>{1, 65501}}) {
        OwnedValue tooLarge = colourFrame(size.first, size.second, flatOrange);
        const std::string message = thrownMessage([&] { tooLarge->SaveToFile(path.c_str()); });
        EXPECT_EQ(message.rfind("Could not write file \"" + path + "\" as JPEG: ", 0), 0u)
            << message;
        EXPECT_EQ(fileBytes(path), before);
    }
    OwnedValue tallGrey = greyFrame(2, 65501, [](int, int) { return 9; });
    EXPECT_NE(messageOf([&] { tallGrey->SaveToFile(path.c_str()); }), kNoException);
    EXPECT_EQ(fileBytes(path), before);
}
