// The image operations that do not depend on a second image: conversion to
// the other kinds, statistics, resizing, sub-images, pixel buffers, text.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvGWorldPixels.h"
#include "image/MvPixelOps.h"
#include "image/MvTextDrawing.h"
#include "morvane/MvException.h"
#include "values/MvColorValue.h"

#include <string>
#include <type_traits>

namespace {

// Grey values of frames are bytes; scripts see them on the 0..1 scale.
template <class Pix>
double greyScale() {
    return sizeof(typename MvPixelKernels::Traits<Pix>::Lane) == 1 ? 1.0 / 255.0 : 1.0;
}

// The pixels in another pixel type (a plain copy for the same type).
template <class To, class From>
MvPixelArray<To> converted(const MvPixelArray<From>& pixels) {
    if constexpr (std::is_same<To, From>::value)
        return pixels;
    else
        return MvConvertPixels<To>(pixels);
}

MvValue* greyColour(double grey) { return new MvColorValue(MvColor{grey, grey, grey}); }

} // namespace

template <class Pix>
Pix MvNewImageValue<Pix>::pixelOf(const MvColor& colour) {
    const fcPix pixel{1.0f, static_cast<float>(colour.red), static_cast<float>(colour.green),
                      static_cast<float>(colour.blue)};
    return MvPixel::convert<Pix>(pixel);
}

template <class Pix>
void MvNewImageValue<Pix>::Coerce(MvValueHolder& result, MvTypeEnum target) {
    if (target == GetType() || !MvIsImageType(target)) {
        MvValue::Coerce(result, target);
        return;
    }
    switch (target) {
    case MvTypeFrameMono: result = MvMakeImage(converted<bgPix>(pixels)); return;
    case MvTypeFrame: result = MvMakeImage(converted<bcPix>(pixels)); return;
    case MvTypeImageMono: result = MvMakeImage(converted<fgPix>(pixels)); return;
    default: result = MvMakeImage(converted<fcPix>(pixels)); return;
    }
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::Average() {
    const MvGreyStatistics s = MvComputeGreyStatistics(pixels, false);
    return greyColour(pixels.empty() ? s.average : s.average * greyScale<Pix>());
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::Sdev() {
    const MvGreyStatistics s = MvComputeGreyStatistics(pixels, true);
    return greyColour(pixels.empty() ? s.sdev : s.sdev * greyScale<Pix>());
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::Max() {
    return greyColour(MvComputeGreyStatistics(pixels, false).maximum * greyScale<Pix>());
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::Min() {
    return greyColour(MvComputeGreyStatistics(pixels, false).minimum * greyScale<Pix>());
}

template <class Pix>
bool MvNewImageValue<Pix>::CanHoldResult(MvTypeEnum resultType, MvValue* left) {
    if (resultType != GetType() || !left || left->GetType() != GetType())
        return false;
    const MvNewImageValue& other = *static_cast<MvNewImageValue*>(left);
    return other.pixels.width() == pixels.width() && other.pixels.height() == pixels.height();
}

template <class Pix>
void MvNewImageValue<Pix>::Resize(std::int32_t width, std::int32_t height) {
    if (width == pixels.width() && height == pixels.height())
        return;
    MvPixelArray<Pix> resized(pixels, width, height, MvPixelFill::kNearestNeighbour);
    pixels.swap(resized);
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::SubImage(std::int32_t top, std::int32_t left, std::int32_t bottom,
                                       std::int32_t right) {
    MvCheckIndex(left, 0, pixels.width());
    MvCheckIndex(right, 0, pixels.width());
    MvCheckIndex(top, 0, pixels.height());
    MvCheckIndex(bottom, 0, pixels.height());
    if (left > right)
        MvRaise("Invalid rectangle (left > right)");
    if (top > bottom)
        MvRaise("Invalid rectangle (top > bottom)");
    MvPixelArray<Pix> part(right - left, bottom - top);
    for (std::int32_t y = 0; y < part.height(); ++y) {
        const Pix* from = pixels.row(top + y) + left;
        std::copy(from, from + part.width(), part.row(y));
    }
    return MvMakeImage(std::move(part));
}

template <class Pix>
MvGWorld* MvNewImageValue<Pix>::CreateGWorld() {
    return MvGWorldFromPixels(pixels);
}

template <class Pix>
void MvNewImageValue<Pix>::DrawText(const std::string& text, std::int32_t left, std::int32_t top,
                                    std::int32_t right, std::int32_t bottom, double size,
                                    const MvColor& colour) {
    MvDrawText(pixels, text, left, top, right, bottom, size, colour);
}

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_IMAGE_CLASS)
