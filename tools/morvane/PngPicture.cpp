// PNG encoding through libpng's simplified interface, which reports
// failures in the image record instead of jumping out of the caller.
#include "PngPicture.h"

#include "morvane/MvException.h"

#include <png.h>

#include <limits>

namespace {

void appendRgb(RgbPicture& picture, unsigned char red, unsigned char green, unsigned char blue) {
    picture.rgb.push_back(red);
    picture.rgb.push_back(green);
    picture.rgb.push_back(blue);
}

// Keeps a buffer locked for the life of a scope.
class BufferLock {
public:
    explicit BufferLock(MvGWorld* buffer) : buffer_(buffer) { MvGWorldLock(buffer_); }
    ~BufferLock() {
        try {
            MvGWorldUnlock(buffer_);
        } catch (MvException* e) {
            delete e;
        }
    }
    BufferLock(const BufferLock&) = delete;
    BufferLock& operator=(const BufferLock&) = delete;

private:
    MvGWorld* buffer_;
};

bool readBuffer(MvGWorld* buffer, RgbPicture& picture, std::string& error) {
    picture.width = MvGWorldGetWidth(buffer);
    picture.height = MvGWorldGetHeight(buffer);
    if (picture.width <= 0 || picture.height <= 0) {
        error = "the buffer has no pixels";
        return false;
    }
    const std::uint32_t format = MvGWorldGetPixelFormat(buffer);
    const MvPixMap* map = MvGWorldGetPixMap(buffer);
    const MvColorTable* table = map ? map->colorTable : nullptr;
    picture.rgb.reserve(static_cast<std::size_t>(picture.width) * 3 * picture.height);
    BufferLock lock(buffer);
    for (std::int32_t y = 0; y < picture.height; ++y) {
        if (!appendRgbLine(picture, MvGWorldGetLineRead1(buffer, y), picture.width, format,
                           table)) {
            error = "the buffer's pixel format " + std::to_string(format) + " is unknown";
            return false;
        }
    }
    return true;
}

} // namespace

bool appendRgbLine(RgbPicture& picture, const unsigned char* line, std::int32_t width,
                   std::uint32_t pixelFormat, const MvColorTable* table) {
    switch (pixelFormat) {
    case kMvPixelFormatBGRA:
        for (std::int32_t x = 0; x < width; ++x)
            appendRgb(picture, line[4 * x + 2], line[4 * x + 1], line[4 * x]);
        return true;
    case kMvPixelFormatGrey8:
        for (std::int32_t x = 0; x < width; ++x)
            appendRgb(picture, line[x], line[x], line[x]);
        return true;
    case kMvPixelFormatIndexed8:
        for (std::int32_t x = 0; x < width; ++x) {
            if (table && line[x] < table->size()) {
                const MvColorSpec& entry = (*table)[line[x]];
                appendRgb(picture, entry.red >> 8, entry.green >> 8, entry.blue >> 8);
            } else {
                appendRgb(picture, 0, 0, 0);
            }
        }
        return true;
    default:
        return false;
    }
}

bool encodePng(const RgbPicture& picture, std::string& png, std::string& error) {
    const std::size_t expected = static_cast<std::size_t>(picture.width) * 3 * picture.height;
    if (picture.width <= 0 || picture.height <= 0 || picture.rgb.size() != expected ||
        picture.width > std::numeric_limits<std::int32_t>::max() / 3) {
        error = "the picture has no pixels";
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;

    png_alloc_size_t size = 0;
    const png_int_32 stride = static_cast<png_int_32>(picture.width) * 3;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, picture.rgb.data(), stride,
                                   nullptr)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    png.assign(size, '\0');
    if (!png_image_write_to_memory(&image, &png[0], &size, 0, picture.rgb.data(), stride,
                                   nullptr)) {
        error = image.message;
        png_image_free(&image);
        png.clear();
        return false;
    }
    png.resize(size);
    return true;
}

bool pixelBufferPng(MvGWorld* buffer, std::string& png, std::string& error) {
    if (!buffer) {
        error = "there is no buffer";
        return false;
    }
    RgbPicture picture;
    try {
        if (!readBuffer(buffer, picture, error))
            return false;
    } catch (MvException* e) {
        error = e->getMessage();
        delete e;
        return false;
    }
    return encodePng(picture, png, error);
}

std::string base64Encode(const std::string& bytes) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16 |
                                    static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                    static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[group >> 18];
        out += kDigits[(group >> 12) & 63];
        out += kDigits[(group >> 6) & 63];
        out += kDigits[group & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16 |
                                    (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
        out += kDigits[group >> 18];
        out += kDigits[(group >> 12) & 63];
        out += two ? kDigits[(group >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}
