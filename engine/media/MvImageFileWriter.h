// Writing frames as image files.
#ifndef MORVANE_ENGINE_MVIMAGEFILEWRITER_H
#define MORVANE_ENGINE_MVIMAGEFILEWRITER_H

#include "morvane/MvValue.h"

// Writes the frame (frame or frame_mono) to path as an image file of the
// frame's compression, whatever the path's ending, with the frame's
// quality. The file appears whole or not at all: a failure raises an error
// and leaves an existing file at path as it was.
void MvExportFrame(MvValue* frame, const char* path);

#endif
