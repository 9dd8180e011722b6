// Text drawn into the pixels of an image, with the process font.
#ifndef MORVANE_ENGINE_MVTEXTDRAWING_H
#define MORVANE_ENGINE_MVTEXTDRAWING_H

#include "image/MvPixelArray.h"
#include "morvane/MvColor.h"

#include <string>

class MvFontFace;

// Draws text with the top-left corner of its first line at (left, top), the
// em size `size` in pixels, in colour (channels nominally 0..1; byte images
// take Clamp8(channel x 255), grey images the colour's grey value). The
// glyphs' anti-aliased coverage is blended over the pixels; alpha stays as
// it was. Only pixels inside both the image and the rectangle left .. right
// - 1, top .. bottom - 1 are touched. The text's bytes are read as UTF-8
// when they form valid UTF-8, else as Latin-1; line ends start new lines.
// When the font cannot be loaded a warning names the reason and nothing is
// drawn.
template <class Pix>
void MvDrawText(MvPixelArray<Pix>& pixels, const std::string& text, int left, int top, int right,
                int bottom, double size, const MvColor& colour);

// The same with a given font instead of the process font.
template <class Pix>
void MvDrawTextWithFont(MvFontFace& font, MvPixelArray<Pix>& pixels, const std::string& text,
                        int left, int top, int right, int bottom, double size,
                        const MvColor& colour);

#endif
