// Writing JPEG files with libjpeg-turbo, which encodes several times faster
// than FFmpeg's motion-JPEG encoder at the same quality (SIMD colour
// conversion, DCT and entropy coding).
#ifndef MORVANE_ENGINE_MVJPEGENCODER_H
#define MORVANE_ENGINE_MVJPEGENCODER_H

#include "media/MvExportTypes.h"

#include <string>

// Encodes input (its alpha ignored) as a baseline JFIF file into bytes at quality (0 .. 1024,
// 1024 the best): libjpeg's quality 1 .. 100, colour in 4:2:0 as ordinary
// JPEG writers do, in 4:4:4 at the best quality, where colour detail is what
// is asked for. Returns an empty text on success, else why it failed.
std::string MvEncodeJpeg(const MvEncoderInput& input, int quality, std::string& bytes);

#endif
