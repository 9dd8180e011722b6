// The image forms of Find.Correlate and Find.Map, and Find.Region: their
// options read from the parameter block by name.
#include "MvBuiltins.h"

#include "image/MvFind.h"
#include "image/MvNewImageValue.h"
#include "image/MvRegionSearch.h"
#include "morvane/MvException.h"
#include "morvane/MvScalarApi.h"
#include "plugins/MvParameterBlock.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

bool given(MvParameterBlock* params, const char* name) {
    return !MvParameterBlockIsDynamicGenerationRequired(params, name);
}

// The x and y of a vector option.
void point(MvParameterBlock* params, const char* name, double& x, double& y) {
    if (MvParameterBlockGetVectorLength(params, name) < 2)
        MvRaise(std::string("The vector ") + name + " needs an x and a y.");
    x = MvParameterBlockGetVectorValue(params, name, 0);
    y = MvParameterBlockGetVectorValue(params, name, 1);
}

MvFindRequest findRequest(MvParameterBlock* params) {
    MvFindRequest r;
    r.source = MvParameterBlockGetValue(params, "source");
    r.match = MvParameterBlockGetValue(params, "match");
    if ((r.hasTopLeft = given(params, "topleft")))
        point(params, "topleft", r.topLeftX, r.topLeftY);
    if ((r.hasBottomRight = given(params, "bottomright")))
        point(params, "bottomright", r.bottomRightX, r.bottomRightY);
    if ((r.hasScale = given(params, "scale")))
        r.scale = MvParameterBlockGetNumberValue(params, "scale");
    r.gray = MvParameterBlockGetBooleanValue(params, "gray");
    if ((r.hasOverhang = given(params, "overhang_area")))
        r.overhang = MvParameterBlockGetNumberValue(params, "overhang_area");
    if (given(params, "weight"))
        r.weight = MvParameterBlockGetValue(params, "weight");
    point(params, "weight_origin", r.weightOriginX, r.weightOriginY);
    r.subPixel = MvParameterBlockGetBooleanValue(params, "sub_pixel");
    r.core = MvParameterBlockGetTextValue(params, "internal_test_choose_core");
    return r;
}

// A window placed wrongly shows through the error block; the call's value is 0.
MvValue* negativeWindow(MvPluginErrorBlock* error) {
    MvPluginErrorBlockSetMessage(error, "Negative size of area in Find");
    return MvNumberCreate(0);
}

std::int32_t whole(double v) {
    if (!(v == v))
        return 0;
    return static_cast<std::int32_t>(std::clamp(std::trunc(v), -1073741824.0, 1073741824.0));
}

} // namespace

namespace MvBuiltins {

MvValue* correlateImage(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvValue* result = MvFindCorrelate(findRequest(params));
    return result ? result : negativeWindow(error);
}

MvValue* findMap(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvValue* result = MvFindMap(findRequest(params));
    return result ? result : negativeWindow(error);
}

MvValue* findRegion(MvPluginErrorBlock*, MvParameterBlock* params) {
    MvValue* source = MvParameterBlockGetValue(params, "source");
    MvRegionOptions o;
    o.value = MvParameterBlockGetNumberValue(params, "value");
    o.tolerance = MvParameterBlockGetNumberValue(params, "tolerance");
    o.minArea = MvParameterBlockGetNumberValue(params, "min_area");
    o.minWidth = whole(MvParameterBlockGetNumberValue(params, "min_width"));
    o.minHeight = whole(MvParameterBlockGetNumberValue(params, "min_height"));
    o.radius = MvParameterBlockGetNumberValue(params, "radius");
    o.listPoints = MvParameterBlockGetBooleanValue(params, "list_points");
    o.returnFrame = MvParameterBlockGetBooleanValue(params, "return_frame");
    o.edgeValue = MvParameterBlockGetNumberValue(params, "edge_value");
    double x = 0, y = 0;
    point(params, "topleft", x, y);
    o.left = whole(x);
    o.top = whole(y);
    if (given(params, "bottomright")) {
        point(params, "bottomright", x, y);
        o.right = whole(x);
        o.bottom = whole(y);
    } else if (source && MvIsImageType(source->GetType())) {
        Mv2DValue* image = static_cast<Mv2DValue*>(source);
        o.right = image->GetWidth();
        o.bottom = image->GetHeight();
    }
    return MvFindRegions(source, o);
}

} // namespace MvBuiltins
