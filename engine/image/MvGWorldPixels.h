// Pixels between the engine's buffers (MvGWorld) and the image values'
// arrays: a buffer read into a frame's array (after reading a file or
// grabbing a frame) and an image written out as an opaque 'BGRA' buffer
// (for display, files, movies and video output).
#ifndef MORVANE_ENGINE_MVGWORLDPIXELS_H
#define MORVANE_ENGINE_MVGWORLDPIXELS_H

#include "image/MvPixelArray.h"
#include "morvane/MvGWorld.h"

// An array of gw's size holding its pixels: indexed pixels through the
// colour table, grey pixels copied, 'BGRA' pixels copied; grey arrays take
// the luminance (77 R + 151 G + 28 B) >> 8 of colour pixels. Any other
// format raises "Unknown Pixel Format".
MvPixelArray<bgPix> MvMonoPixelsFromGWorld(MvGWorld& gw);
MvPixelArray<bcPix> MvColorPixelsFromGWorld(MvGWorld& gw);

// A new 'BGRA' buffer of the array's size (the caller owns it, reference
// count 1). Grey pixels become opaque grey, byte colour pixels are copied
// with their alpha, float channels go through Clamp8(c * 255). An empty
// array raises "Can't create a frame or image with zero area.".
MvGWorld* MvGWorldFromPixels(const MvPixelArray<bgPix>& pixels);
MvGWorld* MvGWorldFromPixels(const MvPixelArray<bcPix>& pixels);
MvGWorld* MvGWorldFromPixels(const MvPixelArray<fgPix>& pixels);
MvGWorld* MvGWorldFromPixels(const MvPixelArray<fcPix>& pixels);

#endif
