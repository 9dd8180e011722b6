// Pixels between offscreen buffers and the image values' arrays.
#include "image/MvGWorldPixels.h"

#include "image/MvPixelConvert.h"
#include "morvane/MvProcess.h"

#include <cstring>
#include <limits>

namespace {

// One buffer line converted into one row of Pix.
template <class Pix> void readLine(MvGWorld& gw, const unsigned char* line, Pix* row);

bcPix tableColour(const MvGWorld& gw, unsigned index) {
    const MvColorTable* table = const_cast<MvGWorld&>(gw).getPixMap()->colorTable;
    if (!table || index >= table->size())
        return bcPix{0, 0, 0, 255};
    const MvColorSpec& c = (*table)[index];
    return bcPix{static_cast<std::uint8_t>(c.blue >> 8), static_cast<std::uint8_t>(c.green >> 8),
                 static_cast<std::uint8_t>(c.red >> 8), 255};
}

template <>
void readLine<bcPix>(MvGWorld& gw, const unsigned char* line, bcPix* row) {
    const std::int32_t width = gw.getWidth();
    switch (gw.getPixelFormat()) {
    case kMvPixelFormatBGRA:
        std::memcpy(row, line, sizeof(bcPix) * width);
        return;
    case kMvPixelFormatIndexed8:
        for (std::int32_t x = 0; x < width; ++x)
            row[x] = tableColour(gw, line[x]);
        return;
    case kMvPixelFormatGrey8:
        for (std::int32_t x = 0; x < width; ++x)
            row[x] = bcPix{line[x], line[x], line[x], 255};
        return;
    default:
        MvError("Unknown Pixel Format");
    }
}

template <>
void readLine<bgPix>(MvGWorld& gw, const unsigned char* line, bgPix* row) {
    const std::int32_t width = gw.getWidth();
    switch (gw.getPixelFormat()) {
    case kMvPixelFormatBGRA:
        for (std::int32_t x = 0; x < width; ++x) {
            const unsigned char* p = line + 4 * x;
            row[x] = MvPixel::byteLuminance(p[2], p[1], p[0]);
        }
        return;
    case kMvPixelFormatIndexed8:
        for (std::int32_t x = 0; x < width; ++x) {
            const bcPix c = tableColour(gw, line[x]);
            row[x] = MvPixel::byteLuminance(c.red, c.green, c.blue);
        }
        return;
    case kMvPixelFormatGrey8:
        std::memcpy(row, line, width);
        return;
    default:
        MvError("Unknown Pixel Format");
    }
}

template <class Pix>
MvPixelArray<Pix> pixelsFromGWorld(MvGWorld& gw) {
    MvPixelArray<Pix> pixels(gw.getWidth(), gw.getHeight());
    MvGWorldDrawScope scope(gw);
    for (std::int32_t y = 0; y < gw.getHeight(); ++y)
        readLine(gw, gw.getLineX(y), pixels.row(y));
    return pixels;
}

std::uint32_t opaqueGrey(std::uint8_t g) { return 0xFF000000u | g * 0x010101u; }

std::uint32_t argbOf(bgPix g) { return opaqueGrey(g); }
std::uint32_t argbOf(const bcPix& p) { return MvPixel::packARGB(p); }
std::uint32_t argbOf(fgPix v) { return opaqueGrey(MvPixel::floatToByte(v)); }
std::uint32_t argbOf(const fcPix& p) { return MvPixel::packARGB(MvPixel::convert<bcPix>(p)); }

template <class Pix>
MvGWorld* gworldFromPixels(const MvPixelArray<Pix>& pixels) {
    if (pixels.empty())
        MvError("Can't create a frame or image with zero area.");
    if (pixels.width() > std::numeric_limits<std::int16_t>::max() ||
        pixels.height() > std::numeric_limits<std::int16_t>::max())
        MvError("Out of Memory");
    auto* gw = new MvGWorld(MvRect{0, 0, static_cast<std::int16_t>(pixels.height()),
                                   static_cast<std::int16_t>(pixels.width())},
                            kMvPixelFormatBGRA);
    try {
        MvGWorldDrawScope scope(*gw);
        for (std::int32_t y = 0; y < pixels.height(); ++y) {
            unsigned char* line = gw->getLineX(y);
            const Pix* row = pixels.row(y);
            for (std::int32_t x = 0; x < pixels.width(); ++x) {
                const std::uint32_t argb = argbOf(row[x]);
                std::memcpy(line + 4 * x, &argb, 4);
            }
        }
    } catch (...) {
        delete gw;
        throw;
    }
    return gw;
}

} // namespace

MvPixelArray<bgPix> MvMonoPixelsFromGWorld(MvGWorld& gw) { return pixelsFromGWorld<bgPix>(gw); }
MvPixelArray<bcPix> MvColorPixelsFromGWorld(MvGWorld& gw) { return pixelsFromGWorld<bcPix>(gw); }

MvGWorld* MvGWorldFromPixels(const MvPixelArray<bgPix>& pixels) { return gworldFromPixels(pixels); }
MvGWorld* MvGWorldFromPixels(const MvPixelArray<bcPix>& pixels) { return gworldFromPixels(pixels); }
MvGWorld* MvGWorldFromPixels(const MvPixelArray<fgPix>& pixels) { return gworldFromPixels(pixels); }
MvGWorld* MvGWorldFromPixels(const MvPixelArray<fcPix>& pixels) { return gworldFromPixels(pixels); }
