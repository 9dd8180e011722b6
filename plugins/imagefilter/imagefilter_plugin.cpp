// The ImageFilter plug-in: the neighbourhood filters and the geometric
// transform of the engine, which have no built-in functions, for scripts.
//
//   ImageFilter.Convolute(source, kernel)
//       true convolution with a kernel image; the edges wrap around.
//   ImageFilter.Rank(source, mask, rank)
//       the rank-th smallest pixel under the mask's non-zero pixels.
//   ImageFilter.Median(source, mask -> 3 x 3 of ones)
//       the rank filter at rank N / 2 for a mask of N selecting pixels.
//   ImageFilter.Affine(source, a, b, c, d, width, height, origin, background)
//       the source mapped by (u, v) -> (a u + b v, c u + d v) into a new
//       image of width x height whose pixel (0, 0) is the point origin.
//   ImageFilter.MultiplyPixel(&image, x, y, factor)
//       scales one pixel of the image in place.
#include "morvane/MvPlugin.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

namespace {

struct ValueDeleter {
    void operator()(MvValue* v) const { delete v; }
};

std::int32_t whole(double v) {
    if (!(v == v))
        return 0;
    if (v >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// Element i of a vector argument, 0 past its end.
double element(MvParameterBlock* params, const char* name, std::int32_t i) {
    return i < MvParameterBlockGetVectorLength(params, name)
               ? MvParameterBlockGetVectorValue(params, name, i)
               : 0.0;
}

MvValue* origin() {
    MvValue* v = MvVectorCreate();
    MvVectorAppend(MvValueAsVector(v), 0);
    MvVectorAppend(MvValueAsVector(v), 0);
    return v;
}

MvValue* convolute(MvPluginErrorBlock*, MvParameterBlock* params) {
    return MvImageConvolute(MvParameterBlockGetValue(params, "source"),
                            MvParameterBlockGetValue(params, "kernel"));
}

MvValue* rank(MvPluginErrorBlock*, MvParameterBlock* params) {
    return MvImageMedianFilter(MvParameterBlockGetValue(params, "source"),
                               MvParameterBlockGetValue(params, "mask"),
                               MvParameterBlockGetNumberValue(params, "rank"));
}

// Whether the pixel at byte offset x of a line of the mask selects (is not
// zero in its grey value, or in red, green or blue).
bool selects(const unsigned char* line, std::int32_t x, MvTypeEnum type) {
    switch (type) {
    case MvTypeFrameMono: return line[x] != 0;
    case MvTypeFrame: return line[4 * x] != 0 || line[4 * x + 1] != 0 || line[4 * x + 2] != 0;
    case MvTypeImageMono: {
        float v;
        std::memcpy(&v, line + 4 * x, sizeof v);
        return v != 0;
    }
    default: {
        float v[4];
        std::memcpy(v, line + 16 * x, sizeof v);
        return v[1] != 0 || v[2] != 0 || v[3] != 0;
    }
    }
}

// The number of selecting pixels of the centred odd part of the mask.
std::int32_t selectingPixels(MvValue* mask) {
    const MvTypeEnum type = MvValueGetMvType(mask);
    const std::int32_t w = MvImageGetWidth(mask), h = MvImageGetHeight(mask);
    if (w == 0 || h == 0)
        return 0;
    const std::int32_t columns = 2 * ((w - 1) / 2) + 1, rows = 2 * ((h - 1) / 2) + 1;
    std::int32_t n = 0;
    for (std::int32_t y = 0; y < rows; ++y) {
        const unsigned char* line = MvFrameMonoGetLine(mask, y);
        for (std::int32_t x = 0; x < columns; ++x)
            n += selects(line, x, type) ? 1 : 0;
    }
    return n;
}

MvValue* median(MvPluginErrorBlock*, MvParameterBlock* params) {
    MvValue* source = MvParameterBlockGetValue(params, "source");
    if (!MvParameterBlockIsDynamicGenerationRequired(params, "mask")) {
        MvValue* mask = MvParameterBlockGetValue(params, "mask");
        return MvImageMedianFilter(source, mask, selectingPixels(mask) / 2);
    }
    std::unique_ptr<MvValue, ValueDeleter> square(MvFrameMonoCreate(3, 3));
    for (std::int32_t y = 0; y < 3; ++y)
        std::memset(MvFrameMonoGetLine(square.get(), y), 1, 3);
    return MvImageMedianFilter(source, square.get(), 4);
}

MvValue* affine(MvPluginErrorBlock* error, MvParameterBlock* params) {
    MvValue* source = MvParameterBlockGetValue(params, "source");
    const std::int32_t width = MvParameterBlockIsDynamicGenerationRequired(params, "width")
                                   ? MvImageGetWidth(source)
                                   : whole(MvParameterBlockGetNumberValue(params, "width"));
    const std::int32_t height = MvParameterBlockIsDynamicGenerationRequired(params, "height")
                                    ? MvImageGetHeight(source)
                                    : whole(MvParameterBlockGetNumberValue(params, "height"));
    if (width < 0 || height < 0) {
        MvPluginErrorBlockSetMessage(error, "The width and height must not be negative.");
        return nullptr;
    }
    const std::int32_t x0 = whole(element(params, "origin", 0));
    const std::int32_t y0 = whole(element(params, "origin", 1));
    if (static_cast<std::int64_t>(x0) + width > std::numeric_limits<std::int32_t>::max() ||
        static_cast<std::int64_t>(y0) + height > std::numeric_limits<std::int32_t>::max()) {
        MvPluginErrorBlockSetMessage(error, "The origin is too far out.");
        return nullptr;
    }
    const MvColor background = MvParameterBlockGetValue(params, "background")->GetColor();
    std::unique_ptr<MvValue, ValueDeleter> result(MvImageTypeConstruct(source, width, height));
    MvImageTransformAffine(source, result.get(), MvParameterBlockGetNumberValue(params, "a"),
                           MvParameterBlockGetNumberValue(params, "b"),
                           MvParameterBlockGetNumberValue(params, "c"),
                           MvParameterBlockGetNumberValue(params, "d"), x0, y0, x0 + width,
                           y0 + height, 0, 0, MvImageGetWidth(source), MvImageGetHeight(source),
                           background);
    return result.release();
}

MvValue* multiplyPixel(MvPluginErrorBlock*, MvParameterBlock* params) {
    MvValue* image = MvParameterBlockGetValueMutable(params, "image");
    MvImageMultiplyPixelByNumber(image, whole(MvParameterBlockGetNumberValue(params, "x")),
                                 whole(MvParameterBlockGetNumberValue(params, "y")),
                                 MvParameterBlockGetNumberValue(params, "factor"));
    MvParameterBlockNotifyChange(params, "image");
    return nullptr;
}

MvType anyImage() {
    MvType t(MvTypeFrameMono);
    t.add(MvTypeFrame);
    t.add(MvTypeImageMono);
    t.add(MvTypeImage);
    return t;
}

const char kSpace[] = "ImageFilter";

} // namespace

MV_PLUGIN_ENTRY_POINT {
    const MvType image = anyImage();
    MvPluginSignature* s = MvPluginSignatureCreate(2, image, &convolute);
    MvPluginSignatureSetParam(s, image, "source", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, image, "kernel", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, kSpace, "Convolute",
                            "Convolve the source with the kernel (flipped);\n\t"
                            "the edges wrap around.");

    s = MvPluginSignatureCreate(3, image, &rank);
    MvPluginSignatureSetParam(s, image, "source", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, image, "mask", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "rank", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, kSpace, "Rank",
                            "The rank-th smallest pixel (from 0) under the\n\t"
                            "non-zero pixels of the mask.");

    s = MvPluginSignatureCreate(2, image, &median);
    MvPluginSignatureSetParam(s, image, "source", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, image, "mask", MvParamDynamic, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, kSpace, "Median",
                            "The median of the pixels under the non-zero pixels\n\t"
                            "of the mask (3 x 3 when not given).");

    s = MvPluginSignatureCreate(9, image, &affine);
    MvPluginSignatureSetParam(s, image, "source", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "a", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "b", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "c", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "d", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "width", MvParamDynamic, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "height", MvParamDynamic, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeVector, "origin", origin(), MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeColor, "background", MvColorValueCreate(0, 0, 0),
                              MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, kSpace, "Affine",
                            "Map the source by (u, v) -> (a u + b v, c u + d v)\n\t"
                            "into a new image whose pixel (0, 0) is the point origin;\n\t"
                            "points from outside the source take the background.");

    s = MvPluginSignatureCreate(4, MvType(), &multiplyPixel);
    MvPluginSignatureSetParam(s, image, "image", MvParamRequired, MvArgumentByReference);
    MvPluginSignatureSetParam(s, MvTypeNumber, "x", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "y", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "factor", MvParamRequired, MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, kSpace, "MultiplyPixel", "Multiply one pixel of the image by factor.");
}
