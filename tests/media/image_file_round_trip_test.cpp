// Frames written as every available compression and read back, and what
// outside readers (ImageMagick's identify, ffprobe) make of the files.
#include "media_support.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// The ending each type's files get here, so that readers that go by the
// ending (TGA has no signature) find them.
const std::map<std::string, std::string> kEndings = {
    {"JPEG", "jpg"}, {"PNG", "png"},        {"TIFF", "tif"}, {"BMP", "bmp"},
    {"TGA", "tga"},  {"SGI", "sgi"},        {"JPEG 2000", "jp2"}, {"WebP", "webp"},
    {"GIF", "gif"},  {"PNM", "pnm"},        {"QOI", "qoi"}};

const std::vector<std::string> kRequired = {"JPEG", "PNG",       "TIFF", "BMP", "TGA",
                                            "SGI",  "JPEG 2000", "WebP", "GIF", "PNM"};

bool isLossy(const std::string& name) {
    return name == "JPEG" || name == "JPEG 2000" || name == "WebP";
}

// Sixty-four colours with hard edges: every lossless type, the palette
// ones included, must give them back exactly.
Rgba blocky(int x, int y) {
    return Rgba{(x / 4 % 4) * 85, (y / 4 % 4) * 85, ((x + y) / 8 % 4) * 85, 255};
}

std::string endingFor(const std::string& name) {
    auto found = kEndings.find(name);
    return found == kEndings.end() ? "img" : found->second;
}

// The largest and the mean difference of red, green and blue.
struct Difference {
    int largest = 0;
    double mean = 0;
};

template <class F>
Difference colourDifference(MvValue* frame, int w, int h, F expected) {
    Difference d;
    long total = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba got = colourPixel(frame, x, y), want = expected(x, y);
            for (int c : {got.red - want.red, got.green - want.green, got.blue - want.blue}) {
                d.largest = std::max(d.largest, std::abs(c));
                total += std::abs(c);
            }
        }
    d.mean = double(total) / (3.0 * w * h);
    return d;
}

class ImageFileRoundTrip : public MediaFolderTest {};

} // namespace

TEST_F(ImageFileRoundTrip, TheLookupOffersTheUsualTypesWithJpegFirst) {
    const std::vector<std::string> names = availableCompressions();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "JPEG");
    for (const std::string& required : kRequired)
        EXPECT_NE(std::find(names.begin(), names.end(), required), names.end()) << required;
}

TEST_F(ImageFileRoundTrip, LosslessTypesGiveEveryColourPixelBackExactly) {
    const int w = 37, h = 21;   // odd sizes: no codec gets an even block grid
    for (const std::string& name : availableCompressions()) {
        if (isLossy(name))
            continue;
        SCOPED_TRACE(name);
        OwnedValue frame = colourFrame(w, h, blocky);
        setCompression(frame.get(), name);
        const std::string path = at("lossless." + endingFor(name));
        frame->SaveToFile(path.c_str());
        OwnedValue back = load(path);
        ASSERT_EQ(MvValueGetMvType(back.get()), MvTypeFrame);
        ASSERT_EQ(MvImageGetWidth(back.get()), w);
        ASSERT_EQ(MvImageGetHeight(back.get()), h);
        EXPECT_EQ(colourDifference(back.get(), w, h, blocky).largest, 0);
        // Files read in start with the default compression again.
        EXPECT_EQ(compressionOf(back.get()), "JPEG");
    }
}

TEST_F(ImageFileRoundTrip, LossyTypesStayWithinTheirTolerance) {
    // At the default quality 0.5, on smooth colours: a mean difference of
    // at most 3 levels and 24 at the worst pixel. At quality 1 JPEG 2000
    // and WebP are lossless.
    const int w = 64, h = 48;
    auto smooth = [](int x, int y) { return Rgba{x * 3, y * 4, (x + y) * 2, 255}; };
    for (const std::string name : {"JPEG", "JPEG 2000", "WebP"}) {
        SCOPED_TRACE(name);
        OwnedValue frame = colourFrame(w, h, smooth);
        setCompression(frame.get(), name);
        const std::string path = at("lossy." + endingFor(name));
        frame->SaveToFile(path.c_str());
        OwnedValue back = load(path);
        ASSERT_EQ(MvValueGetMvType(back.get()), MvTypeFrame);
        const Difference d = colourDifference(back.get(), w, h, smooth);
        EXPECT_LE(d.mean, 3.0);
        EXPECT_LE(d.largest, 24);

        if (name == "JPEG")
            continue;
        setQuality(frame.get(), 1.0);
        frame->SaveToFile(path.c_str());
        OwnedValue exact = load(path);
        EXPECT_EQ(colourDifference(exact.get(), w, h, smooth).largest, 0);
    }
}

TEST_F(ImageFileRoundTrip, QualityTradesSizeForFidelity) {
    OwnedValue frame = colourFrame(96, 64, testPattern);
    const std::string path = at("q.jpg");
    std::vector<std::size_t> sizes;
    std::vector<double> errors;
    for (double quality : {0.0, 0.5, 1.0}) {
        setQuality(frame.get(), quality);
        frame->SaveToFile(path.c_str());
        sizes.push_back(fileBytes(path).size());
        OwnedValue back = load(path);
        errors.push_back(colourDifference(back.get(), 96, 64, testPattern).mean);
    }
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], sizes[2]);
    EXPECT_GT(errors[0], errors[1]);
    EXPECT_GE(errors[1], errors[2]);
    // Out-of-range qualities are the nearest ends of the scale.
    setQuality(frame.get(), 7.5);
    EXPECT_NO_THROW(frame->SaveToFile(path.c_str()));
    EXPECT_EQ(fileBytes(path).size(), sizes[2]);
}

TEST_F(ImageFileRoundTrip, GreyFramesComeBackGrey) {
    const int w = 19, h = 13;
    auto ramp = [](int x, int y) { return (x * 13 + y * 7) % 256; };
    for (const std::string& name : availableCompressions()) {
        SCOPED_TRACE(name);
        OwnedValue frame = greyFrame(w, h, ramp);
        setCompression(frame.get(), name);
        setQuality(frame.get(), 1.0);
        const std::string path = at("grey." + endingFor(name));
        frame->SaveToFile(path.c_str());
        OwnedValue back = load(path);
        const int tolerance = name == "JPEG" ? 12 : 0;
        // Types with a grey pixel format read back as frame_mono; the rest
        // store grey as colour (or a grey palette) and read back as frames.
        if (MvValueGetMvType(back.get()) == MvTypeFrameMono) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_NEAR(greyPixel(back.get(), x, y), ramp(x, y), tolerance) << x << "," << y;
        } else {
            ASSERT_EQ(MvValueGetMvType(back.get()), MvTypeFrame);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const Rgba p = colourPixel(back.get(), x, y);
                    ASSERT_NEAR(p.green, ramp(x, y), tolerance) << x << "," << y;
                    if (tolerance == 0) {
                        ASSERT_TRUE(p.red == p.green && p.green == p.blue);
                    }
                }
        }
    }
    for (const char* grey : {"PNG", "TIFF", "TGA", "SGI", "PNM"}) {
        OwnedValue back = load(at(std::string("grey.") + endingFor(grey)));
        EXPECT_EQ(MvValueGetMvType(back.get()), MvTypeFrameMono) << grey;
    }
}

TEST_F(ImageFileRoundTrip, AlphaIsKeptWhereTheTypeHasIt) {
    const int w = 9, h = 5;
    auto translucent = [](int x, int y) {
        return Rgba{200, 100 + x, 50 + y, (x * 31 + y * 17) % 256};
    };
    for (const char* name : {"PNG", "TIFF", "TGA", "SGI", "BMP", "QOI"}) {
        SCOPED_TRACE(name);
        OwnedValue frame = colourFrame(w, h, translucent);
        setCompression(frame.get(), name);
        const std::string path = at(std::string("alpha.") + endingFor(name));
        frame->SaveToFile(path.c_str());
        OwnedValue back = load(path);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(colourPixel(back.get(), x, y).alpha, translucent(x, y).alpha);
                EXPECT_EQ(colourPixel(back.get(), x, y).green, translucent(x, y).green);
            }
    }
    // Types without alpha write the colours and read back opaque.
    OwnedValue frame = colourFrame(w, h, translucent);
    setCompression(frame.get(), "PNM");
    frame->SaveToFile(at("opaque.ppm").c_str());
    OwnedValue back = load(at("opaque.ppm"));
    EXPECT_EQ(colourPixel(back.get(), 3, 2).alpha, 255);
    EXPECT_EQ(colourPixel(back.get(), 3, 2).red, 200);
}

TEST_F(ImageFileRoundTrip, TheCompressionDecidesNotTheEnding) {
    OwnedValue frame = colourFrame(10, 6, blocky);
    setCompression(frame.get(), "PNG");
    const std::string path = at("looks-like.jpg");
    frame->SaveToFile(path.c_str());
    EXPECT_EQ(fileBytes(path).substr(1, 3), "PNG");
    OwnedValue back = load(path);
    EXPECT_EQ(colourDifference(back.get(), 10, 6, blocky).largest, 0);
    // Contents decide on reading too: a PNG under an ending no reader
    // knows is still an image.
    std::filesystem::rename(path, at("picture.data"));
    EXPECT_EQ(MvValueGetMvType(load(at("picture.data")).get()), MvTypeFrame);
}

TEST_F(ImageFileRoundTrip, UnknownNamesFailWithTheListAndChangeNothing) {
    OwnedValue frame = colourFrame(2, 2, blocky);
    setCompression(frame.get(), "PNG");
    const std::string message = thrownMessage([&] { setCompression(frame.get(), "jpeg"); });
    EXPECT_EQ(message.rfind("Unknown frame compression type.\nAvailable types are:\n", 0), 0u)
        << message;
    EXPECT_NE(message.find("    \"JPEG\"\n"), std::string::npos);
    EXPECT_NE(message.find("    \"JPEG 2000\"\n"), std::string::npos);
    EXPECT_EQ(compressionOf(frame.get()), "PNG");
    for (const char* near : {"PNG ", " PNG", "Png", "JPEG2000", "webp"})
        EXPECT_NE(messageOf([&] { setCompression(frame.get(), near); }), kNoException) << near;
    // Any value is taken as its text.
    EXPECT_NE(messageOf([&] { setProperty(frame.get(), "compression", MvNumberCreate(1)); }),
              kNoException);
    EXPECT_EQ(compressionOf(frame.get()), "PNG");
}

// What ImageMagick and ffprobe report for each written type: the format,
// the size, the colour type, the codec and its pixel format.
struct OutsideView {
    const char* name;
    const char* magick;       // identify's %m, empty when ImageMagick cannot read it
    const char* codec;        // ffprobe's codec_name
    const char* colourType;   // identify's %[type] of an opaque colour frame
};

const OutsideView kOutsideViews[] = {
    {"JPEG", "JPEG", "mjpeg", "TrueColor"},  {"PNG", "PNG", "png", "TrueColor"},
    {"TIFF", "TIFF", "tiff", "TrueColor"},   {"BMP", "BMP3", "bmp", "TrueColor"},
    {"TGA", "TGA", "targa", "TrueColor"},    {"SGI", "SGI", "sgi", "TrueColor"},
    {"JPEG 2000", "JP2", "jpeg2000", "TrueColor"},
    {"WebP", "WEBP", "webp", "TrueColor"},   {"GIF", "GIF", "gif", "Palette"},
    {"PNM", "PPM", "ppm", "TrueColor"},      {"QOI", "", "qoi", ""},
};

TEST_F(ImageFileRoundTrip, OutsideReadersSeeTheFormatSizeAndColourType) {
    if (!haveTool("identify") || !haveTool("ffprobe"))
        GTEST_SKIP() << "ImageMagick or ffprobe is missing (scripts/install-deps.sh)";
    const std::vector<std::string> names = availableCompressions();
    for (const OutsideView& view : kOutsideViews) {
        if (std::find(names.begin(), names.end(), view.name) == names.end())
            continue;
        SCOPED_TRACE(view.name);
        OwnedValue frame = colourFrame(41, 23, testPattern);
        setCompression(frame.get(), view.name);
        const std::string path = at(std::string("outside.") + endingFor(view.name));
        frame->SaveToFile(path.c_str());

        std::string probe;
        ASSERT_TRUE(runTool("ffprobe -v error -show_entries stream=codec_name,width,height "
                            "-of default=noprint_wrappers=1 " + quoted(path), &probe));
        EXPECT_NE(probe.find(std::string("codec_name=") + view.codec + "\n"), std::string::npos)
            << probe;
        EXPECT_NE(probe.find("width=41\nheight=23\n"), std::string::npos) << probe;

        if (!*view.magick)
            continue;
        std::string identified;
        ASSERT_TRUE(runTool("identify -format '%m %w %h %[type]' " + quoted(path), &identified));
        EXPECT_EQ(identified, std::string(view.magick) + " 41 23 " + view.colourType);
    }
}

TEST_F(ImageFileRoundTrip, OutsideReadersSeeGreyAndAlpha) {
    if (!haveTool("identify") || !haveTool("ffprobe"))
        GTEST_SKIP() << "ImageMagick or ffprobe is missing (scripts/install-deps.sh)";
    OwnedValue grey = greyFrame(8, 6, [](int x, int y) { return x * 30 + y; });
    setCompression(grey.get(), "PNG");
    grey->SaveToFile(at("grey.png").c_str());
    OwnedValue alpha = colourFrame(8, 6, [](int x, int y) { return Rgba{255, 0, 0, x * 30 + y}; });
    setCompression(alpha.get(), "PNG");
    alpha->SaveToFile(at("alpha.png").c_str());

    // PNG colour types: 0 grey, 6 colour with alpha.
    const std::string format = "identify -format '%[png:IHDR.color-type-orig] %[channels]' ";
    std::string text;
    ASSERT_TRUE(runTool(format + quoted(at("grey.png")), &text));
    EXPECT_EQ(text, "0 gray");
    ASSERT_TRUE(runTool(format + quoted(at("alpha.png")), &text));
    EXPECT_EQ(text, "6 srgba");
    ASSERT_TRUE(runTool("ffprobe -v error -show_entries stream=pix_fmt -of csv=p=0 " +
                            quoted(at("grey.png")), &text));
    EXPECT_EQ(text, "gray\n");
    ASSERT_TRUE(runTool("ffprobe -v error -show_entries stream=pix_fmt -of csv=p=0 " +
                            quoted(at("alpha.png")), &text));
    EXPECT_EQ(text, "rgba\n");
}

TEST_F(ImageFileRoundTrip, FloatImagesStayValueFilesWhateverTheEnding) {
    OwnedValue image(MvImageMonoCreate(3, 2));
    MvImageMonoSetPixel(image.get(), 2, 1, 0.25f);
    for (const char* name : {"float.png", "float.jpg", "float.tga"}) {
        SCOPED_TRACE(name);
        image->SaveToFile(at(name).c_str());
        EXPECT_EQ(fileBytes(at(name)).substr(0, 4), std::string(4, '\xAA'));
        OwnedValue back = load(at(name));
        ASSERT_EQ(MvValueGetMvType(back.get()), MvTypeImageMono);
        EXPECT_EQ(MvImageGetWidth(back.get()), 3);
    }
}
