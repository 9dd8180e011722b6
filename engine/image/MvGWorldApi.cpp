// The flat interface of the offscreen buffers for hosts and plug-ins.
#include "morvane/MvGWorld.h"

#include "image/MvPixelConvert.h"
#include "morvane/MvProcess.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// The pixel at x of a locked line as 0xAARRGGBB.
std::uint32_t readARGB(MvGWorld& gw, const unsigned char* line, std::int32_t x) {
    switch (gw.getPixelFormat()) {
    case kMvPixelFormatBGRA: {
        std::uint32_t argb;
        std::memcpy(&argb, line + 4 * x, 4);
        return argb;
    }
    case kMvPixelFormatIndexed8: {
        const MvColorSpec* table = gw.getCLUT();
        const MvColorTable* all = gw.getPixMap()->colorTable;
        const unsigned index = line[x];
        if (!table || index >= all->size())
            return 0xFF000000u;
        const MvColorSpec& c = table[index];
        return 0xFF000000u | (c.red >> 8) << 16 | (c.green >> 8) << 8 | (c.blue >> 8);
    }
    default:
        return 0xFF000000u | line[x] * 0x010101u;
    }
}

void writeARGB(MvGWorld& gw, unsigned char* line, std::int32_t x, std::uint32_t argb) {
    if (gw.getPixelFormat() == kMvPixelFormatBGRA) {
        std::memcpy(line + 4 * x, &argb, 4);
        return;
    }
    const bcPix p = MvPixel::unpackARGB(argb);
    line[x] = MvPixel::byteLuminance(p.red, p.green, p.blue);
}

MvRect wholeBounds(const MvGWorld& gw) {
    return MvRect{0, 0, static_cast<std::int16_t>(gw.getHeight()),
                  static_cast<std::int16_t>(gw.getWidth())};
}

// Copies from into the destination rectangle to, by nearest neighbour,
// skipping the pixels that fall outside either buffer.
void copyPixels(MvGWorld& source, const MvRect& from, MvGWorld& destination, const MvRect& to) {
    const std::int32_t fromWidth = from.right - from.left, fromHeight = from.bottom - from.top;
    const std::int32_t toWidth = to.right - to.left, toHeight = to.bottom - to.top;
    if (fromWidth <= 0 || fromHeight <= 0 || toWidth <= 0 || toHeight <= 0)
        return;
    MvGWorldDrawScope sourceScope(source);
    MvGWorldDrawScope destinationScope(destination);
    for (std::int32_t j = 0; j < toHeight; ++j) {
        const std::int32_t ty = to.top + j;
        const std::int32_t sy = from.top + static_cast<std::int32_t>(
                                               static_cast<double>(j) * fromHeight / toHeight);
        if (ty < 0 || ty >= destination.getHeight() || sy < 0 || sy >= source.getHeight())
            continue;
        const unsigned char* in = source.getLineX(sy);
        unsigned char* out = destination.getLineX(ty);
        for (std::int32_t i = 0; i < toWidth; ++i) {
            const std::int32_t tx = to.left + i;
            const std::int32_t sx = from.left + static_cast<std::int32_t>(
                                                    static_cast<double>(i) * fromWidth / toWidth);
            if (tx < 0 || tx >= destination.getWidth() || sx < 0 || sx >= source.getWidth())
                continue;
            writeARGB(destination, out, tx, readARGB(source, in, sx));
        }
    }
}

constexpr std::int32_t kLargestSide = std::numeric_limits<std::int16_t>::max();

} // namespace

MvGWorld* MvGWorldCreate(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0)
        MvError("Can't create a frame or image with zero area.");
    if (width > kLargestSide || height > kLargestSide)
        MvError("Out of Memory");
    return new MvGWorld(MvRect{0, 0, static_cast<std::int16_t>(height),
                               static_cast<std::int16_t>(width)},
                        kMvPixelFormatBGRA);
}

void MvGWorldDelete(MvGWorld* gw) { delete gw; }

unsigned char* MvGWorldLock(MvGWorld* gw) { return gw->Lock(); }
void MvGWorldUnlock(MvGWorld* gw) { gw->Unlock(); }

unsigned char* MvGWorldGetLineRandomAccess(MvGWorld* gw, std::int32_t y) { return gw->getLineX(y); }
unsigned char* MvGWorldGetLineRead1(MvGWorld* gw, std::int32_t y) { return gw->getLineX(y); }
unsigned char* MvGWorldGetLineRead2(MvGWorld* gw, std::int32_t y) { return gw->getLineX(y); }
unsigned char* MvGWorldGetLineRead3(MvGWorld* gw, std::int32_t y) { return gw->getLineX(y); }
unsigned char* MvGWorldGetLineReadWrite(MvGWorld* gw, std::int32_t y) { return gw->getLineX(y); }
unsigned char* MvGWorldGetLineWrite(MvGWorld* gw, std::int32_t y) { return gw->getLineX(y); }

std::int32_t MvGWorldGetWidth(MvGWorld* gw) { return gw->getWidth(); }
std::int32_t MvGWorldGetHeight(MvGWorld* gw) { return gw->getHeight(); }
std::uint32_t MvGWorldGetPixelFormat(MvGWorld* gw) { return gw->getPixelFormat(); }
const MvColorSpec* MvGWorldGetCLUT(MvGWorld* gw) { return gw->getCLUT(); }
MvPixMap* MvGWorldGetPixMap(MvGWorld* gw) { return gw->getPixMap(); }
std::int32_t MvGWorldGetRowBytes(MvGWorld* gw) { return gw->getRowBytes(); }
void* MvGWorldGetMacGWorld(MvGWorld* gw) { return gw->getMacGWorld(); }

void MvGWorldCopyImage(MvGWorld* source, MvGWorld* destination, const MvRect* destRect,
                       const MvRect* sourceRect, std::int16_t, void*) {
    copyPixels(*source, sourceRect ? *sourceRect : wholeBounds(*source), *destination, *destRect);
}

void MvGWorldCopyImageToGWorld(MvGWorld* gw, void* destinationPort, const MvRect* destRect,
                               std::int16_t, void*) {
    copyPixels(*gw, wholeBounds(*gw), *static_cast<MvGWorld*>(destinationPort), *destRect);
}

void MvGWorldSetContext(MvGWorld* gw, int inScope) { gw->setContext(inScope != 0); }
