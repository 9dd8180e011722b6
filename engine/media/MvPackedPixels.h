// Conversions between the packed 8-bit pixel formats that image files use
// most (RGB, RGBA, BGR, BGRA, grey) and the frames' BGRA and grey rows.
// They are plain byte moves that swscale does more slowly; anything else
// goes through swscale.
#ifndef MORVANE_ENGINE_MVPACKEDPIXELS_H
#define MORVANE_ENGINE_MVPACKEDPIXELS_H

#include "media/MvFFmpeg.h"

#include <cstddef>
#include <cstdint>

// Converts width x height pixels from rows of format from to rows of
// format to (strides in bytes, negative for bottom-up rows); false, with
// nothing written, when the pair is not one of the packed conversions.
bool MvConvertPackedPixels(const std::uint8_t* source, std::ptrdiff_t sourceStride,
                           AVPixelFormat from, std::uint8_t* target,
                           std::ptrdiff_t targetStride, AVPixelFormat to, int width, int height);

// Whether rows of format from can become BGRA rows where they are: formats
// of 3 or 4 bytes a pixel with red, green and blue (RGB24, BGR24, RGBA,
// BGRA).
bool MvCanConvertToBgraInPlace(AVPixelFormat from);

// Turns width x height pixels of format from (one MvCanConvertToBgraInPlace
// accepts) into BGRA pixels in the same rows, opaque when from has no alpha.
// Each row must have room for width BGRA pixels.
void MvConvertToBgraInPlace(std::uint8_t* rows, std::ptrdiff_t stride, AVPixelFormat from,
                            int width, int height);

#endif
