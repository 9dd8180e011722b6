// Flat functions over colour records and colour values.
#ifndef MORVANE_MVCOLORAPI_H
#define MORVANE_MVCOLORAPI_H

#include "MvColor.h"
#include "MvExport.h"
#include "MvValue.h"

class MvColorValue;

// A heap copy of the record (black for null); free it with MvColorDelete.
MV_C_API MvColor* MvColorCreate(const MvColor* color);
MV_C_API void MvColorDelete(MvColor* color);
MV_C_API double MvColorGetRed(const MvColor* color);
MV_C_API double MvColorGetGreen(const MvColor* color);
MV_C_API double MvColorGetBlue(const MvColor* color);

MV_C_API MvValue* MvColorValueCreate(double red, double green, double blue);
// The colour value itself when value is a colour, else null.
MV_C_API MvColorValue* MvValueAsColor(MvValue* value);
MV_C_API double MvColorValueGetRed(MvColorValue* color);
MV_C_API double MvColorValueGetGreen(MvColorValue* color);
MV_C_API double MvColorValueGetBlue(MvColorValue* color);

#endif
