// libpng reports errors by a long jump back to where the encoding started.
// The jump crosses only libpng's own frames and plain data of this file:
// nothing with a destructor lives between the jump's start and its target,
// and the writer of bytes turns a failed append into a libpng error only
// after its handler has ended.
#include "media/MvPngEncoder.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace {

constexpr int kBest = 1024;

// What the callbacks share with the encoding: where the bytes go and the
// first error's text.
struct PngOutput {
    std::string* bytes;
    char error[256];
};

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    PngOutput& output = *static_cast<PngOutput*>(png_get_io_ptr(png));
    bool appended = true;
    try {
        output.bytes->append(reinterpret_cast<const char*>(data), length);
    } catch (...) {
        appended = false;
    }
    if (!appended)
        png_error(png, "there is no memory for the file's bytes");
}

void flushNothing(png_structp) {}

void keepError(png_structp png, png_const_charp message) {
    PngOutput& output = *static_cast<PngOutput*>(png_get_error_ptr(png));
    std::strncpy(output.error, message, sizeof output.error - 1);
    output.error[sizeof output.error - 1] = '\0';
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

int colourTypeOf(const MvEncoderInput& input) {
    if (input.grey)
        return PNG_COLOR_TYPE_GRAY;
    return input.translucent ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
}

// Everything libpng may jump out of; true when the whole file was written.
bool writePng(png_structp png, png_infop info, const MvEncoderInput& input, int level,
              png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(input.width),
                 static_cast<png_uint_32>(input.height), 8, colourTypeOf(input),
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, level);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, level < 4 ? PNG_FILTER_UP : PNG_ALL_FILTERS);
    png_write_info(png, info);
    if (!input.grey) {
        png_set_bgr(png);
        if (!input.translucent)
            png_set_filler(png, 0, PNG_FILLER_AFTER);   // drops each pixel's alpha byte
    }
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::string MvEncodePng(const MvEncoderInput& input, int quality, std::string& bytes) {
    std::vector<png_bytep> rows(static_cast<std::size_t>(input.height));
    for (int y = 0; y < input.height; ++y)
        rows[std::size_t(y)] = const_cast<png_bytep>(input.rows + y * input.stride);
    const int channels = input.grey ? 1 : input.translucent ? 4 : 3;
    // Room for the rows stored as they are, more than any file takes at
    // level 1 and up: the bytes are then appended without the string
    // moving. Pages that are never written cost nothing.
    bytes.clear();
    bytes.reserve((std::size_t(input.width) * channels + 1) * std::size_t(input.height) + 4096);

    PngOutput output{&bytes, {0}};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, keepError, ignoreWarning);
    if (!png)
        return "the PNG encoder could not be started";
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return "the PNG encoder could not be started";
    }
    png_set_write_fn(png, &output, appendBytes, flushNothing);
    const int level = quality * 9 / kBest;
    const bool written = writePng(png, info, input, level, rows.data());
    png_destroy_write_struct(&png, &info);
    if (!written)
        return output.error[0] ? output.error : "the PNG encoder failed";
    return std::string();
}
