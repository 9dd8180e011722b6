// Preparing a template search: the step from the source's quality or the
// scale, the reduced sizes, the overhang and the placement window, the
// working pixel type both images are converted to; then the driver runs
// with the chosen core and output strategy.
#include "image/MvFind.h"

#include "image/MvFindDriver.h"
#include "image/MvNewImageValue.h"
#include "image/MvPixelOps.h"
#include "morvane/MvException.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <type_traits>

namespace {

// A coordinate or size from a double, truncated and kept far from the
// limits of 32 bits so that sums of two stay representable.
std::int32_t truncated(double v) {
    if (!(v == v))
        return 0;
    return static_cast<std::int32_t>(std::clamp(std::trunc(v), -1073741824.0, 1073741824.0));
}

Mv2DValue* imageArgument(MvValue* value) {
    if (value && value->GetType() == MvTypeVideoSource)
        MvRaise("videosource not yet handled by find - extract a frame");
    if (!value || !MvIsImageType(value->GetType()))
        MvRaise("Find needs images for its source and match.");
    return static_cast<Mv2DValue*>(value);
}

// s = 1/sqrt(quality), at most a quarter of the match's smaller side;
// scale replaces it; never more than the smaller side, never below 1.
double stepFor(const MvFindRequest& request, Mv2DValue& source, Mv2DValue& match) {
    const std::int32_t smaller = std::min(match.GetWidth(), match.GetHeight());
    double step = 1.0 / std::sqrt(source.quality);
    if (step > smaller / 4)
        step = smaller / 4;
    if (request.hasScale)
        step = std::trunc(request.scale);
    if (smaller < step)
        step = smaller;
    if (!(step >= 1.0))
        step = 1.0;
    return step;
}

FindParameters parametersFor(const MvFindRequest& request, Mv2DValue& source, Mv2DValue& match) {
    FindParameters p;
    p.step = stepFor(request, source, match);
    const double s = p.step;
    p.sourceWidth = truncated(source.GetWidth() / s);
    p.sourceHeight = truncated(source.GetHeight() / s);
    p.matchWidth = truncated(match.GetWidth() / s);
    p.matchHeight = truncated(match.GetHeight() / s);
    p.matchArea = std::int64_t(p.matchWidth) * p.matchHeight;
    p.minimumOverlap = p.matchArea;

    std::int32_t ox = 0, oy = 0, fullOx = 0, fullOy = 0;
    if (request.hasOverhang) {
        const double a = request.overhang;
        p.hasOverhang = true;
        ox = truncated(p.matchWidth * a);
        oy = truncated(p.matchHeight * a);
        fullOx = truncated(match.GetWidth() * a);
        fullOy = truncated(match.GetHeight() * a);
        const double minimum = (1.0 - std::trunc(a)) * double(p.matchArea);
        p.minimumOverlap = minimum >= 1.0 ? static_cast<std::int64_t>(std::min(minimum, 9e18)) : 1;
    }
    p.minimumOverlap = std::max<std::int64_t>(p.minimumOverlap, 1);

    p.left = -ox;
    p.top = -oy;
    p.right = p.sourceWidth - p.matchWidth + ox + 1;
    p.bottom = p.sourceHeight - p.matchHeight + oy + 1;
    std::int32_t fullLeft = -fullOx, fullTop = -fullOy;
    std::int32_t fullRight = source.GetWidth() - match.GetWidth() + fullOx + 1;
    std::int32_t fullBottom = source.GetHeight() - match.GetHeight() + fullOy + 1;
    if (request.hasTopLeft) {
        p.left = truncated(request.topLeftX / s);
        p.top = truncated(request.topLeftY / s);
        fullLeft = truncated(request.topLeftX);
        fullTop = truncated(request.topLeftY);
    }
    if (request.hasBottomRight) {
        p.right = truncated(request.bottomRightX / s);
        p.bottom = truncated(request.bottomRightY / s);
        fullRight = truncated(request.bottomRightX);
        fullBottom = truncated(request.bottomRightY);
    }
    p.windowWidth = fullRight - fullLeft;
    p.windowHeight = fullBottom - fullTop;

    p.weightOriginX = truncated(request.weightOriginX / s);
    p.weightOriginY = truncated(request.weightOriginY / s);
    p.gray = request.gray;
    p.subPixel = request.subPixel;
    p.core = request.core;
    return p;
}

// The pixels of image converted to Pix and rescaled to width x height.
template <class Pix>
MvPixelArray<Pix> workingPixels(MvValue* image, std::int32_t width, std::int32_t height) {
    MvPixelArray<Pix> result;
    MvVisitImage(image, [&](auto& value) {
        typedef typename std::decay_t<decltype(value.pixels)> Array;
        MvPixelArray<Pix> converted;
        if constexpr (std::is_same<Array, MvPixelArray<Pix>>::value)
            converted = value.pixels;
        else
            converted = MvConvertPixels<Pix>(value.pixels);
        if (converted.width() == width && converted.height() == height)
            result = std::move(converted);
        else
            result = MvPixelArray<Pix>(converted, width, height, MvPixelFill::kNearestNeighbour);
    });
    return result;
}

enum class Output { kBest, kMap };

template <class Pix>
MvValue* search(const MvFindRequest& request, FindParameters& p, Output kind) {
    const MvPixelArray<Pix> source =
        workingPixels<Pix>(request.source, p.sourceWidth, p.sourceHeight);
    const MvPixelArray<Pix> match = workingPixels<Pix>(request.match, p.matchWidth, p.matchHeight);
    MvPixelArray<fgPix> weight;
    if (request.weight) {
        if (!MvIsImageType(request.weight->GetType()))
            MvRaise("Wrong type passed in as weight parameter");
        Mv2DValue* w = static_cast<Mv2DValue*>(request.weight);
        weight = workingPixels<fgPix>(w, truncated(w->GetWidth() / p.step),
                                      truncated(w->GetHeight() / p.step));
        p.weight = &weight;
    }
    std::unique_ptr<NewFindStrategyInputFrame<Pix>> input = MvMakeFindInput<Pix>(p.core);
    input->prepare(match, p.matchWidth, p.matchHeight, source, p.sourceWidth, p.sourceHeight);
    if (kind == Output::kMap) {
        NewFindStrategyOutputMap map;
        return MvWalkPlacements(p, *input, map) ? map.result() : nullptr;
    }
    NewFindStrategyOutputFind best;
    if (!MvWalkPlacements(p, *input, best))
        return nullptr;
    if (!p.subPixel || !best.found())
        return best.result();
    FindParameters around = p;
    around.left = std::max(p.left, best.x() - 1);
    around.right = std::min(p.right, best.x() + 2);
    around.top = std::max(p.top, best.y() - 1);
    around.bottom = std::min(p.bottom, best.y() + 2);
    NewFindStrategyOutputSubPixel refined(best.x(), best.y(), p);
    MvWalkPlacements(around, *input, refined);
    return refined.result();
}

MvValue* run(const MvFindRequest& request, Output kind) {
    Mv2DValue* source = imageArgument(request.source);
    Mv2DValue* match = imageArgument(request.match);
    if (source->GetWidth() < 1 || source->GetHeight() < 1 || match->GetWidth() < 1 ||
        match->GetHeight() < 1)
        MvRaise("Find needs a source and a match of at least one pixel.");
    FindParameters p = parametersFor(request, *source, *match);
    const MvTypeEnum s = source->GetType();
    const MvTypeEnum m = match->GetType();
    const bool floats = s != MvTypeFrameMono && s != MvTypeFrame && m != MvTypeFrameMono &&
                        m != MvTypeFrame;
    const bool grey = p.gray || s == MvTypeFrameMono || s == MvTypeImageMono ||
                      m == MvTypeFrameMono || m == MvTypeImageMono;
    if (floats)
        return grey ? search<fgPix>(request, p, kind) : search<fcPix>(request, p, kind);
    return grey ? search<bgPix>(request, p, kind) : search<bcPix>(request, p, kind);
}

} // namespace

MvValue* MvFindCorrelate(const MvFindRequest& request) { return run(request, Output::kBest); }

MvValue* MvFindMap(const MvFindRequest& request) { return run(request, Output::kMap); }
