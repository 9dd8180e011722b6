// The flat frame and image functions of hosts and plug-ins.
#include "morvane/MvImageApi.h"

#include "image/MvGWorldPixels.h"
#include "image/MvImageFactory.h"
#include "image/MvImageValues.h"
#include "image/MvPixelConvert.h"
#include "morvane/MvException.h"
#include "values/MvNumberValue.h"

#include <type_traits>

namespace {

// Calls fn with value as its image class; raises for anything else.
template <class Fn>
void withImage(MvValue* value, Fn&& fn) {
    if (!MvVisitImage(value, fn))
        MvRaise("The value is not a frame or image.");
}

Mv2DValue& imageOf(MvValue* value) {
    Mv2DValue* image = nullptr;
    withImage(value, [&](auto& i) { image = &i; });
    return *image;
}

void combineInPlace(MvValue* value, MvPixelKernels::Op op, double number) {
    MvValueHolder operand(new MvNumberValue(number));
    withImage(value, [&](auto& image) { image.combine(op, operand.get(), image); });
}

void deleteImage(MvValue* value) { delete value; }

// A new frame holding pixels, made by the leaf class of its pixel type.
template <class Pix>
MvValue* frameOf(MvPixelArray<Pix> pixels) {
    return MvMakeImage(std::move(pixels));
}

} // namespace

MvValue* MvFrameMonoCreate(std::int32_t width, std::int32_t height) {
    return MvImageCreate(MvTypeFrameMono, width, height);
}

MvValue* MvFrameColorCreate(std::int32_t width, std::int32_t height) {
    return MvImageCreate(MvTypeFrame, width, height);
}

MvValue* MvImageMonoCreate(std::int32_t width, std::int32_t height) {
    return MvImageCreate(MvTypeImageMono, width, height);
}

MvValue* MvImageColorCreate(std::int32_t width, std::int32_t height) {
    return MvImageCreate(MvTypeImage, width, height);
}

MvValue* MvFrameMonoCreateFromGWorld(MvGWorld* gw) {
    if (!gw)
        MvRaise("The pixel buffer is null.");
    return frameOf(MvMonoPixelsFromGWorld(*gw));
}

MvValue* MvFrameColorCreateFromGWorld(MvGWorld* gw) {
    if (!gw)
        MvRaise("The pixel buffer is null.");
    return frameOf(MvColorPixelsFromGWorld(*gw));
}

unsigned char* MvFrameMonoGetLine(MvValue* frame, std::int32_t y) {
    unsigned char* line = nullptr;
    withImage(frame, [&](auto& image) {
        line = reinterpret_cast<unsigned char*>(image.pixels.checkedRow(y));
    });
    return line;
}

unsigned char* MvFrameColorGetLine(MvValue* frame, std::int32_t y) {
    return MvFrameMonoGetLine(frame, y);
}

void MvFrameColorSetPixelARGB(MvValue* frame, std::int32_t x, std::int32_t y, std::uint32_t argb) {
    withImage(frame, [&](auto& image) {
        auto* row = image.pixels.checkedRow(y);
        MvCheckIndex(x, 0, long(image.pixels.width()) - 1);
        using Pix = std::remove_reference_t<decltype(*row)>;
        row[x] = MvPixel::convert<Pix>(MvPixel::unpackARGB(argb));
    });
}

void MvImageMonoSetPixel(MvValue* image, std::int32_t x, std::int32_t y, float value) {
    withImage(image, [&](auto& i) {
        auto* row = i.pixels.checkedRow(y);
        MvCheckIndex(x, 0, long(i.pixels.width()) - 1);
        using Pix = std::remove_reference_t<decltype(*row)>;
        row[x] = MvPixel::convert<Pix>(fgPix(value));
    });
}

void MvFrameMonoDelete(MvValue* frame) { deleteImage(frame); }
void MvFrameColorDelete(MvValue* frame) { deleteImage(frame); }
void MvImageMonoDelete(MvValue* image) { deleteImage(image); }
void MvImageColorDelete(MvValue* image) { deleteImage(image); }

MvValue* MvImageTypeConstruct(MvValue* image, std::int32_t width, std::int32_t height) {
    return imageOf(image).TypeConstruct(width, height);
}

MvGWorld* MvImageCreateGWorld(MvValue* image) { return imageOf(image).CreateGWorld(); }

std::int32_t MvImageGetWidth(MvValue* image) { return imageOf(image).GetWidth(); }

std::int32_t MvImageGetHeight(MvValue* image) { return imageOf(image).GetHeight(); }

double MvImageGetQuality(MvValue* image) { return imageOf(image).quality; }

void MvImageMultiplyByNumber(MvValue* image, double number) {
    combineInPlace(image, MvPixelKernels::Op::kMultiply, number);
}

void MvImageDivideByNumber(MvValue* image, double number) {
    combineInPlace(image, MvPixelKernels::Op::kDivide, number);
}

MvValue* MvImageSumElements(MvValue* image) { return imageOf(image).SumElements(); }

MvValue* MvImageConvolute(MvValue* image, MvValue* kernel) {
    return imageOf(image).Convolute(kernel);
}

MvValue* MvImageMedianFilter(MvValue* image, MvValue* mask, double rank) {
    return imageOf(image).MedianFilter(mask, rank);
}

MvValue* MvImageGetAlpha(MvValue* image) { return imageOf(image).GetAlpha(); }

MvValue* MvImageSetAlpha(MvValue* image, MvValue* alpha) {
    return imageOf(image).SetAlpha(alpha);
}

MvValue* MvImageInterlace(MvValue* image, MvValue* other) {
    return imageOf(image).Interlace(other);
}

MvValue* MvImageDeInterlaceEven(MvValue* image) { return imageOf(image).DeInterlaceEven(); }

MvValue* MvImageDeInterlaceOdd(MvValue* image) { return imageOf(image).DeInterlaceOdd(); }

MvValue* MvImageBinaryMin(MvValue* image, MvValue* other) {
    return imageOf(image).BinaryMin(other);
}

MvValue* MvImageBinaryMax(MvValue* image, MvValue* other) {
    return imageOf(image).BinaryMax(other);
}

double MvImageGetPixelLuminance(MvValue* image, std::int32_t x, std::int32_t y) {
    return imageOf(image).GetPixelLuminance(x, y);
}

void MvImageMultiplyPixelByNumber(MvValue* image, std::int32_t x, std::int32_t y, double factor) {
    imageOf(image).MultiplyPixelByNumber(x, y, factor);
}

void MvImageTransformAffine(MvValue* source, MvValue* destination, double a, double b, double c,
                            double d, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                            std::int32_t y1, std::int32_t sx0, std::int32_t sy0, std::int32_t sx1,
                            std::int32_t sy1, MvColor background) {
    imageOf(source).TransformAffine(&imageOf(destination), a, b, c, d, x0, y0, x1, y1, sx0, sy0,
                                    sx1, sy1, background);
}
