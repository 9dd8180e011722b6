// The compressors frames added to a movie are encoded with: the one table
// of them. A compressor is present only when the installed FFmpeg has an
// encoder for its codec.
#ifndef MORVANE_ENGINE_MVMOVIECOMPRESSORS_H
#define MORVANE_ENGINE_MVMOVIECOMPRESSORS_H

#include "media/MvFFmpeg.h"

#include <cstdint>
#include <string>
#include <vector>

struct MvMovieCompressor {
    const char* name;
    std::uint32_t code;   // four-character code, first character high
    AVCodecID codec;
};

// The compressors present, in table order.
const std::vector<const MvMovieCompressor*>& MvAvailableMovieCompressors();

// The present compressor of that exact name; raises the lookup message
// (which lists the present ones) when there is none.
const MvMovieCompressor& MvMovieCompressorNamed(const std::string& name);

// The present compressor of that code, or null.
const MvMovieCompressor* MvMovieCompressorWithCode(std::uint32_t code);

// The present compressor for a codec, or null (the first in table order).
const MvMovieCompressor* MvMovieCompressorForCodec(AVCodecID codec);

// The compressor new movies start with ("Cinepak"), or the first present.
const MvMovieCompressor* MvDefaultMovieCompressor();

#endif
