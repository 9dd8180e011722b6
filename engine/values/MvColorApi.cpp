#include "MvColorValue.h"
#include "MvEntryGuard.h"
#include "morvane/MvColorApi.h"

MvColor* MvColorCreate(const MvColor* color) {
    MV_GUARDED_ENTRY(nullptr, return new MvColor(color ? *color : MvColor{}););
}

void MvColorDelete(MvColor* color) { delete color; }

double MvColorGetRed(const MvColor* color) { return color->red; }
double MvColorGetGreen(const MvColor* color) { return color->green; }
double MvColorGetBlue(const MvColor* color) { return color->blue; }

MvValue* MvColorValueCreate(double red, double green, double blue) {
    MV_GUARDED_ENTRY(nullptr, return new MvColorValue(MvColor{red, green, blue}););
}

MvColorValue* MvValueAsColor(MvValue* value) {
    return value && value->GetType() == MvTypeColor ? static_cast<MvColorValue*>(value) : nullptr;
}

double MvColorValueGetRed(MvColorValue* color) { return color->color.red; }
double MvColorValueGetGreen(MvColorValue* color) { return color->color.green; }
double MvColorValueGetBlue(MvColorValue* color) { return color->color.blue; }
