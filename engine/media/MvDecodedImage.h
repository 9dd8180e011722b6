// A decoded picture as a frame value.
#ifndef MORVANE_ENGINE_MVDECODEDIMAGE_H
#define MORVANE_ENGINE_MVDECODEDIMAGE_H

#include "media/MvFFmpeg.h"
#include "morvane/MvValue.h"

// A new frame_mono for grey pictures (reduced to 8 bits), a frame for
// palette pictures (through their colour table) and for all others (8 bits
// a channel, alpha kept, opaque when the picture has none). path names the
// file in errors.
MvValue* MvFrameValueOfDecodedImage(const AVFrame& picture, const char* path);

#endif
