// Escape-time fractals rendered by boundary tracing.
//
// Escape counts are computed only along the contours between areas of
// equal count; the areas they enclose are filled row by row from the left.
// Counts are 1 .. depth for points that escape and -1 (65535 in the 16-bit
// grid) for points that do not.
#ifndef MORVANE_ENGINE_MVFRACTAL_H
#define MORVANE_ENGINE_MVFRACTAL_H

#include "image/MvPixelArray.h"

#include <cstdint>
#include <vector>

class ColourTable;

// The escape count of z <- z^2 + c from z = (zx, zy), c = (cx, cy): the
// steps taken including the escaping one, or -1 after depth steps.
std::int32_t MvEscapeCount(double zx, double zy, double cx, double cy, std::int32_t depth);

// The escape counts of a picture, before they are coloured.
struct MvFractalCounts {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::int32_t> counts;   // row-major; -1 inside
    std::int32_t smallest = 1;          // the smallest escaping count, 1 when none
};

struct MvMandelbrotView {
    double x = -0.7, y = 0;     // the centre
    double scale = 2.2;         // the height of the view
    std::int32_t width = 320, height = 240;
    std::int32_t depth = 195;
};

struct MvJuliaView {
    double cx = 0, cy = 0;      // the constant
    double scale = 4.0;         // width and height of the view
    std::int32_t size = 320;
    std::int32_t depth = 250;
};

MvFractalCounts MvTraceMandelbrot(const MvMandelbrotView& view);
MvFractalCounts MvTraceJulia(const MvJuliaView& view);

// The counts of every pixel computed one by one (no tracing): the reference
// the traced pictures are held to.
MvFractalCounts MvMandelbrotEveryPixel(const MvMandelbrotView& view);

// A frame of the counts' size coloured by the table.
MvPixelArray<bcPix> MvColourFractal(const MvFractalCounts& counts, const ColourTable& table);

#endif
