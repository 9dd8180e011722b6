// Flat functions over frames and images for hosts and plug-ins.
//
// Values made here start with one reference and no holders and their pixels
// at 0; a value never handed to a holder is freed with the matching ...Delete
// function, which deletes it through the virtual destructor (null is
// ignored). Functions that take an image raise a script error (MvException*)
// for a value that is not one, and for an index out of range.
#ifndef MORVANE_MVIMAGEAPI_H
#define MORVANE_MVIMAGEAPI_H

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

#endif
