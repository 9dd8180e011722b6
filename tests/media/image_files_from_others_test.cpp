// Image files written by ImageMagick load with their size, kind and the
// pixel values ImageMagick itself reports.
#include "media_support.h"

#include <sstream>

namespace {

class FilesFromOthers : public MediaFolderTest {
protected:
    void SetUp() override {
        MediaFolderTest::SetUp();
        if (!haveTool("convert"))
            GTEST_SKIP() << "ImageMagick is missing (scripts/install-deps.sh)";
    }

    // Runs convert with arguments, the last being the file made here
    // (written in the format prefix names, when there is one).
    void convert(const std::string& arguments, const std::string& made,
                 const std::string& prefix = "") {
        ASSERT_TRUE(runTool("convert " + arguments + " " + quoted(prefix + at(made))))
            << "convert " << arguments << " " << made;
    }

    // ImageMagick's 8-bit view of pixel (x, y): srgb(r,g,b), srgba(r,g,b,a)
    // or gray(g), the 16-bit forms reduced as the engine reduces them.
    Rgba magickPixel(const std::string& file, int x, int y) {
        std::string text;
        const std::string format = "'%[pixel:p{" + std::to_string(x) + "," + std::to_string(y) + "}]'";
        EXPECT_TRUE(runTool("convert " + quoted(at(file)) + " -depth 8 -format " + format + " info:",
                            &text));
        const std::size_t open = text.find('('), close = text.find(')');
        if (open == std::string::npos || close == std::string::npos || close < open) {
            ADD_FAILURE() << "ImageMagick said " << text;
            return Rgba{-1, -1, -1, -1};
        }
        // Levels 0 .. 255, or percentages of 255; alpha 0 .. 1.
        std::vector<double> values;
        std::vector<bool> percent;
        std::istringstream fields(text.substr(open + 1, close - open - 1));
        std::string field;
        while (std::getline(fields, field, ',')) {
            percent.push_back(field.find('%') != std::string::npos);
            values.push_back(std::stod(field));
        }
        auto level = [&](std::size_t i) {
            return int(percent[i] ? values[i] * 255 / 100 + 0.5 : values[i] + 0.5);
        };
        if (values.size() == 1)
            return Rgba{level(0), level(0), level(0), 255};
        if (values.size() < 3) {
            ADD_FAILURE() << "ImageMagick said " << text;
            return Rgba{-1, -1, -1, -1};
        }
        const int alpha = values.size() > 3 ? int(values[3] * 255 + 0.5) : 255;
        return Rgba{level(0), level(1), level(2), alpha};
    }

    // The loaded frame's pixel (x, y) is ImageMagick's within tolerance.
    void expectPixels(const std::string& file, MvValue* frame,
                      std::initializer_list<std::pair<int, int>> points, int tolerance) {
        for (auto [x, y] : points) {
            SCOPED_TRACE(file + " at " + std::to_string(x) + "," + std::to_string(y));
            const Rgba want = magickPixel(file, x, y);
            const Rgba got = MvValueGetMvType(frame) == MvTypeFrameMono
                                 ? Rgba{greyPixel(frame, x, y), greyPixel(frame, x, y),
                                        greyPixel(frame, x, y), 255}
                                 : colourPixel(frame, x, y);
            EXPECT_NEAR(got.red, want.red, tolerance);
            EXPECT_NEAR(got.green, want.green, tolerance);
            EXPECT_NEAR(got.blue, want.blue, tolerance);
            EXPECT_NEAR(got.alpha, want.alpha, tolerance);
        }
    }

    OwnedValue loadFrame(const std::string& file, MvTypeEnum kind, int w, int h) {
        OwnedValue frame = load(at(file));
        EXPECT_EQ(MvValueGetMvType(frame.get()), kind) << file;
        EXPECT_EQ(MvImageGetWidth(frame.get()), w) << file;
        EXPECT_EQ(MvImageGetHeight(frame.get()), h) << file;
        return frame;
    }
};

const std::initializer_list<std::pair<int, int>> kRosePoints = {
    {0, 0}, {10, 10}, {35, 20}, {69, 45}, {50, 3}};

} // namespace

TEST_F(FilesFromOthers, TheLogoAsPng) {
    convert("logo:", "logo.png");
    OwnedValue logo = loadFrame("logo.png", MvTypeFrame, 640, 480);
    expectPixels("logo.png", logo.get(), {{0, 0}, {10, 10}, {300, 200}, {639, 479}, {320, 110}}, 0);
}

TEST_F(FilesFromOthers, TheRoseAsJpegAndTiff) {
    convert("rose:", "rose.jpg");
    convert("rose:", "rose.tiff");
    OwnedValue jpeg = loadFrame("rose.jpg", MvTypeFrame, 70, 46);
    // Decoders may round the chroma differently from ImageMagick's.
    expectPixels("rose.jpg", jpeg.get(), kRosePoints, 3);
    OwnedValue tiff = loadFrame("rose.tiff", MvTypeFrame, 70, 46);
    expectPixels("rose.tiff", tiff.get(), kRosePoints, 0);
}

TEST_F(FilesFromOthers, SixteenBitFilesAreReducedToEightBits) {
    convert("rose: -depth 16", "rose16.png");
    OwnedValue rose = loadFrame("rose16.png", MvTypeFrame, 70, 46);
    expectPixels("rose16.png", rose.get(), kRosePoints, 0);
    // Samples between two 8-bit levels round to the nearer one.
    convert("-size 4x1 xc:'#9C400101FFFF' -depth 16", "between.png");
    OwnedValue between = loadFrame("between.png", MvTypeFrame, 4, 1);
    const Rgba p = colourPixel(between.get(), 2, 0);
    EXPECT_NEAR(p.red, 40000 / 257.0, 1);
    EXPECT_EQ(p.green, 1);
    EXPECT_EQ(p.blue, 255);
    convert("rose: -colorspace gray -depth 16", "grey16.png");
    OwnedValue grey = loadFrame("grey16.png", MvTypeFrameMono, 70, 46);
    expectPixels("grey16.png", grey.get(), kRosePoints, 0);
}

TEST_F(FilesFromOthers, FloatFilesAreReducedToEightBits) {
    convert("-size 5x3 xc:'gray(40%)' -define quantum:format=floating-point -depth 32",
            "grey.pfm");
    OwnedValue grey = loadFrame("grey.pfm", MvTypeFrameMono, 5, 3);
    EXPECT_NEAR(greyPixel(grey.get(), 4, 2), 102, 1);
    EXPECT_NEAR(greyPixel(grey.get(), 0, 0), 102, 1);
    // A PFM file keeps the top of the picture at the top, grey and colour.
    convert("-size 4x6 gradient:white-black -depth 32", "ramp.pfm");
    OwnedValue ramp = loadFrame("ramp.pfm", MvTypeFrameMono, 4, 6);
    EXPECT_EQ(greyPixel(ramp.get(), 0, 0), 255);
    EXPECT_EQ(greyPixel(ramp.get(), 3, 5), 0);
    convert("-size 4x6 gradient:red-blue -depth 32", "colour.pfm");
    OwnedValue colour = loadFrame("colour.pfm", MvTypeFrame, 4, 6);
    EXPECT_GT(colourPixel(colour.get(), 0, 0).red, 200);
    EXPECT_GT(colourPixel(colour.get(), 0, 5).blue, 200);
}

TEST_F(FilesFromOthers, PaletteFilesGoThroughTheirTable) {
    convert("rose: -colors 16", "rose.gif");
    OwnedValue gif = loadFrame("rose.gif", MvTypeFrame, 70, 46);
    expectPixels("rose.gif", gif.get(), kRosePoints, 0);
    convert("rose: -colors 16 -type Palette", "rose8.png", "PNG8:");
    OwnedValue png = loadFrame("rose8.png", MvTypeFrame, 70, 46);
    expectPixels("rose8.png", png.get(), kRosePoints, 0);
    // A transparent palette entry stays transparent.
    convert("-size 6x4 xc:red -alpha set -region 1x1+2+1 -alpha transparent", "clear.gif");
    OwnedValue clear = loadFrame("clear.gif", MvTypeFrame, 6, 4);
    EXPECT_EQ(colourPixel(clear.get(), 2, 1).alpha, 0);
    EXPECT_EQ(colourPixel(clear.get(), 0, 0).alpha, 255);
    EXPECT_EQ(colourPixel(clear.get(), 0, 0).red, 255);
}

TEST_F(FilesFromOthers, GreyFilesBecomeMonoFrames) {
    convert("rose: -colorspace gray", "grey.png");
    OwnedValue png = loadFrame("grey.png", MvTypeFrameMono, 70, 46);
    expectPixels("grey.png", png.get(), kRosePoints, 0);
    convert("rose: -colorspace gray", "grey.jpg");
    OwnedValue jpeg = loadFrame("grey.jpg", MvTypeFrameMono, 70, 46);
    expectPixels("grey.jpg", jpeg.get(), kRosePoints, 1);
    convert("rose: -colorspace gray", "grey.pgm");
    loadFrame("grey.pgm", MvTypeFrameMono, 70, 46);
    // One bit a pixel is grey too.
    convert("-size 9x3 xc:white -fill black -draw 'point 4,1' -monochrome", "bits.pbm");
    OwnedValue bits = loadFrame("bits.pbm", MvTypeFrameMono, 9, 3);
    EXPECT_EQ(greyPixel(bits.get(), 4, 1), 0);
    EXPECT_EQ(greyPixel(bits.get(), 0, 0), 255);
}

TEST_F(FilesFromOthers, AlphaIsKeptAndOpaqueFilesAreOpaque) {
    convert("-size 5x3 xc:'rgba(255,128,0,0.5)' '(' -size 1x1 xc:none ')' -geometry +1+1 "
            "-compose copy -composite",
            "half.png");
    OwnedValue half = loadFrame("half.png", MvTypeFrame, 5, 3);
    expectPixels("half.png", half.get(), {{0, 0}, {4, 2}}, 1);
    EXPECT_EQ(colourPixel(half.get(), 1, 1).alpha, 0);
    convert("rose:", "rose.png");
    OwnedValue rose = loadFrame("rose.png", MvTypeFrame, 70, 46);
    EXPECT_EQ(colourPixel(rose.get(), 7, 7).alpha, 255);
}

TEST_F(FilesFromOthers, MoreFormatsByContents) {
    for (const char* file : {"rose.bmp", "rose.webp", "rose.ppm", "rose.sgi", "rose.jp2"}) {
        SCOPED_TRACE(file);
        convert("rose:", file);
        // The contents decide: the ending is gone.
        const std::string hidden = std::string(file) + ".bin";
        std::filesystem::rename(at(file), at(hidden));
        OwnedValue rose = loadFrame(hidden, MvTypeFrame, 70, 46);
        std::filesystem::rename(at(hidden), at(file));
        const bool lossy = std::string(file) == "rose.webp" || std::string(file) == "rose.jp2";
        expectPixels(file, rose.get(), {{10, 10}, {35, 20}}, lossy ? 24 : 0);
    }
    // TGA has no signature: its ending names it. (ImageMagick 6 marks its
    // own TGA rows as stored bottom-up and writes them top-down, so FFmpeg
    // writes this one.)
    convert("rose:", "rose.png");
    if (haveTool("ffmpeg")) {
        ASSERT_TRUE(runTool("ffmpeg -v error -y -i " + quoted(at("rose.png")) + " " +
                            quoted(at("rose.tga"))));
        OwnedValue tga = loadFrame("rose.tga", MvTypeFrame, 70, 46);
        expectPixels("rose.png", tga.get(), kRosePoints, 0);
    }
}

TEST_F(FilesFromOthers, FilesKeepTheirOrientationAndSize) {
    // A JPEG that asks to be shown rotated is read as stored.
    convert("-size 30x10 xc:red -fill blue -draw 'rectangle 0,0 4,9' -orient RightTop",
            "tagged.jpg");
    OwnedValue tagged = loadFrame("tagged.jpg", MvTypeFrame, 30, 10);
    EXPECT_GT(colourPixel(tagged.get(), 1, 5).blue, 200);
    EXPECT_GT(colourPixel(tagged.get(), 25, 5).red, 200);
    convert("-size 1x1 xc:green", "one.png");
    loadFrame("one.png", MvTypeFrame, 1, 1);
    convert("-size 3000x1 xc:green", "wide.png");
    loadFrame("wide.png", MvTypeFrame, 3000, 1);
}
