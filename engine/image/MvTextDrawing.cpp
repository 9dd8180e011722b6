// Text drawing on images: the text is decoded into character codes, the font
// turns it into coverage spans, and each span is blended over the pixels in
// the image's own pixel type.
#include "image/MvTextDrawing.h"

#include "image/MvFontFace.h"
#include "image/MvPixelConvert.h"
#include "morvane/MvProcess.h"

#include <algorithm>
#include <cstdint>

namespace {

// The code points of bytes that form valid UTF-8 (no overlong forms, no
// surrogates), or nothing when they do not.
bool decodeUtf8(const std::string& bytes, std::u32string& codes) {
    static const std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        std::size_t extra;
        std::uint32_t code;
        if (lead < 0x80) {
            extra = 0;
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (extra >= bytes.size() - i)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        codes.push_back(static_cast<char32_t>(code));
        i += extra + 1;
    }
    return true;
}

// Script texts are bytes: valid UTF-8 is read as such, anything else as
// Latin-1, so every text draws something.
std::u32string characterCodes(const std::string& bytes) {
    std::u32string codes;
    codes.reserve(bytes.size());
    if (decodeUtf8(bytes, codes))
        return codes;
    codes.clear();
    for (char byte : bytes)
        codes.push_back(static_cast<unsigned char>(byte));
    return codes;
}

// The colour in the pixel type, and how coverage blends it over a pixel.
template <class Pix> struct TextPaint;

std::uint8_t blendByte(std::uint8_t pixel, std::uint8_t paint, unsigned coverage) {
    return static_cast<std::uint8_t>((pixel * (255u - coverage) + paint * coverage + 127u) / 255u);
}

float blendFloat(float pixel, float paint, unsigned coverage) {
    if (coverage == 255)
        return paint;
    const float share = static_cast<float>(coverage) * MvPixel::kInv255;
    return pixel * (1.0f - share) + paint * share;
}

float colourGrey(const MvColor& colour) {
    return static_cast<float>(MvPixel::floatLuminance(colour.red, colour.green, colour.blue));
}

template <> struct TextPaint<bgPix> {
    explicit TextPaint(const MvColor& colour)
        : grey(MvPixel::clamp8(MvPixel::floatLuminance(colour.red, colour.green, colour.blue) *
                               255.0)) {}
    void blend(bgPix& pixel, unsigned coverage) const { pixel = blendByte(pixel, grey, coverage); }
    std::uint8_t grey;
};

template <> struct TextPaint<bcPix> {
    explicit TextPaint(const MvColor& colour)
        : red(MvPixel::clamp8(colour.red * 255.0)), green(MvPixel::clamp8(colour.green * 255.0)),
          blue(MvPixel::clamp8(colour.blue * 255.0)) {}
    void blend(bcPix& pixel, unsigned coverage) const {
        pixel.red = blendByte(pixel.red, red, coverage);
        pixel.green = blendByte(pixel.green, green, coverage);
        pixel.blue = blendByte(pixel.blue, blue, coverage);
    }
    std::uint8_t red, green, blue;
};

template <> struct TextPaint<fgPix> {
    explicit TextPaint(const MvColor& colour) : grey(colourGrey(colour)) {}
    void blend(fgPix& pixel, unsigned coverage) const { pixel = blendFloat(pixel, grey, coverage); }
    float grey;
};

template <> struct TextPaint<fcPix> {
    explicit TextPaint(const MvColor& colour)
        : red(static_cast<float>(colour.red)), green(static_cast<float>(colour.green)),
          blue(static_cast<float>(colour.blue)) {}
    void blend(fcPix& pixel, unsigned coverage) const {
        pixel.red = blendFloat(pixel.red, red, coverage);
        pixel.green = blendFloat(pixel.green, green, coverage);
        pixel.blue = blendFloat(pixel.blue, blue, coverage);
    }
    float red, green, blue;
};

template <class Pix>
class PixelSink final : public MvCoverageSink {
public:
    PixelSink(MvPixelArray<Pix>& pixels, const MvColor& colour) : pixels_(pixels), paint_(colour) {}

    void span(std::int32_t y, std::int32_t x, std::int32_t length, std::uint8_t coverage) override {
        Pix* row = pixels_.row(y);
        for (std::int32_t i = x; i < x + length; ++i)
            paint_.blend(row[i], coverage);
    }

private:
    MvPixelArray<Pix>& pixels_;
    TextPaint<Pix> paint_;
};

} // namespace

template <class Pix>
void MvDrawTextWithFont(MvFontFace& font, MvPixelArray<Pix>& pixels, const std::string& text,
                        int left, int top, int right, int bottom, double size,
                        const MvColor& colour) {
    const MvClipBox clip{std::max(left, 0), std::max(top, 0), std::min(right, pixels.width()),
                         std::min(bottom, pixels.height())};
    PixelSink<Pix> sink(pixels, colour);
    std::string reason;
    if (!font.draw(characterCodes(text), MvTextPlacement{left, top, size, clip}, sink, reason))
        MvWarning(("Text drawing is unavailable, nothing was drawn: " + reason + ".\n").c_str());
}

template <class Pix>
void MvDrawText(MvPixelArray<Pix>& pixels, const std::string& text, int left, int top, int right,
                int bottom, double size, const MvColor& colour) {
    MvDrawTextWithFont(MvProcessFontFace(), pixels, text, left, top, right, bottom, size, colour);
}

// One instantiation per pixel type.
#define MV_TEXT_PIXEL_TYPES(X) X(bgPix) X(bcPix) X(fgPix) X(fcPix)
#define MV_INSTANTIATE_TEXT_DRAWING(Pix)                                                          \
    template void MvDrawText<Pix>(MvPixelArray<Pix>&, const std::string&, int, int, int, int,   \
                                  double, const MvColor&);                                      \
    template void MvDrawTextWithFont<Pix>(MvFontFace&, MvPixelArray<Pix>&, const std::string&,  \
                                          int, int, int, int, double, const MvColor&);
MV_TEXT_PIXEL_TYPES(MV_INSTANTIATE_TEXT_DRAWING)
#undef MV_INSTANTIATE_TEXT_DRAWING
#undef MV_TEXT_PIXEL_TYPES
