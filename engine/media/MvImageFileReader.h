// Reading still image files into frames.
#ifndef MORVANE_ENGINE_MVIMAGEFILEREADER_H
#define MORVANE_ENGINE_MVIMAGEFILEREADER_H

#include "morvane/MvValue.h"

// A new frame_mono (grey files) or frame (everything else, with its alpha)
// of the image in the file at path, or null when the file is no image: its
// contents are no image format FFmpeg can decode, and its ending names none
// either. An image file that cannot be decoded raises an error naming the
// file; nothing is left half made.
MvValue* MvImportImageFile(const char* path);

#endif
