// The image file types frames are written as: the one table of them.
//
// Each type has the name a frame's "compression" takes, a four-character
// code, the FFmpeg encoders for colour and grey frames, its usual file
// endings and the pixel formats it is written in. A type is available only
// when the installed FFmpeg has its encoder. A type may instead be written
// by an encoder of the engine's own (JPEG by libjpeg-turbo, PNG by libpng);
// its FFmpeg codec then only names what its files are.
#ifndef MORVANE_ENGINE_MVEXPORTTYPES_H
#define MORVANE_ENGINE_MVEXPORTTYPES_H

#include "media/MvFFmpeg.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A frame's rows as the engine's own encoders take them: 8-bit BGRA or
// grey pixels, stride bytes apart; translucent when some alpha is below 255.
struct MvEncoderInput {
    const std::uint8_t* rows;
    std::ptrdiff_t stride;
    int width;
    int height;
    bool grey;
    bool translucent;
};

struct MvExportType {
    const char* name;
    std::uint32_t code;
    const char* encoder;        // for colour frames
    const char* greyEncoder;    // for grey frames
    // Blank-separated, the usual one first; reading falls back on them for
    // files whose contents do not say what they are.
    const char* endings;
    // Pixel formats to write, best first (AV_PIX_FMT_NONE ends each list):
    // for colour frames with some transparency, for opaque colour frames,
    // for grey frames. The first one the encoder takes is used.
    const AVPixelFormat* withAlpha;
    const AVPixelFormat* opaque;
    const AVPixelFormat* grey;
    // Bytes that end every file of the type, which its encoder leaves to
    // the writer (GIF's trailer); null for none.
    const char* trailer;
    // Puts quality (0 .. 1024, 1024 lossless) on the encoder's own scale;
    // null for types that are always lossless.
    void (*setQuality)(AVCodecContext& encoder, int quality);
    // Writes the whole file from 8-bit rows at quality (0 .. 1024) in place
    // of FFmpeg's encoder, which is then not used: an empty text on success,
    // else why it failed. Null for the types FFmpeg writes.
    std::string (*ownEncoder)(const MvEncoderInput& input, int quality, std::string& bytes);
};

// The types the installed FFmpeg can write, in list order.
const std::vector<const MvExportType*>& MvAvailableExportTypes();

// The available type with that code, or null.
const MvExportType* MvExportTypeWithCode(std::uint32_t code);

// The available type whose endings hold ending (compared without case), or
// null.
const MvExportType* MvExportTypeWithEnding(const std::string& ending);

#endif
