// The image values through the flat interface and the value operations a
// host or plug-in reaches: creation, lines and pixels, arithmetic in place,
// statistics, channel functions, buffers, display and value files.
#include "script_runner.h"
#include "thrown_message.h"
#include "morvane/MvGraphics.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

namespace {

struct ValueDeleter {
    void operator()(MvValue* v) const { delete v; }
};
using OwnedValue = std::unique_ptr<MvValue, ValueDeleter>;

// A w x h image_mono whose pixel (x, y) is f(x, y).
template <class F>
OwnedValue monoImage(int w, int h, F f) {
    OwnedValue image(MvImageMonoCreate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            MvImageMonoSetPixel(image.get(), x, y, f(x, y));
    return image;
}

float monoPixel(MvValue* image, int x, int y) {
    float v;
    std::memcpy(&v, MvFrameMonoGetLine(image, y) + sizeof(float) * x, sizeof v);
    return v;
}

double grey(MvValue* colourValue) {
    MvValueHolder held(colourValue);
    return held->GetColor().red;
}

} // namespace

TEST(ImageCreate, KindsSizesAndZeroedPixels) {
    OwnedValue fm(MvFrameMonoCreate(3, 2)), fc(MvFrameColorCreate(3, 2)),
        im(MvImageMonoCreate(3, 2)), ic(MvImageColorCreate(3, 2));
    EXPECT_EQ(MvValueGetMvType(fm.get()), MvTypeFrameMono);
    EXPECT_EQ(MvValueGetMvType(fc.get()), MvTypeFrame);
    EXPECT_EQ(MvValueGetMvType(im.get()), MvTypeImageMono);
    EXPECT_EQ(MvValueGetMvType(ic.get()), MvTypeImage);
    for (MvValue* v : {fm.get(), fc.get(), im.get(), ic.get()}) {
        EXPECT_EQ(MvImageGetWidth(v), 3);
        EXPECT_EQ(MvImageGetHeight(v), 2);
        EXPECT_EQ(MvImageGetQuality(v), 0.5);
    }
    // New pixel memory starts at 0 in every kind.
    for (int y = 0; y < 2; ++y) {
        const unsigned char* line = MvFrameColorGetLine(ic.get(), y);
        for (std::size_t i = 0; i < 3 * 16; ++i)
            EXPECT_EQ(line[i], 0);
    }
    // An empty frame is legal.
    OwnedValue empty(MvFrameMonoCreate(0, 0));
    EXPECT_EQ(MvImageGetWidth(empty.get()), 0);
}

TEST(ImageLines, RowsAreIndexChecked) {
    OwnedValue frame(MvFrameMonoCreate(4, 3));
    EXPECT_EQ(thrownMessage([&] { MvFrameMonoGetLine(frame.get(), -1); }),
              "Index \"-1\" is too small (< 0).");
    EXPECT_EQ(thrownMessage([&] { MvFrameColorGetLine(frame.get(), 3); }),
              "Index \"3\" is too large (> 2).");
    // Rows lie one stride apart, the stride rounded up to 16 bytes.
    EXPECT_EQ(MvFrameMonoGetLine(frame.get(), 1) - MvFrameMonoGetLine(frame.get(), 0), 16);
    OwnedValue number(MvNumberCreate(1));
    EXPECT_EQ(thrownMessage([&] { MvFrameMonoGetLine(number.get(), 0); }),
              "The value is not a frame or image.");
}

TEST(ImagePixels, SetARGBAndSetPixel) {
    OwnedValue frame(MvFrameColorCreate(2, 2));
    MvFrameColorSetPixelARGB(frame.get(), 1, 1, 0x80FF4010u);
    std::uint32_t stored;
    std::memcpy(&stored, MvFrameColorGetLine(frame.get(), 1) + 4, 4);
    EXPECT_EQ(stored, 0x80FF4010u);
    EXPECT_EQ(thrownMessage([&] { MvFrameColorSetPixelARGB(frame.get(), 2, 0, 0); }),
              "Index \"2\" is too large (> 1).");
    EXPECT_EQ(thrownMessage([&] { MvFrameColorSetPixelARGB(frame.get(), 0, -1, 0); }),
              "Index \"-1\" is too small (< 0).");

    OwnedValue image(MvImageMonoCreate(2, 1));
    MvImageMonoSetPixel(image.get(), 1, 0, 0.75f);
    EXPECT_EQ(monoPixel(image.get(), 1, 0), 0.75f);
    EXPECT_EQ(thrownMessage([&] { MvImageMonoSetPixel(image.get(), -1, 0, 0); }),
              "Index \"-1\" is too small (< 0).");
    EXPECT_EQ(thrownMessage([&] { MvImageMonoSetPixel(image.get(), 0, 1, 0); }),
              "Index \"1\" is too large (> 0).");
}

TEST(ImageArithmetic, MultiplyAndDivideByNumberInPlace) {
    OwnedValue image = monoImage(3, 2, [](int x, int y) { return float(x + 3 * y); });
    MvImageMultiplyByNumber(image.get(), 2);
    EXPECT_EQ(monoPixel(image.get(), 2, 1), 10.0f);
    MvImageDivideByNumber(image.get(), 4);
    EXPECT_EQ(monoPixel(image.get(), 2, 1), 2.5f);
    EXPECT_EQ(thrownMessage([&] { MvImageDivideByNumber(image.get(), 0); }),
              "division by zero");
    EXPECT_EQ(monoPixel(image.get(), 2, 1), 2.5f);

    // Frames: the grey factor of 1 is 254 (single-precision weights).
    OwnedValue frame(MvFrameMonoCreate(1, 1));
    MvFrameMonoGetLine(frame.get(), 0)[0] = 100;
    MvImageMultiplyByNumber(frame.get(), 1);
    EXPECT_EQ(MvFrameMonoGetLine(frame.get(), 0)[0], 99);
}

TEST(ImageArithmetic, ResultHoldersAndInPlaceReuse) {
    MvValueHolder left(monoImage(2, 2, [](int x, int) { return float(x); }).release());
    MvValueHolder same(monoImage(2, 2, [](int, int y) { return float(y); }).release());
    MvValueHolder smaller(monoImage(1, 1, [](int, int) { return 5.0f; }).release());
    // Only an image of the same kind and size can hold the result.
    EXPECT_TRUE(same->CanHoldResult(MvTypeImageMono, left.get()));
    EXPECT_FALSE(smaller->CanHoldResult(MvTypeImageMono, left.get()));
    EXPECT_FALSE(same->CanHoldResult(MvTypeFrameMono, left.get()));

    MvValueHolder result;
    AddValues(result, left, smaller, false);
    EXPECT_NE(result.get(), left.get());
    EXPECT_EQ(monoPixel(result.get(), 0, 0), 5.0f);
    EXPECT_EQ(monoPixel(result.get(), 1, 1), 1.0f);   // the left operand's pixel

    MvValue* before = left.get();
    AddValues(left, left, same, true);
    EXPECT_EQ(left.get(), before);
    EXPECT_EQ(monoPixel(left.get(), 1, 1), 2.0f);

    // A shallow result holder has the shape of the left operand.
    MvValueHolder holder(ShallowConstruct(MvTypeFrame, left.get()));
    EXPECT_EQ(holder->GetType(), MvTypeFrame);
    EXPECT_EQ(MvImageGetWidth(holder.get()), 2);
}

TEST(ImageArithmetic, OperandsOutsideTheTableAreInternalErrors) {
    MvValueHolder image(MvImageMonoCreate(1, 1));
    MvValueHolder result(MvImageMonoCreate(1, 1));
    MvValueHolder vec(MvVectorCreate());
    EXPECT_EQ(thrownMessage([&] { image->Add(result, vec); }), "Internal type problem in add");
    EXPECT_EQ(thrownMessage([&] { image->Subtract(result, vec); }),
              "Internal type problem in add");
    EXPECT_EQ(thrownMessage([&] { image->Divide(result, vec); }),
              "Internal type problem in multiply");
    MvValueHolder frame(MvFrameColorCreate(1, 1));
    EXPECT_EQ(thrownMessage([&] { image->Multiply(result, frame); }),
              "Internal type problem in multiply");
}

TEST(ImageStatistics, GreyValuesOnTheUnitScale) {
    OwnedValue image = monoImage(4, 2, [](int x, int y) { return float(x + 4 * y) / 8.0f; });
    EXPECT_DOUBLE_EQ(grey(image->Average()), 3.5 / 8.0);
    EXPECT_DOUBLE_EQ(grey(image->Max()), 7.0 / 8.0);
    EXPECT_DOUBLE_EQ(grey(image->Min()), 0.0);
    EXPECT_NEAR(grey(image->Sdev()), std::sqrt(5.25) / 8.0, 1e-12);

    OwnedValue frame(MvFrameMonoCreate(2, 1));
    MvFrameMonoGetLine(frame.get(), 0)[0] = 51;
    MvFrameMonoGetLine(frame.get(), 0)[1] = 255;
    EXPECT_DOUBLE_EQ(grey(frame->Average()), 153.0 / 255.0);
    EXPECT_DOUBLE_EQ(grey(frame->Max()), 1.0);
    EXPECT_DOUBLE_EQ(grey(frame->Min()), 0.2);

    // Empty images: average and deviation are 1e10.
    OwnedValue empty(MvImageColorCreate(0, 3));
    EXPECT_EQ(grey(empty->Average()), 1e10);
    EXPECT_EQ(grey(empty->Sdev()), 1e10);
}

TEST(ImageFunctions, ChannelFunctionsOfFloatImagesOnly) {
    OwnedValue image = monoImage(2, 1, [](int x, int) { return x ? -4.0f : 9.0f; });
    MvValueHolder root(image->Sqrt()), absolute(image->Abs()), power;
    MvValueHolder exponent(MvNumberCreate(2));
    power = image->Pow(exponent.get());
    MvValueHolder logarithm(image->Log());
    EXPECT_EQ(monoPixel(root.get(), 0, 0), 3.0f);
    EXPECT_TRUE(std::isnan(monoPixel(root.get(), 1, 0)));
    EXPECT_EQ(monoPixel(absolute.get(), 1, 0), 4.0f);
    EXPECT_EQ(monoPixel(power.get(), 1, 0), 16.0f);
    EXPECT_FLOAT_EQ(monoPixel(logarithm.get(), 0, 0), std::log(9.0f));
    EXPECT_EQ(monoPixel(image.get(), 1, 0), -4.0f);   // the source is unchanged

    // Colour images leave alpha alone.
    OwnedValue colour(MvImageColorCreate(1, 1));
    float* p = reinterpret_cast<float*>(MvFrameColorGetLine(colour.get(), 0));
    p[0] = 0.25f; p[1] = 4.0f; p[2] = 9.0f; p[3] = 16.0f;
    MvValueHolder colourRoot(colour->Sqrt());
    const float* q = reinterpret_cast<const float*>(MvFrameColorGetLine(colourRoot.get(), 0));
    EXPECT_EQ(q[0], 0.25f);
    EXPECT_EQ(q[1], 2.0f);
    EXPECT_EQ(q[3], 4.0f);

    OwnedValue frame(MvFrameMonoCreate(1, 1));
    EXPECT_EQ(thrownMessage([&] { delete frame->Sqrt(); }),
              "Can't execute \"sqrt(frame_mono)\" : incompatible type.");
}

TEST(ImageBuffers, ToAndFromPixelBuffers) {
    OwnedValue image = monoImage(3, 2, [](int x, int y) { return x == 2 && y == 1 ? 2.0f : 0.5f; });
    MvGWorld* gw = MvImageCreateGWorld(image.get());
    ASSERT_NE(gw, nullptr);
    EXPECT_EQ(MvGWorldGetWidth(gw), 3);
    EXPECT_EQ(MvGWorldGetHeight(gw), 2);
    MvGWorldLock(gw);
    std::uint32_t pixel;
    std::memcpy(&pixel, MvGWorldGetLineRandomAccess(gw, 1) + 8, 4);
    EXPECT_EQ(pixel, 0xFFFFFFFFu);
    std::memcpy(&pixel, MvGWorldGetLineRandomAccess(gw, 0), 4);
    EXPECT_EQ(pixel, 0xFF7F7F7Fu);
    MvGWorldUnlock(gw);

    OwnedValue mono(MvFrameMonoCreateFromGWorld(gw));
    OwnedValue colour(MvFrameColorCreateFromGWorld(gw));
    EXPECT_EQ(MvImageGetWidth(mono.get()), 3);
    EXPECT_EQ(MvFrameMonoGetLine(mono.get(), 1)[2], 255);
    EXPECT_EQ(MvFrameMonoGetLine(mono.get(), 0)[0], 127);
    std::memcpy(&pixel, MvFrameColorGetLine(colour.get(), 0), 4);
    EXPECT_EQ(pixel, 0xFF7F7F7Fu);
    MvGWorldDelete(gw);

    OwnedValue empty(MvFrameColorCreate(0, 0));
    EXPECT_EQ(thrownMessage([&] { MvGWorldDelete(MvImageCreateGWorld(empty.get())); }),
              "Can't create a frame or image with zero area.");
}

TEST(ImageConstruct, SameKindNewSizeAndClones) {
    OwnedValue frame(MvFrameColorCreate(2, 2));
    static_cast<Mv2DValue*>(frame.get())->quality = 0.9;
    OwnedValue made(MvImageTypeConstruct(frame.get(), 5, 1));
    EXPECT_EQ(MvValueGetMvType(made.get()), MvTypeFrame);
    EXPECT_EQ(MvImageGetWidth(made.get()), 5);
    EXPECT_EQ(MvImageGetQuality(made.get()), 0.5);
    // A clone carries the frame attributes along with the pixels.
    MvFrameColorSetPixelARGB(frame.get(), 1, 1, 0x01020304u);
    OwnedValue copy(frame->Clone());
    EXPECT_EQ(MvImageGetQuality(copy.get()), 0.9);
    std::uint32_t pixel;
    std::memcpy(&pixel, MvFrameColorGetLine(copy.get(), 1) + 4, 4);
    EXPECT_EQ(pixel, 0x01020304u);
}

TEST(ImageClipboard, FramesDoNotGoToTheClipboard) {
    OwnedValue frame(MvFrameMonoCreate(1, 1));
    EXPECT_EQ(thrownMessage([&] { frame->CopyToClipboard(); }),
              "Writing frames to the clipboard not implemented on x86");
}

TEST(ImageValueFile, BodiesReadBackAndDamagedOnesFail) {
    OwnedValue image = monoImage(3, 2, [](int x, int y) { return float(x) - float(y) / 3; });
    std::stringstream body;
    body.write("\x0e\0\0\0", 4);
    image->Write(body);
    EXPECT_EQ(body.str().size(), 4u + 8u + 6u * 4u);
    OwnedValue back(ReadValue(body));
    ASSERT_TRUE(back);
    EXPECT_EQ(MvValueGetMvType(back.get()), MvTypeImageMono);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(monoPixel(back.get(), x, y), monoPixel(image.get(), x, y));

    // A size larger than what follows, a negative size, a cut row.
    const std::string huge("\x0c\0\0\0\x40\x42\x0f\0\x40\x42\x0f\0\x01", 13);
    const std::string negative("\x0d\0\0\0\xff\xff\xff\xff\x01\0\0\0", 12);
    const std::string cut("\x0f\0\0\0\x01\0\0\0\x01\0\0\0\0\0\0\0", 16);
    for (const std::string& damaged : {huge, negative, cut}) {
        std::istringstream in(damaged);
        EXPECT_EQ(thrownMessage([&] { delete ReadValue(in); }),
                  "File error(Reading Image Data Failed.)");
    }
}

TEST(ImageDisplay, OneImageCommandOfTheImageSize) {
    SessionPtr session = newSession(
        "set window \"f\" to frame with size to {7, 5};\n"
        "set window \"e\" to frame_mono;\n");
    MvParserExecute(session.get());
    MvParserGetWindowList(session.get());
    int shown = 0;
    for (long i = 0; MvWindow* window = MvParserGetWindow(session.get(), i); ++i) {
        mv_auto_value<MvGraphics> picture = window->getVsGraphics();
        std::int16_t width, height;
        picture->getSize(width, height);
        const auto& commands = *picture->getCommandList();
        if (window->getTitle() == "f") {
            EXPECT_EQ(width, 7);
            EXPECT_EQ(height, 5);
            ASSERT_EQ(commands.size(), 1u);
            MvGraphicsCommand* command = commands.front();
            EXPECT_EQ(command->getID(), kGraphicsImage);
            EXPECT_EQ(command->getX(), 0);
            EXPECT_EQ(command->getY(), 0);
            EXPECT_EQ(MvGWorldGetWidth(command->getVsGWorld().get()), 7);
            EXPECT_FALSE(picture->fullEraseNeeded());
        } else {
            // An empty image has nothing to draw.
            EXPECT_EQ(width, 0);
            EXPECT_TRUE(commands.empty());
        }
        ++shown;
    }
    MvParserReleaseWindowList(session.get());
    EXPECT_EQ(shown, 2);
}
