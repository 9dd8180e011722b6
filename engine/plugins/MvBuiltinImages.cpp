// The image functions of the Frame, Filter, Math and Draw namespaces: thin
// readers of the parameter block over the image operations. Misuse that
// the signatures cannot rule out fails through the error block; errors of
// the operations themselves are raised as runtime errors.
#include "MvBuiltins.h"

#include "image/MvNewImageValue.h"
#include "morvane/Mv2DValue.h"
#include "morvane/MvException.h"
#include "values/MvNoValue.h"
#include "values/MvVectorValue.h"

#include <cstring>

namespace {

MvValue* fail(MvPluginErrorBlock* error, const char* message) {
    MvPluginErrorBlockSetMessage(error, message);
    return new MvNoValue();
}

// The image argument name (the signatures admit only image kinds).
Mv2DValue* image(MvParameterBlock* params, const char* name) {
    MvValue* value = MvParameterBlockGetValue(params, name);
    if (!value || !MvIsImageType(value->GetType()))
        MvRaise(std::string("The argument ") + name + " is not a frame or image.");
    return static_cast<Mv2DValue*>(value);
}

// A by-reference image argument, made unique so that it can change in place.
Mv2DValue* mutableImage(MvParameterBlock* params, const char* name) {
    MvValue* value = MvParameterBlockGetValueMutable(params, name);
    if (!value || !MvIsImageType(value->GetType()))
        MvRaise(std::string("The argument ") + name + " is not a frame or image.");
    return static_cast<Mv2DValue*>(value);
}

bool sameSize(Mv2DValue* a, Mv2DValue* b) {
    return a->GetWidth() == b->GetWidth() && a->GetHeight() == b->GetHeight();
}

// Element i of a vector argument, 0 past its end.
double vectorElement(MvParameterBlock* params, const char* name, std::int32_t i) {
    return i < MvParameterBlockGetVectorLength(params, name)
               ? MvParameterBlockGetVectorValue(params, name, i)
               : 0.0;
}

// {origin x + x, origin y + y, luminance} of the darkest or brightest pixel.
MvValue* extremePixel(MvParameterBlock* params, bool brightest) {
    Mv2DValue* source = image(params, "source");
    const bool subPixel = MvParameterBlockGetBooleanValue(params, "sub_pixel");
    double luminance = 0, x = 0, y = 0;
    if (brightest)
        source->BrightestPixel(luminance, x, y, subPixel);
    else
        source->DarkestPixel(luminance, x, y, subPixel);
    return new MvVectorValue({vectorElement(params, "origin_location", 0) + x,
                              vectorElement(params, "origin_location", 1) + y, luminance});
}

// A left-out bound of Filter.Normalize is the image's own darkest or
// brightest grey value.
MvValueHolder normalizeBound(MvParameterBlock* params, const char* name, Mv2DValue* x,
                             bool upper) {
    if (MvParameterBlockIsDynamicGenerationRequired(params, name))
        return MvValueHolder(upper ? x->Max() : x->Min());
    return MvValueHolder(MvParameterBlockGetValue(params, name));
}

// The drawing style from obj_color, mode, weight and (when given) fill.
// An unknown mode fails the call; a weight of another type is reported and
// drawing goes on with the weight 1.
bool drawStyle(MvPluginErrorBlock* error, MvParameterBlock* params, bool closed,
               MvDrawStyle& style) {
    style.colour = MvParameterBlockGetValue(params, "obj_color")->GetColor();
    const char* mode = MvParameterBlockGetTextValue(params, "mode");
    if (std::strcmp(mode, "copy") == 0)
        style.mode = 1;
    else if (std::strcmp(mode, "xor") == 0)
        style.mode = 2;
    else if (std::strcmp(mode, "or") == 0)
        style.mode = 3;
    else {
        MvPluginErrorBlockSetMessage(error, "Invalid Drawing mode specified.");
        return false;
    }
    MvValue* weight = MvParameterBlockGetValue(params, "weight");
    if (weight->GetType() == MvTypeNumber) {
        const double w = weight->GetNumber();
        style.weight = MvColor{w, w, w};
    } else if (weight->GetType() == MvTypeColor) {
        style.weight = weight->GetColor();
    } else {
        MvPluginErrorBlockSetMessage(error, "Internal error with weight type in Draw.");
        style.weight = MvColor{1.0, 1.0, 1.0};
    }
    style.fill = closed && MvParameterBlockGetBooleanValue(params, "fill");
    return true;
}

} // namespace

namespace MvBuiltins {

// ------------------------------------------------------------------- Frame

MvValue* frameDeInterlaceOdd(MvPluginErrorBlock*, MvParameterBlock* params) {
    return image(params, "source")->DeInterlaceOdd();
}

MvValue* frameDeInterlaceEven(MvPluginErrorBlock*, MvParameterBlock* params) {
    return image(params, "source")->DeInterlaceEven();
}

MvValue* frameInterlace(MvPluginErrorBlock* error, MvParameterBlock* params) {
    Mv2DValue* even = image(params, "even");
    Mv2DValue* odd = image(params, "odd");
    if (even->GetType() != odd->GetType())
        return fail(error, "Parameters must be the same type for interlacing.)");
    if (even->GetWidth() != odd->GetWidth() ||
        (odd->GetHeight() != even->GetHeight() && odd->GetHeight() != even->GetHeight() - 1))
        return fail(error, "Frames to interlace must have the same width, and the odd frame the "
                           "height of the even frame or one line less.");
    return even->Interlace(odd);
}

MvValue* frameGetAlpha(MvPluginErrorBlock*, MvParameterBlock* params) {
    return image(params, "source")->GetAlpha();
}

MvValue* frameSetAlpha(MvPluginErrorBlock* error, MvParameterBlock* params) {
    Mv2DValue* source = image(params, "source");
    Mv2DValue* alpha = image(params, "alpha");
    if (!sameSize(source, alpha))
        return fail(error, "Frames must be same size.");
    return source->SetAlpha(alpha);
}

// -------------------------------------------------------------------- Math

MvValue* sumImage(MvPluginErrorBlock*, MvParameterBlock* params) {
    return image(params, "x")->SumElements();
}

MvValue* averageOfImage(MvPluginErrorBlock*, MvParameterBlock* params) {
    return image(params, "x")->Average();
}

MvValue* standardDeviationOfImage(MvPluginErrorBlock*, MvParameterBlock* params) {
    return image(params, "x")->Sdev();
}

MvValue* differenceOfImages(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvValue* x = MvParameterBlockGetValue(params, "x");
    MvValue* y = MvParameterBlockGetValue(params, "y");
    if (x->GetType() != y->GetType())
        return fail(error, "Both parameters must have the same type.");
    if (!MvIsImageType(x->GetType()))
        return fail(error, "Unsupported type in Math.Difference()");
    const double threshold = MvParameterBlockGetNumberValue(params, "threshold");
    if (!(threshold >= 0))
        return fail(error, "Difference threshold must be non-negative.");
    return x->Difference(y, threshold, true);
}

MvValue* minimumOfImage(MvPluginErrorBlock*, MvParameterBlock* params) {
    return extremePixel(params, false);
}

MvValue* maximumOfImage(MvPluginErrorBlock*, MvParameterBlock* params) {
    return extremePixel(params, true);
}

// ------------------------------------------------------------------ Filter

MvValue* filterReplace(MvPluginErrorBlock*, MvParameterBlock* params) {
    Mv2DValue* x = image(params, "x");
    MvValue* min = MvParameterBlockGetValue(params, "min");
    MvValue* max = MvParameterBlockGetValue(params, "max");
    MvValue* with = MvParameterBlockGetValue(params, "replacement_color");
    return MvParameterBlockGetBooleanValue(params, "inclusive") ? x->ReplaceInside(min, max, with)
                                                                 : x->ReplaceOutside(min, max, with);
}

MvValue* filterNormalize(MvPluginErrorBlock*, MvParameterBlock* params) {
    Mv2DValue* x = image(params, "x");
    MvValueHolder min = normalizeBound(params, "min", x, false);
    MvValueHolder max = normalizeBound(params, "max", x, true);
    return x->NormalizedCopy(min.get(), max.get());
}

MvValue* filterNormalizeInPlace(MvPluginErrorBlock*, MvParameterBlock* params) {
    Mv2DValue* x = mutableImage(params, "x");
    MvValueHolder min = normalizeBound(params, "min", x, false);
    MvValueHolder max = normalizeBound(params, "max", x, true);
    x->NormalizeInPlace(min.get(), max.get());
    MvParameterBlockNotifyChange(params, "x");
    return new MvNoValue();
}

// -------------------------------------------------------------------- Draw

MvValue* drawLine(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvDrawStyle style;
    if (!drawStyle(error, params, false, style))
        return new MvNoValue();
    mutableImage(params, "canvas")
        ->DrawLine(MvParameterBlockGetNumberValue(params, "x1"),
                   MvParameterBlockGetNumberValue(params, "y1"),
                   MvParameterBlockGetNumberValue(params, "x2"),
                   MvParameterBlockGetNumberValue(params, "y2"), style);
    MvParameterBlockNotifyChange(params, "canvas");
    return new MvNoValue();
}

MvValue* drawRectangle(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvDrawStyle style;
    if (!drawStyle(error, params, true, style))
        return new MvNoValue();
    mutableImage(params, "canvas")
        ->DrawRectangle(MvParameterBlockGetNumberValue(params, "x"),
                        MvParameterBlockGetNumberValue(params, "y"),
                        MvParameterBlockGetNumberValue(params, "width"),
                        MvParameterBlockGetNumberValue(params, "height"), style);
    MvParameterBlockNotifyChange(params, "canvas");
    return new MvNoValue();
}

MvValue* drawCircle(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvDrawStyle style;
    if (!drawStyle(error, params, true, style))
        return new MvNoValue();
    mutableImage(params, "canvas")
        ->DrawCircle(MvParameterBlockGetNumberValue(params, "x"),
                     MvParameterBlockGetNumberValue(params, "y"),
                     MvParameterBlockGetNumberValue(params, "radius"), style);
    MvParameterBlockNotifyChange(params, "canvas");
    return new MvNoValue();
}

} // namespace MvBuiltins
