// Flat functions over frames and images for hosts and plug-ins.
//
// Values made here start with one reference and no holders and their pixels
// at 0; a value never handed to a holder is freed with the matching ...Delete
// function, which deletes it through the virtual destructor (null is
// ignored). Functions that take an image raise a script error (MvException*)
// for a value that is not one, and for an index out of range.
#ifndef MORVANE_MVIMAGEAPI_H
#define MORVANE_MVIMAGEAPI_H

#include "MvColor.h"
#include "MvExport.h"
#include "MvGWorld.h"
#include "MvValue.h"

#include <cstdint>

// frame_mono and frame values (compression "JPEG").
MV_C_API MvValue* MvFrameMonoCreate(std::int32_t width, std::int32_t height);
MV_C_API MvValue* MvFrameColorCreate(std::int32_t width, std::int32_t height);
// A frame of gw's size holding its pixels (grey frames take the luminance).
MV_C_API MvValue* MvFrameMonoCreateFromGWorld(MvGWorld* gw);
MV_C_API MvValue* MvFrameColorCreateFromGWorld(MvGWorld* gw);
// Row y (0 .. height - 1) of any frame or image: bytes, 32-bit pixels
// 0xAARRGGBB, floats or four floats alpha, red, green, blue.
MV_C_API unsigned char* MvFrameMonoGetLine(MvValue* frame, std::int32_t y);
MV_C_API unsigned char* MvFrameColorGetLine(MvValue* frame, std::int32_t y);
// Stores argb (0xAARRGGBB) at pixel (x, y) of a frame.
MV_C_API void MvFrameColorSetPixelARGB(MvValue* frame, std::int32_t x, std::int32_t y,
                                       std::uint32_t argb);

// image_mono and image values.
MV_C_API MvValue* MvImageMonoCreate(std::int32_t width, std::int32_t height);
MV_C_API MvValue* MvImageColorCreate(std::int32_t width, std::int32_t height);
// Stores value at pixel (x, y) of an image_mono.
MV_C_API void MvImageMonoSetPixel(MvValue* image, std::int32_t x, std::int32_t y, float value);

MV_C_API void MvFrameMonoDelete(MvValue* frame);
MV_C_API void MvFrameColorDelete(MvValue* frame);
MV_C_API void MvImageMonoDelete(MvValue* image);
MV_C_API void MvImageColorDelete(MvValue* image);

// A new empty image of the same kind as image, width x height.
MV_C_API MvValue* MvImageTypeConstruct(MvValue* image, std::int32_t width, std::int32_t height);
// A new opaque 'BGRA' buffer of the image; the caller owns it.
MV_C_API MvGWorld* MvImageCreateGWorld(MvValue* image);
MV_C_API std::int32_t MvImageGetWidth(MvValue* image);
MV_C_API std::int32_t MvImageGetHeight(MvValue* image);
MV_C_API double MvImageGetQuality(MvValue* image);
// image = image * number (or / number), in place, by the image arithmetic's
// rules; dividing by 0 raises "division by zero".
MV_C_API void MvImageMultiplyByNumber(MvValue* image, double number);
MV_C_API void MvImageDivideByNumber(MvValue* image, double number);

// The filters. Each returns a new image of the kind of its first argument
// (the caller owns it) and leaves the arguments unchanged.
//
// The sum of the grey values (frames on the 0..1 scale) as a colour value
// with red = green = blue = the sum.
MV_C_API MvValue* MvImageSumElements(MvValue* image);
// True convolution with the kernel image (of any kind), flipped, using its
// centred odd-sized part; coordinates past the edges wrap around.
MV_C_API MvValue* MvImageConvolute(MvValue* image, MvValue* kernel);
// The rank-th smallest (from 0) of the pixels under the non-zero pixels of
// the mask, wrapping around like the convolution; rank is truncated and
// held to 0 .. count - 1, so count / 2 gives the median.
MV_C_API MvValue* MvImageMedianFilter(MvValue* image, MvValue* mask, double rank);
// Colour images only: the alpha channel as a grey colour image, and a copy
// with the alpha channel taken from the grey values of alpha.
MV_C_API MvValue* MvImageGetAlpha(MvValue* image);
MV_C_API MvValue* MvImageSetAlpha(MvValue* image, MvValue* alpha);
// Rows of image and other taken in turn (other: same kind and width, the
// same height or one row less); the even or odd rows of an image.
MV_C_API MvValue* MvImageInterlace(MvValue* image, MvValue* other);
MV_C_API MvValue* MvImageDeInterlaceEven(MvValue* image);
MV_C_API MvValue* MvImageDeInterlaceOdd(MvValue* image);
// The pixel-wise minimum or maximum of two images of the same kind over
// their common area; the rest of the result is image's.
MV_C_API MvValue* MvImageBinaryMin(MvValue* image, MvValue* other);
MV_C_API MvValue* MvImageBinaryMax(MvValue* image, MvValue* other);
// The luminance 0..1 of pixel (x, y).
MV_C_API double MvImageGetPixelLuminance(MvValue* image, std::int32_t x, std::int32_t y);
// Pixel (x, y) of image itself times factor (frames clamp to 0..255).
MV_C_API void MvImageMultiplyPixelByNumber(MvValue* image, std::int32_t x, std::int32_t y,
                                           double factor);
// Fills the rectangle x0 <= x < x1, y0 <= y < y1 (destination pixel
// (x - x0, y - y0)) of destination, an image of source's kind, with the
// source mapped back through the inverse of (u, v) -> (a u + b v, c u + d v)
// and blended bilinearly; source pixels outside sx0 <= x < sx1,
// sy0 <= y < sy1 read as the background. Columns past the destination's
// width are skipped; a row past its height raises the index error.
MV_C_API void MvImageTransformAffine(MvValue* source, MvValue* destination, double a, double b,
                                     double c, double d, std::int32_t x0, std::int32_t y0,
                                     std::int32_t x1, std::int32_t y1, std::int32_t sx0,
                                     std::int32_t sy0, std::int32_t sx1, std::int32_t sy1,
                                     MvColor background);

#endif
