#include "media/MvPalette.h"

#include "image/MvPixelConvert.h"

#include <cstring>

namespace {

std::uint32_t argbOf(bgPix grey) { return 0xFF000000u | grey * 0x010101u; }
std::uint32_t argbOf(const bcPix& p) { return MvPixel::packARGB(p); }

template <class Pix>
bool collect(const MvPixelArray<Pix>& pixels, MvPalette& palette) {
    palette.colours.clear();
    palette.index.clear();
    for (std::int32_t y = 0; y < pixels.height(); ++y) {
        const Pix* row = pixels.row(y);
        for (std::int32_t x = 0; x < pixels.width(); ++x) {
            const std::uint32_t colour = argbOf(row[x]);
            if (palette.index.count(colour))
                continue;
            if (palette.colours.size() == 256)
                return false;
            palette.index.emplace(colour, static_cast<std::uint8_t>(palette.colours.size()));
            palette.colours.push_back(colour);
        }
    }
    return true;
}

template <class Pix>
void fill(const MvPixelArray<Pix>& pixels, const MvPalette& palette, AVFrame& picture) {
    std::uint32_t entries[256] = {};
    std::copy(palette.colours.begin(), palette.colours.end(), entries);
    std::memcpy(picture.data[1], entries, sizeof entries);
    for (std::int32_t y = 0; y < pixels.height(); ++y) {
        const Pix* row = pixels.row(y);
        std::uint8_t* indices = picture.data[0] + std::ptrdiff_t(y) * picture.linesize[0];
        for (std::int32_t x = 0; x < pixels.width(); ++x)
            indices[x] = palette.index.at(argbOf(row[x]));
    }
}

} // namespace

bool MvExactPalette(const MvPixelArray<bgPix>& pixels, MvPalette& palette) {
    return collect(pixels, palette);
}
bool MvExactPalette(const MvPixelArray<bcPix>& pixels, MvPalette& palette) {
    return collect(pixels, palette);
}
void MvFillPaletteIndices(const MvPixelArray<bgPix>& pixels, const MvPalette& palette,
                          AVFrame& picture) {
    fill(pixels, palette, picture);
}
void MvFillPaletteIndices(const MvPixelArray<bcPix>& pixels, const MvPalette& palette,
                          AVFrame& picture) {
    fill(pixels, palette, picture);
}
