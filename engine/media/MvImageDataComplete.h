// Whether an image file holds all the data its format says it has. Some
// decoders (JPEG, GIF, QOI, SGI) make a picture of a file cut short without a
// word; a cut file must be an error instead.
#ifndef MORVANE_ENGINE_MVIMAGEDATACOMPLETE_H
#define MORVANE_ENGINE_MVIMAGEDATACOMPLETE_H

#include "media/MvFFmpeg.h"

#include <cstddef>
#include <cstdint>

// data is the whole file the decoder id reads; true for formats whose
// decoders find cuts themselves.
bool MvImageDataComplete(AVCodecID id, const std::uint8_t* data, std::size_t size);

#endif
