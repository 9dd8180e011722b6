// The property names shared by every value kind ("width of x", "month of d").
#ifndef MORVANE_MVPROPERTIES_H
#define MORVANE_MVPROPERTIES_H

#include "MvExport.h"

constexpr int MvPropertyIdCount = 43;   // ids run from 1 to 43; 28 has no name

enum MvPropertyId {
    MvPropType = 1, MvPropFrame, MvPropWidth, MvPropHeight, MvPropSize, MvPropOffset,
    MvPropLength, MvPropRed, MvPropGreen, MvPropBlue, MvPropIntensity, MvPropDuration,
    MvPropFrameRate, MvPropCompression, MvPropOverlayCompression, MvPropDepth,
    MvPropGraphicsMode, MvPropQuality, MvPropTemporalQuality, MvPropName, MvPropMovie,
    MvPropTimeCode, MvPropSecond, MvPropMinute, MvPropHour, MvPropDayOfWeek,
    MvPropDayOfMonth, MvPropUnnamed28, MvPropMonth, MvPropYear, MvPropMask,
    MvPropSafeAppendMode, MvPropTrigger, MvPropHue, MvPropSaturation, MvPropBrightness,
    MvPropBlackLevel, MvPropWhiteLevel, MvPropContrast, MvPropSharpness, MvPropGamma,
    MvPropInput, MvPropInputFormat
};

// The id of a property name, 0 for an unknown name.
MV_EXPORT int MvPropertyIdFromName(const char* name);

// The name of a property id; raises "Unknown property name" outside 1..43 and for 28.
MV_EXPORT const char* MvPropertyNameFromId(int id);

#endif
