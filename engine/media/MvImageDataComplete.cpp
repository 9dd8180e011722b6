#include "media/MvImageDataComplete.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t bigEndian16(const std::uint8_t* p) { return std::uint32_t(p[0]) << 8 | p[1]; }

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// A GIF ends with its trailer, ';'.
bool gifComplete(const std::uint8_t* data, std::size_t size) {
    return size > 0 && data[size - 1] == 0x3B;
}

// A QOI file ends with seven zero bytes and a one.
bool qoiComplete(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t kEnd[8] = {0, 0, 0, 0, 0, 0, 0, 1};
    return size >= 14 + 8 && std::memcmp(data + size - 8, kEnd, 8) == 0;
}

// An SGI file has a 512-byte header; its channels follow either verbatim
// (width x height x channels x bytes a sample) or as runs that tables of
// row offsets and lengths, after the header, point to.
bool sgiComplete(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 512;
    if (size < kHeader)
        return false;
    const bool runs = data[2] == 1;
    const std::uint64_t bytesPerSample = data[3];
    const std::uint64_t width = bigEndian16(data + 6), height = bigEndian16(data + 8);
    const std::uint64_t channels = std::max<std::uint32_t>(1, bigEndian16(data + 10));
    if (!runs)
        return size >= kHeader + width * height * channels * bytesPerSample;
    const std::uint64_t rows = height * channels;
    if (size < kHeader + 8 * rows)
        return false;
    const std::uint8_t* starts = data + kHeader;
    const std::uint8_t* lengths = starts + 4 * rows;
    for (std::uint64_t row = 0; row < rows; ++row) {
        const std::uint64_t end =
            std::uint64_t(bigEndian32(starts + 4 * row)) + bigEndian32(lengths + 4 * row);
        if (end > size)
            return false;
    }
    return true;
}

// A JPEG's coded data end with the end-of-image marker. Inside the coded
// data every 0xFF byte is followed by 0 or a restart marker, so the marker
// pair after the start of the first scan is the real end.
bool jpegComplete(const std::uint8_t* data, std::size_t size) {
    std::size_t scan = 0;
    for (std::size_t i = 0; i + 1 < size; ++i)
        if (data[i] == 0xFF && data[i + 1] == 0xDA) {
            scan = i + 2;
            break;
        }
    if (scan == 0)
        return false;
    for (std::size_t i = size - 1; i > scan; --i)
        if (data[i] == 0xD9 && data[i - 1] == 0xFF)
            return true;
    return false;
}

} // namespace

bool MvImageDataComplete(AVCodecID id, const std::uint8_t* data, std::size_t size) {
    switch (id) {
    case AV_CODEC_ID_MJPEG: return jpegComplete(data, size);
    case AV_CODEC_ID_GIF: return gifComplete(data, size);
    case AV_CODEC_ID_QOI: return qoiComplete(data, size);
    case AV_CODEC_ID_SGI: return sgiComplete(data, size);
    default: return true;
    }
}
