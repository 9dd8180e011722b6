// Template search in images: the image forms of Find.Correlate and Find.Map.
#ifndef MORVANE_ENGINE_MVFIND_H
#define MORVANE_ENGINE_MVFIND_H

#include "morvane/MvValue.h"

#include <string>

// The options of one search as the script gave them; a has* flag is false
// for an option left out.
struct MvFindRequest {
    MvValue* source = nullptr;
    MvValue* match = nullptr;
    bool hasTopLeft = false;
    double topLeftX = 0, topLeftY = 0;
    bool hasBottomRight = false;
    double bottomRightX = 0, bottomRightY = 0;
    bool hasScale = false;
    double scale = 1.0;
    bool gray = false;
    bool hasOverhang = false;
    double overhang = 0.0;
    MvValue* weight = nullptr;
    double weightOriginX = 0, weightOriginY = 0;
    bool subPixel = false;
    std::string core = "fastest";
};

// The best placement {x, y, score} (refined when subPixel is set), or null
// when the window is empty with a negative width or height.
MvValue* MvFindCorrelate(const MvFindRequest& request);

// The image_mono of the scores of every placement, or null as above.
MvValue* MvFindMap(const MvFindRequest& request);

#endif
