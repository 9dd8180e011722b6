// Writing PNG files with libpng, which takes a frame's BGRA rows as they
// are (it reorders and drops bytes row by row while it filters), where
// FFmpeg's encoder needs a converted copy of the picture and a zero-filled
// output buffer of the largest size the file could have.
#ifndef MORVANE_ENGINE_MVPNGENCODER_H
#define MORVANE_ENGINE_MVPNGENCODER_H

#include "media/MvExportTypes.h"

#include <string>

// Encodes input as a PNG file into bytes: grey frames as 8-bit grey,
// translucent frames as RGBA, all others as RGB. quality (0 .. 1024) sets
// zlib's level 0 .. 9; rows are predicted from the row above at the fast
// levels (below 4), the cheapest filter that still shrinks photographs
// well, and by the best filter for each row from level 4 on. Returns an
// empty text on success, else why it failed.
std::string MvEncodePng(const MvEncoderInput& input, int quality, std::string& bytes);

#endif
