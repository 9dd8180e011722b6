// Operations that move whole rows or channels: the alpha channel of colour
// images, and interlacing and de-interlacing of rows.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvPixelConvert.h"
#include "morvane/MvException.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace {

template <class Pix>
constexpr bool isColour() {
    return std::is_same<Pix, bcPix>::value || std::is_same<Pix, fcPix>::value;
}

template <class Pix>
void copyRow(const Pix* from, Pix* to, std::int32_t width) {
    if (width > 0)
        std::memcpy(to, from, sizeof(Pix) * static_cast<std::size_t>(width));
}

// A new image of height rows whose row k is source row first + 2 k.
template <class Pix>
MvPixelArray<Pix> everyOtherRow(const MvPixelArray<Pix>& source, std::int32_t first,
                                std::int32_t height) {
    MvPixelArray<Pix> result(source.width(), height);
    for (std::int32_t k = 0; k < height; ++k)
        copyRow(source.row(first + 2 * k), result.row(k), source.width());
    return result;
}

} // namespace

template <class Pix>
MvValue* MvNewImageValue<Pix>::GetAlpha() {
    if constexpr (!isColour<Pix>()) {
        MvRaise("GetAlpha, requires a color image");
    } else {
        MvPixelArray<Pix> result(pixels.width(), pixels.height());
        for (std::int32_t y = 0; y < pixels.height(); ++y) {
            const Pix* from = pixels.row(y);
            Pix* to = result.row(y);
            for (std::int32_t x = 0; x < pixels.width(); ++x) {
                const auto a = from[x].alpha;
                to[x] = from[x];
                to[x].red = to[x].green = to[x].blue = a;
                to[x].alpha = std::is_same<Pix, bcPix>::value ? 255 : 1;
            }
        }
        return MvMakeImage(std::move(result));
    }
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::SetAlpha(MvValue* alpha) {
    if constexpr (!isColour<Pix>()) {
        MvRaise("SetAlpha, requires a color image");
    } else {
        using Grey = typename std::conditional<std::is_same<Pix, bcPix>::value, bgPix, fgPix>::type;
        MvPixelArray<Pix> result(pixels);
        // Only the area both images have is read: pixels past a smaller
        // alpha image keep their alpha.
        const bool isImage = MvVisitImage(alpha, [&](auto& a) {
            const std::int32_t width = std::min(pixels.width(), a.pixels.width());
            const std::int32_t height = std::min(pixels.height(), a.pixels.height());
            for (std::int32_t y = 0; y < height; ++y) {
                Pix* to = result.row(y);
                const auto* from = a.pixels.row(y);
                for (std::int32_t x = 0; x < width; ++x)
                    to[x].alpha = MvPixel::convert<Grey>(from[x]);
            }
        });
        if (!isImage)
            MvRaise("Operation failed: Unknown operand type");
        return MvMakeImage(std::move(result));
    }
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::Interlace(MvValue* other) {
    if (!other || other->GetType() != GetType())
        MvRaise("Parameters must be the same type for interlacing.)");
    const MvPixelArray<Pix>& odd = static_cast<MvNewImageValue*>(other)->pixels;
    const std::int32_t height = pixels.height();
    if (odd.width() != pixels.width() || (odd.height() != height && odd.height() != height - 1))
        MvRaise("Frames to interlace must have the same width, and the odd frame the height "
                "of the even frame or one line less.");
    MvPixelArray<Pix> result(pixels.width(), height + odd.height());
    for (std::int32_t k = 0; k < height; ++k) {
        copyRow(pixels.row(k), result.row(2 * k), pixels.width());
        if (k < odd.height())
            copyRow(odd.row(k), result.row(2 * k + 1), pixels.width());
    }
    return MvMakeImage(std::move(result));
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::DeInterlaceEven() {
    return MvMakeImage(everyOtherRow(pixels, 0, (pixels.height() + 1) / 2));
}

template <class Pix>
MvValue* MvNewImageValue<Pix>::DeInterlaceOdd() {
    return MvMakeImage(everyOtherRow(pixels, 1, pixels.height() / 2));
}

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_IMAGE_CLASS)
