// Frames written as palette pictures (GIF): the palette holds every colour
// of the frame exactly, so nothing is lost.
#ifndef MORVANE_ENGINE_MVPALETTE_H
#define MORVANE_ENGINE_MVPALETTE_H

#include "image/MvPixelArray.h"
#include "media/MvFFmpeg.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

struct MvPalette {
    std::vector<std::uint32_t> colours;                  // 0xAARRGGBB
    std::unordered_map<std::uint32_t, std::uint8_t> index;   // colour -> entry
};

// Collects the frame's colours into palette; false when there are more
// than 256 of them.
bool MvExactPalette(const MvPixelArray<bgPix>& pixels, MvPalette& palette);
bool MvExactPalette(const MvPixelArray<bcPix>& pixels, MvPalette& palette);

// Writes the palette and each pixel's entry into a PAL8 picture of the
// frame's size.
void MvFillPaletteIndices(const MvPixelArray<bgPix>& pixels, const MvPalette& palette,
                          AVFrame& picture);
void MvFillPaletteIndices(const MvPixelArray<bcPix>& pixels, const MvPalette& palette,
                          AVFrame& picture);

#endif
