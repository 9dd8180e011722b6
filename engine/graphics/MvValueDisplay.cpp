// How lists, vectors and images describe themselves in a window: their
// printed text, for a vector of ten or more numbers a line graph, for an
// image its pixels.
#include "image/MvNewImageValue.h"
#include "morvane/MvException.h"
#include "morvane/MvGraphics.h"
#include "values/MvListValue.h"
#include "values/MvNumberValue.h"
#include "values/MvVectorValue.h"

#include <cstdint>

namespace {

constexpr std::size_t kLineGraphMinimum = 10;

// Axes, the polyline of the elements and three labels (count, minimum,
// maximum) in a 360 x 280 picture; the plot area is 320 x 240 at (20, 20).
void drawLineGraph(const std::vector<double>& v, MvGraphics* picture) {
    picture->setSize(360, 280);
    picture->addMoveTo(20, 20);
    picture->addLineTo(20, 260);
    picture->addLineTo(340, 260);
    double max = -9e99, min = 9e99;
    for (double x : v) {
        if (x > max)
            max = x;
        if (x < min)
            min = x;
    }
    const double range = max - min;
    const std::size_t n = v.size();
    // All elements equal: the graph lies on the baseline.
    auto plotY = [&](double x) {
        return range > 0 ? static_cast<int>((1 - (x - min) / range) * 240 + 20) : 260;
    };
    auto plotX = [n](std::size_t i) {
        return static_cast<int>(static_cast<unsigned>(320 * i) / static_cast<unsigned>(n)) + 20;
    };
    picture->addMoveTo(20, plotY(v[0]));
    for (std::size_t i = 1; i < n; ++i)
        picture->addLineTo(plotX(i), plotY(v[i]));
    picture->addText(MvNumberValue::format(static_cast<double>(n)), 320, 278);
    picture->addText(MvNumberValue::format(min), 2, 278);
    picture->addText(MvNumberValue::format(max), 2, 20);
}

} // namespace

void MvVectorValue::Display(MvGraphics* picture) {
    if (!picture)
        throw new MvTypeException("Hey, NULL graphics opject");
    if (values.size() >= kLineGraphMinimum)
        drawLineGraph(values, picture);
    else
        picture->addText(GetText(), 20, 20);
}

void MvListValue::Display(MvGraphics* picture) {
    if (!picture)
        throw new MvTypeException("Hey, NULL graphics opject.");
    picture->addText(GetText(), 20, 20);
}

// The whole picture is the image, drawn at the window's corner.
template <class Pix>
void MvNewImageValue<Pix>::Display(MvGraphics* picture) {
    if (!picture)
        throw new MvTypeException("Hey, NULL graphics opject");
    picture->setSize(pixels.width(), pixels.height());
    // An empty image has no pixels to show (and no buffer can be made of it).
    if (pixels.empty())
        return;
    mv_auto_value<MvGWorld> buffer(CreateGWorld());
    picture->addImage(buffer, 0, 0);
}

template void MvNewImageValue<bgPix>::Display(MvGraphics*);
template void MvNewImageValue<bcPix>::Display(MvGraphics*);
template void MvNewImageValue<fgPix>::Display(MvGraphics*);
template void MvNewImageValue<fcPix>::Display(MvGraphics*);
