// Pixels of script windows as PNG pictures, for embedding in SVG files.
#ifndef MORVANE_TOOLS_PNGPICTURE_H
#define MORVANE_TOOLS_PNGPICTURE_H

#include "morvane/MvGWorld.h"

#include <cstdint>
#include <string>
#include <vector>

// An opaque picture, three bytes red, green, blue per pixel, rows packed.
struct RgbPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<unsigned char> rgb;
};

// Appends one line of a pixel buffer (width pixels in the buffer's format)
// to picture. Alpha is ignored: a host shows buffers opaque. Indexed pixels
// are looked up in table (the high byte of each 16-bit channel; indices
// beyond the table are black); grey pixels become grey. Returns false for a
// format it does not know.
bool appendRgbLine(RgbPicture& picture, const unsigned char* line, std::int32_t width,
                   std::uint32_t pixelFormat, const MvColorTable* table);

// The bytes of a PNG file (8-bit RGB) holding the picture. Returns false,
// with the reason in error, when it cannot be encoded.
bool encodePng(const RgbPicture& picture, std::string& png, std::string& error);

// The pixels of a buffer, read through the flat interface between a lock
// and an unlock, as the bytes of a PNG file. Returns false, with the
// reason in error, when they cannot be read or encoded.
bool pixelBufferPng(MvGWorld* buffer, std::string& png, std::string& error);

// Standard base64 (RFC 4648, padded with '=').
std::string base64Encode(const std::string& bytes);

#endif
