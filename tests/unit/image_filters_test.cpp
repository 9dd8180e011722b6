// The filters through the flat interface, held to the rules computed the
// plain way in the test: convolution with wrap-around and a flipped kernel,
// the rank filter with general and full masks, the affine transform, and
// the operations on two images of different sizes.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

struct ValueDeleter {
    void operator()(MvValue* v) const { delete v; }
};
using OwnedValue = std::unique_ptr<MvValue, ValueDeleter>;

int wrap(int i, int n) { return ((i % n) + n) % n; }

std::uint8_t byteAt(MvValue* frame, int x, int y) { return MvFrameMonoGetLine(frame, y)[x]; }

float floatAt(MvValue* image, int x, int y) {
    float v;
    std::memcpy(&v, MvFrameMonoGetLine(image, y) + sizeof(float) * x, sizeof v);
    return v;
}

OwnedValue randomFrame(std::mt19937& random, int w, int h, int levels = 256) {
    OwnedValue frame(MvFrameMonoCreate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            MvFrameMonoGetLine(frame.get(), y)[x] = static_cast<std::uint8_t>(random() % levels);
    return frame;
}

OwnedValue randomImage(std::mt19937& random, int w, int h) {
    OwnedValue image(MvImageMonoCreate(w, h));
    std::uniform_real_distribution<float> unit(-0.5f, 1.5f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            MvImageMonoSetPixel(image.get(), x, y, unit(random));
    return image;
}

// The sum of the rules for one grey output pixel, in single precision.
float convolvedAt(MvValue* source, MvValue* kernel, bool frame, int x, int y) {
    const int w = MvImageGetWidth(source), h = MvImageGetHeight(source);
    const int hx = (MvImageGetWidth(kernel) - 1) / 2, hy = (MvImageGetHeight(kernel) - 1) / 2;
    float sum = 0;
    for (int j = 0; j <= 2 * hy; ++j)
        for (int c = 0; c <= 2 * hx; ++c) {
            const int sx = wrap(x + hx - c, w), sy = wrap(y + hy - j, h);
            const float s = frame ? byteAt(source, sx, sy) * 0.003921569f : floatAt(source, sx, sy);
            const float product = floatAt(kernel, c, j) * s;
            sum = sum + product;
        }
    return sum;
}

} // namespace

TEST(ImageConvolute, GreyImagesFollowTheFlippedWrappedSum) {
    std::mt19937 random(1);
    for (int w : {1, 2, 7, 33, 67})
        for (int kw : {1, 2, 3, 4, 5, 9}) {
            const int h = 1 + w % 5, kh = 1 + (kw * 7) % 5;
            OwnedValue source = randomImage(random, w, h);
            OwnedValue kernel = randomImage(random, kw, kh);
            OwnedValue result(MvImageConvolute(source.get(), kernel.get()));
            ASSERT_EQ(MvValueGetMvType(result.get()), MvTypeImageMono);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(floatAt(result.get(), x, y),
                              convolvedAt(source.get(), kernel.get(), false, x, y))
                        << w << " x " << h << " kernel " << kw << " x " << kh << " at " << x
                        << ", " << y;
        }
}

TEST(ImageConvolute, FramesStoreTheClampedByte) {
    std::mt19937 random(2);
    OwnedValue source = randomFrame(random, 13, 4);
    OwnedValue kernel = randomImage(random, 3, 3);
    OwnedValue result(MvImageConvolute(source.get(), kernel.get()));
    ASSERT_EQ(MvValueGetMvType(result.get()), MvTypeFrameMono);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 13; ++x) {
            const double v = convolvedAt(source.get(), kernel.get(), true, x, y) * 255.0;
            const int expected = !(v > 0) ? 0 : v > 255 ? 255 : static_cast<int>(v);
            ASSERT_EQ(byteAt(result.get(), x, y), expected) << x << ", " << y;
        }
}

TEST(ImageConvolute, AShiftKernelMovesTheImageWithWrapAround) {
    // K(2, 1) = 1 of a 3 x 3 kernel reads S(x - 1, y): the image moves right.
    OwnedValue source(MvImageMonoCreate(4, 1));
    for (int x = 0; x < 4; ++x)
        MvImageMonoSetPixel(source.get(), x, 0, static_cast<float>(x));
    OwnedValue kernel(MvImageMonoCreate(3, 3));
    MvImageMonoSetPixel(kernel.get(), 2, 1, 1.0f);
    OwnedValue moved(MvImageConvolute(source.get(), kernel.get()));
    EXPECT_EQ(floatAt(moved.get(), 0, 0), 3.0f);
    EXPECT_EQ(floatAt(moved.get(), 1, 0), 0.0f);
    EXPECT_EQ(floatAt(moved.get(), 3, 0), 2.0f);
}

TEST(ImageConvolute, ColourSumsStartFromOpaqueBlack) {
    // A zero kernel leaves alpha 1 and the colour 0 in every pixel.
    OwnedValue source(MvImageColorCreate(3, 2));
    OwnedValue kernel(MvImageMonoCreate(3, 3));
    OwnedValue result(MvImageConvolute(source.get(), kernel.get()));
    const float* pixel = reinterpret_cast<const float*>(MvFrameColorGetLine(result.get(), 1)) + 4;
    EXPECT_EQ(pixel[0], 1.0f);
    EXPECT_EQ(pixel[1], 0.0f);
    // A colour kernel on a grey frame gives a grey frame of the luminance.
    OwnedValue grey(MvFrameMonoCreate(2, 2));
    MvFrameMonoGetLine(grey.get(), 0)[0] = 200;
    OwnedValue colourKernel(MvImageColorCreate(1, 1));
    float* k = reinterpret_cast<float*>(MvFrameColorGetLine(colourKernel.get(), 0));
    k[0] = 0; k[1] = 1; k[2] = 0; k[3] = 0;   // red only
    OwnedValue red(MvImageConvolute(grey.get(), colourKernel.get()));
    EXPECT_EQ(MvValueGetMvType(red.get()), MvTypeFrameMono);
    // 200/255 in red alone: 0.3 of it as grey.
    EXPECT_EQ(byteAt(red.get(), 0, 0), static_cast<int>(0.3f * (200 * 0.003921569f) * 255.0));
}

TEST(ImageConvolute, ErrorsAndEmptyOperands) {
    OwnedValue source(MvFrameMonoCreate(2, 2));
    OwnedValue number(MvNumberCreate(1));
    EXPECT_EQ(thrownMessage([&] { MvImageConvolute(source.get(), number.get()); }),
              "Convolute failed: Unknown operand type");
    OwnedValue empty(MvFrameMonoCreate(0, 0));
    OwnedValue a(MvImageConvolute(empty.get(), source.get()));
    EXPECT_EQ(MvImageGetWidth(a.get()), 0);
    // An empty kernel has no taps: the sums stay 0.
    MvFrameMonoGetLine(source.get(), 0)[0] = 255;
    OwnedValue b(MvImageConvolute(source.get(), empty.get()));
    EXPECT_EQ(byteAt(b.get(), 0, 0), 0);
}

namespace {

// The rank-th of the selected neighbourhood, by the rules.
int rankedAt(MvValue* source, const std::vector<std::vector<int>>& mask, int rank, int x, int y) {
    const int w = MvImageGetWidth(source), h = MvImageGetHeight(source);
    const int mh = static_cast<int>(mask.size()), mw = static_cast<int>(mask[0].size());
    const int hx = (mw - 1) / 2, hy = (mh - 1) / 2;
    std::vector<int> values;
    for (int j = 0; j <= 2 * hy; ++j)
        for (int c = 0; c <= 2 * hx; ++c)
            if (mask[j][c])
                values.push_back(byteAt(source, wrap(x + hx - c, w), wrap(y + hy - j, h)));
    std::sort(values.begin(), values.end());
    const int r = std::max(0, std::min(rank, static_cast<int>(values.size()) - 1));
    return values[r];
}

OwnedValue maskFrame(const std::vector<std::vector<int>>& mask) {
    OwnedValue frame(MvFrameMonoCreate(static_cast<int>(mask[0].size()), static_cast<int>(mask.size())));
    for (std::size_t j = 0; j < mask.size(); ++j)
        for (std::size_t c = 0; c < mask[j].size(); ++c)
            MvFrameMonoGetLine(frame.get(), static_cast<int>(j))[c] = mask[j][c] ? 1 : 0;
    return frame;
}

} // namespace

TEST(ImageMedianFilter, FullAndPartialMasksFollowTheRules) {
    std::mt19937 random(4);
    const std::vector<std::vector<std::vector<int>>> masks = {
        {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}},
        {{1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}},
        {{0, 1, 0}, {1, 1, 1}, {0, 1, 0}},
        {{1, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 1, 0, 1}},
        {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}},
    };
    for (const auto& mask : masks) {
        OwnedValue m = maskFrame(mask);
        for (int w : {1, 2, 5, 17, 40, 67})
            for (double rank : {-2.0, 0.0, 1.9, 4.0, 12.0, 100.0}) {
                const int h = 1 + w % 4;
                OwnedValue source = randomFrame(random, w, h, w % 2 ? 4 : 256);
                OwnedValue result(MvImageMedianFilter(source.get(), m.get(), rank));
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        ASSERT_EQ(byteAt(result.get(), x, y),
                                  rankedAt(source.get(), mask, static_cast<int>(rank), x, y))
                            << "mask " << mask[0].size() << " x " << mask.size() << " rank "
                            << rank << " width " << w << " at " << x << ", " << y;
            }
    }
}

TEST(ImageMedianFilter, ErrorsAndColourPixels) {
    OwnedValue source(MvFrameMonoCreate(3, 3));
    OwnedValue number(MvNumberCreate(1));
    EXPECT_EQ(thrownMessage([&] { MvImageMedianFilter(source.get(), number.get(), 4); }),
              "Median Filter failed: Unknown operand type");
    OwnedValue none(MvFrameMonoCreate(3, 3));
    EXPECT_EQ(thrownMessage([&] { MvImageMedianFilter(source.get(), none.get(), 4); }),
              "Median Filter failed: the mask selects no pixel.");
    // Colour pixels are ordered by their grey value and kept whole.
    OwnedValue colour(MvFrameColorCreate(3, 1));
    std::uint32_t* line = reinterpret_cast<std::uint32_t*>(MvFrameColorGetLine(colour.get(), 0));
    line[0] = 0xFFFF0000u;   // red: grey 76
    line[1] = 0xFF00FF00u;   // green: grey 150
    line[2] = 0xFF0000FFu;   // blue: grey 27
    OwnedValue row(MvFrameMonoCreate(3, 1));
    std::memset(MvFrameMonoGetLine(row.get(), 0), 1, 3);
    OwnedValue median(MvImageMedianFilter(colour.get(), row.get(), 1));
    const std::uint32_t* out = reinterpret_cast<const std::uint32_t*>(MvFrameColorGetLine(median.get(), 0));
    EXPECT_EQ(out[0], 0xFFFF0000u);
    EXPECT_EQ(out[1], 0xFFFF0000u);
}

TEST(ImageAffine, IdentityScaleAndClipping) {
    std::mt19937 random(6);
    OwnedValue source = randomFrame(random, 8, 6);
    // The identity copies the window; outside it the background is used.
    OwnedValue copy(MvFrameMonoCreate(8, 6));
    MvImageTransformAffine(source.get(), copy.get(), 1, 0, 0, 1, 0, 0, 8, 6, 0, 0, 8, 6,
                           MvColor{1, 1, 1});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(byteAt(copy.get(), x, y), byteAt(source.get(), x, y));
    // Half a pixel to the right: byte arithmetic, each product truncated.
    OwnedValue half(MvFrameMonoCreate(2, 1));
    OwnedValue two(MvFrameMonoCreate(3, 1));
    MvFrameMonoGetLine(two.get(), 0)[0] = 101;
    MvFrameMonoGetLine(two.get(), 0)[1] = 51;
    MvImageTransformAffine(two.get(), half.get(), 2, 0, 0, 1, 1, 0, 3, 1, 0, 0, 3, 1, MvColor{});
    // x = 1 maps to u = 0.5: 101 x 0.5 = 50 plus 51 x 0.5 = 25.
    EXPECT_EQ(byteAt(half.get(), 0, 0), 75);
    // A destination narrower than x1 - x0 gets only its own columns.
    OwnedValue narrow(MvFrameMonoCreate(2, 2));
    MvImageTransformAffine(source.get(), narrow.get(), 1, 0, 0, 1, 0, 0, 8, 2, 0, 0, 8, 6,
                           MvColor{});
    EXPECT_EQ(byteAt(narrow.get(), 1, 1), byteAt(source.get(), 1, 1));
    // Too many rows raise the index error; a zero determinant fills.
    EXPECT_EQ(thrownMessage([&] {
                  MvImageTransformAffine(source.get(), narrow.get(), 1, 0, 0, 1, 0, 0, 2, 3, 0,
                                         0, 8, 6, MvColor{});
              }),
              "Index \"2\" is too large (> 1).");
    MvImageTransformAffine(source.get(), narrow.get(), 1, 1, 1, 1, 1, 0, 9, 9, 0, 0, 8, 6,
                           MvColor{1, 1, 1});
    EXPECT_EQ(byteAt(narrow.get(), 1, 1), 254);
    EXPECT_EQ(byteAt(narrow.get(), 0, 1), byteAt(source.get(), 0, 1));
    OwnedValue other(MvImageMonoCreate(2, 2));
    EXPECT_EQ(thrownMessage([&] {
                  MvImageTransformAffine(source.get(), other.get(), 1, 0, 0, 1, 0, 0, 1, 1, 0, 0,
                                         1, 1, MvColor{});
              }),
              "The affine transform needs a destination of the source's kind.");
}

TEST(ImagePixels, PixelMultiplicationAndLuminance) {
    OwnedValue frame(MvFrameMonoCreate(2, 1));
    MvFrameMonoGetLine(frame.get(), 0)[1] = 100;
    MvImageMultiplyPixelByNumber(frame.get(), 1, 0, 3);
    EXPECT_EQ(byteAt(frame.get(), 1, 0), 255);
    MvImageMultiplyPixelByNumber(frame.get(), 1, 0, 0.5);
    EXPECT_EQ(byteAt(frame.get(), 1, 0), 127);
    EXPECT_DOUBLE_EQ(MvImageGetPixelLuminance(frame.get(), 1, 0), 127 / 255.0);
    EXPECT_EQ(thrownMessage([&] { MvImageMultiplyPixelByNumber(frame.get(), 2, 0, 1); }),
              "Index \"2\" is too large (> 1).");
    EXPECT_EQ(thrownMessage([&] { MvImageGetPixelLuminance(frame.get(), 0, -1); }),
              "Index \"-1\" is too small (< 0).");
}

TEST(ImagePairs, DifferentSizesUseTheCommonArea) {
    OwnedValue big(MvFrameMonoCreate(5, 3));
    OwnedValue small(MvFrameMonoCreate(2, 1));
    std::memset(MvFrameMonoGetLine(big.get(), 2), 200, 5);
    MvFrameMonoGetLine(small.get(), 0)[0] = 90;
    OwnedValue lo(MvImageBinaryMax(small.get(), big.get()));
    EXPECT_EQ(MvImageGetWidth(lo.get()), 2);
    EXPECT_EQ(byteAt(lo.get(), 0, 0), 90);
    OwnedValue hi(MvImageBinaryMax(big.get(), small.get()));
    EXPECT_EQ(MvImageGetHeight(hi.get()), 3);
    EXPECT_EQ(byteAt(hi.get(), 0, 0), 90);
    EXPECT_EQ(byteAt(hi.get(), 4, 2), 200);
    OwnedValue image(MvImageMonoCreate(2, 1));
    EXPECT_EQ(thrownMessage([&] { MvImageBinaryMin(big.get(), image.get()); }),
              "Both parameters must have the same type.");
}

TEST(ImageRows, InterlaceAndAlphaThroughTheFlatInterface) {
    OwnedValue five(MvImageMonoCreate(1, 5));
    for (int y = 0; y < 5; ++y)
        MvImageMonoSetPixel(five.get(), 0, y, static_cast<float>(y));
    OwnedValue even(MvImageDeInterlaceEven(five.get()));
    OwnedValue odd(MvImageDeInterlaceOdd(five.get()));
    OwnedValue back(MvImageInterlace(even.get(), odd.get()));
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(floatAt(back.get(), 0, y), static_cast<float>(y));
    EXPECT_EQ(thrownMessage([&] { MvImageInterlace(odd.get(), even.get()); }),
              "Frames to interlace must have the same width, and the odd frame the height of the "
              "even frame or one line less.");
    EXPECT_EQ(thrownMessage([&] { MvImageGetAlpha(five.get()); }),
              "GetAlpha, requires a color image");
    EXPECT_EQ(thrownMessage([&] { MvImageSetAlpha(five.get(), five.get()); }),
              "SetAlpha, requires a color image");
    OwnedValue colour(MvImageColorCreate(2, 2));
    OwnedValue number(MvNumberCreate(1));
    EXPECT_EQ(thrownMessage([&] { MvImageSetAlpha(colour.get(), number.get()); }),
              "Operation failed: Unknown operand type");
    // A smaller alpha image sets only the pixels it covers.
    OwnedValue alpha(MvImageMonoCreate(1, 1));
    MvImageMonoSetPixel(alpha.get(), 0, 0, 0.5f);
    OwnedValue withAlpha(MvImageSetAlpha(colour.get(), alpha.get()));
    const float* row = reinterpret_cast<const float*>(MvFrameColorGetLine(withAlpha.get(), 0));
    EXPECT_EQ(row[0], 0.5f);
    EXPECT_EQ(row[4], 0.0f);
    MvValueHolder sum(MvImageSumElements(five.get()));
    EXPECT_EQ(sum->GetColor().red, 10.0);
}
