#include "media/MvPackedPixels.h"

#include <cstring>

namespace {

// Where red, green, blue and alpha sit in a pixel of a packed format, and
// its size; alpha < 0 for formats without it.
struct Layout {
    int red, green, blue, alpha, size;
};

bool layoutOf(AVPixelFormat format, Layout& layout) {
    switch (format) {
    case AV_PIX_FMT_RGB24: layout = {0, 1, 2, -1, 3}; return true;
    case AV_PIX_FMT_BGR24: layout = {2, 1, 0, -1, 3}; return true;
    case AV_PIX_FMT_RGBA: layout = {0, 1, 2, 3, 4}; return true;
    case AV_PIX_FMT_BGRA: layout = {2, 1, 0, 3, 4}; return true;
    default: return false;
    }
}

template <int kFromSize, int kToSize>
void moveRow(const std::uint8_t* from, std::uint8_t* to, const Layout& f, const Layout& t,
             int width) {
    for (int x = 0; x < width; ++x, from += kFromSize, to += kToSize) {
        to[t.red] = from[f.red];
        to[t.green] = from[f.green];
        to[t.blue] = from[f.blue];
        if (kToSize == 4)
            to[t.alpha] = kFromSize == 4 ? from[f.alpha] : 0xFF;
    }
}

// The common pairs with fixed positions, so that the compiler can unroll
// and vectorise them.
void rgbToBgra(const std::uint8_t* from, std::uint8_t* to, int width) {
    // Four pixels at a time: three little-endian words r0 g0 b0 r1 | g1 b1
    // r2 g2 | b2 r3 g3 b3 become four words 0xAARRGGBB.
    int x = 0;
    for (; x + 4 <= width; x += 4, from += 12, to += 16) {
        std::uint32_t a, b, c;
        std::memcpy(&a, from, 4);
        std::memcpy(&b, from + 4, 4);
        std::memcpy(&c, from + 8, 4);
        const std::uint32_t pixels[4] = {
            0xFF000000u | (a & 0xFF) << 16 | (a & 0xFF00) | (a >> 16 & 0xFF),
            0xFF000000u | (a >> 24) << 16 | (b & 0xFF) << 8 | (b >> 8 & 0xFF),
            0xFF000000u | (b >> 16 & 0xFF) << 16 | (b >> 24) << 8 | (c & 0xFF),
            0xFF000000u | (c >> 8 & 0xFF) << 16 | (c >> 16 & 0xFF) << 8 | (c >> 24)};
        std::memcpy(to, pixels, 16);
    }
    for (; x < width; ++x, from += 3, to += 4) {
        const std::uint32_t word = 0xFF000000u | std::uint32_t(from[0]) << 16 |
                                   std::uint32_t(from[1]) << 8 | from[2];
        std::memcpy(to, &word, 4);
    }
}

void bgraToRgb(const std::uint8_t* from, std::uint8_t* to, int width) {
    for (int x = 0; x < width; ++x, from += 4, to += 3) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
    }
}

void convertRow(const std::uint8_t* from, AVPixelFormat fromFormat, const Layout& f,
                std::uint8_t* to, AVPixelFormat toFormat, const Layout& t, int width) {
    if (fromFormat == toFormat) {
        std::memcpy(to, from, static_cast<std::size_t>(width) * f.size);
    } else if (fromFormat == AV_PIX_FMT_RGB24 && toFormat == AV_PIX_FMT_BGRA) {
        rgbToBgra(from, to, width);
    } else if (fromFormat == AV_PIX_FMT_BGRA && toFormat == AV_PIX_FMT_RGB24) {
        bgraToRgb(from, to, width);
    } else if (f.size == 3) {
        if (t.size == 3)
            moveRow<3, 3>(from, to, f, t, width);
        else
            moveRow<3, 4>(from, to, f, t, width);
    } else {
        if (t.size == 3)
            moveRow<4, 3>(from, to, f, t, width);
        else
            moveRow<4, 4>(from, to, f, t, width);
    }
}

} // namespace

bool MvConvertPackedPixels(const std::uint8_t* source, std::ptrdiff_t sourceStride,
                           AVPixelFormat from, std::uint8_t* target,
                           std::ptrdiff_t targetStride, AVPixelFormat to, int width, int height) {
    if (from == AV_PIX_FMT_GRAY8 && to == AV_PIX_FMT_GRAY8) {
        for (int y = 0; y < height; ++y)
            std::memcpy(target + y * targetStride, source + y * sourceStride,
                        static_cast<std::size_t>(width));
        return true;
    }
    Layout f, t;
    if (!layoutOf(from, f) || !layoutOf(to, t))
        return false;
    for (int y = 0; y < height; ++y)
        convertRow(source + y * sourceStride, from, f, target + y * targetStride, to, t, width);
    return true;
}

namespace {

// Each row is widened from its right end, so that every 4-byte pixel is
// written over bytes that were already read: pixel x moves from 3x to 4x.
// Four pixels at a time as in rgbToBgra; red first (RGB) or blue first (BGR).
template <bool kRedFirst>
void widenRowInPlace(std::uint8_t* row, int width) {
    auto word = [](std::uint32_t first, std::uint32_t second, std::uint32_t third) {
        return kRedFirst ? 0xFF000000u | first << 16 | second << 8 | third
                         : 0xFF000000u | third << 16 | second << 8 | first;
    };
    int x = width;
    for (; x % 4 != 0; --x) {
        const std::uint8_t* from = row + 3 * (x - 1);
        const std::uint32_t pixel = word(from[0], from[1], from[2]);
        std::memcpy(row + 4 * (x - 1), &pixel, 4);
    }
    for (; x > 0; x -= 4) {
        const std::uint8_t* from = row + 3 * (x - 4);
        std::uint8_t b[12];
        std::memcpy(b, from, 12);
        const std::uint32_t pixels[4] = {word(b[0], b[1], b[2]), word(b[3], b[4], b[5]),
                                         word(b[6], b[7], b[8]), word(b[9], b[10], b[11])};
        std::memcpy(row + 4 * (x - 4), pixels, 16);
    }
}

void swapRedAndBlueInPlace(std::uint8_t* row, int width) {
    for (int x = 0; x < width; ++x, row += 4) {
        std::uint32_t pixel;
        std::memcpy(&pixel, row, 4);
        pixel = (pixel & 0xFF00FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16;
        std::memcpy(row, &pixel, 4);
    }
}

} // namespace

bool MvCanConvertToBgraInPlace(AVPixelFormat from) {
    return from == AV_PIX_FMT_RGB24 || from == AV_PIX_FMT_BGR24 || from == AV_PIX_FMT_RGBA ||
           from == AV_PIX_FMT_BGRA;
}

void MvConvertToBgraInPlace(std::uint8_t* rows, std::ptrdiff_t stride, AVPixelFormat from,
                            int width, int height) {
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rows + y * stride;
        switch (from) {
        case AV_PIX_FMT_RGB24: widenRowInPlace<true>(row, width); break;
        case AV_PIX_FMT_BGR24: widenRowInPlace<false>(row, width); break;
        case AV_PIX_FMT_RGBA: swapRedAndBlueInPlace(row, width); break;
        default: break;   // BGRA already
        }
    }
}
