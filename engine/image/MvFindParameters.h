// FindParameters: everything one template search needs to know, worked out
// once per call from the options of Find.Correlate and Find.Map.
//
// Sizes and the placement window are in reduced pixels (source pixels
// divided by the step and truncated); the window's extent is also kept in
// source pixels, which is the size of the score map handed back.
#ifndef MORVANE_ENGINE_MVFINDPARAMETERS_H
#define MORVANE_ENGINE_MVFINDPARAMETERS_H

#include "image/MvPixelArray.h"
#include "morvane/MvPixel.h"

#include <cstdint>
#include <string>

struct FindParameters {
    double step = 1.0;

    std::int32_t sourceWidth = 0;
    std::int32_t sourceHeight = 0;
    std::int32_t matchWidth = 0;
    std::int32_t matchHeight = 0;
    std::int64_t matchArea = 0;

    // A placement whose overlap with the source is smaller than this scores
    // 1.0, but only when an overhang was asked for.
    std::int64_t minimumOverlap = 1;
    bool hasOverhang = false;

    // Placements x in [left, right), y in [top, bottom).
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t windowWidth = 0;    // in source pixels
    std::int32_t windowHeight = 0;

    // The bias map over placements (null for none) and the placement its
    // pixel (0, 0) stands for.
    const MvPixelArray<fgPix>* weight = nullptr;
    std::int32_t weightOriginX = 0;
    std::int32_t weightOriginY = 0;

    bool gray = false;
    bool subPixel = false;
    std::string core = "fastest";
};

#endif
