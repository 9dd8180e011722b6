// Drawing text into the pixels of an image: glyphs of the given size and
// colour, starting at (left, top) and clipped to the box and the image.
// Where no font can be loaded, a warning is written and nothing is drawn.
#ifndef MORVANE_ENGINE_MVTEXTDRAWING_H
#define MORVANE_ENGINE_MVTEXTDRAWING_H

#include "image/MvPixelArray.h"
#include "morvane/MvColor.h"

#include <string>

template <class Pix>
void MvDrawText(MvPixelArray<Pix>& pixels, const std::string& text, int left, int top, int right,
                int bottom, double size, const MvColor& colour);

#endif
