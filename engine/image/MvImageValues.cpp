// What differs between the four image kinds: the frames' compression and
// file export, the float images' channel functions, and which class each
// pixel type makes.
#include "image/MvImageValues.h"

#include "image/MvCompressionTypes.h"
#include "image/MvImageFactory.h"
#include "image/MvNewImageValue.h"
#include "image/MvPixelOps.h"
#include "morvane/MvException.h"
#include "morvane/MvProperties.h"
#include "values/MvImageMakers.h"
#include "values/MvTextValue.h"
#include "values/MvValueFileProbes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

template <>
MvNewImageValue<bgPix>* MvMakeImage(MvPixelArray<bgPix> pixels) {
    return new MvImageValueBM(std::move(pixels));
}
template <>
MvNewImageValue<bcPix>* MvMakeImage(MvPixelArray<bcPix> pixels) {
    return new MvImageValueBC(std::move(pixels));
}
template <>
MvNewImageValue<fgPix>* MvMakeImage(MvPixelArray<fgPix> pixels) {
    return new MvImageValueFM(std::move(pixels));
}
template <>
MvNewImageValue<fcPix>* MvMakeImage(MvPixelArray<fcPix> pixels) {
    return new MvImageValueFC(std::move(pixels));
}

template <class Pix>
void MvImageValueB<Pix>::SaveToFile(const char* path) {
    if (const MvValueFileProbes::FrameExporter exporter = MvValueFileFrameExporter()) {
        exporter(this, path);
        return;
    }
    MvValue::SaveToFile(path);
}

template <class Pix>
int MvImageValueB<Pix>::GetPropertyId(const char* name) {
    if (MvPropertyIdFromName(name) == MvPropCompression)
        return MvPropCompression;
    return MvNewImageValue<Pix>::GetPropertyId(name);
}

template <class Pix>
MvValue* MvImageValueB<Pix>::GetProperty(int propertyId) {
    if (propertyId == MvPropCompression)
        return new MvTextValue(compressionName);
    return MvNewImageValue<Pix>::GetProperty(propertyId);
}

template <class Pix>
void MvImageValueB<Pix>::SetProperty(int propertyId, MvValue* newValue) {
    if (propertyId != MvPropCompression) {
        MvNewImageValue<Pix>::SetProperty(propertyId, newValue);
        return;
    }
    MvValueHolder text;
    newValue->Coerce(text, MvTypeText);
    const MvCompressionType type = MvLookUpCompression(text->GetText());
    compressionCode = type.code;
    compressionName = type.name;
}

template class MvImageValueB<bgPix>;
template class MvImageValueB<bcPix>;

namespace {

template <class Pix, class Fn>
MvValue* applied(MvNewImageValue<Pix>& image, Fn fn) {
    MvValue* copy = image.Clone();
    MvApplyToChannels(static_cast<MvNewImageValue<Pix>*>(copy)->pixels, fn);
    return copy;
}

} // namespace

template <class Pix>
MvValue* MvImageValueF<Pix>::Sqrt() {
    return applied(*this, [](float v) { return std::sqrt(v); });
}

template <class Pix>
MvValue* MvImageValueF<Pix>::Log() {
    return applied(*this, [](float v) { return std::log(v); });
}

template <class Pix>
MvValue* MvImageValueF<Pix>::Abs() {
    return applied(*this, [](float v) { return std::fabs(v); });
}

template <class Pix>
MvValue* MvImageValueF<Pix>::Pow(MvValue* exponent) {
    const float e = static_cast<float>(exponent->GetNumber());
    return applied(*this, [e](float v) { return std::pow(v, e); });
}

template class MvImageValueF<fgPix>;
template class MvImageValueF<fcPix>;

Mv2DValue* MvImageCreate(MvTypeEnum type, std::int32_t width, std::int32_t height) {
    switch (type) {
    case MvTypeFrameMono: return new MvImageValueBM(width, height);
    case MvTypeFrame: return new MvImageValueBC(width, height);
    case MvTypeImageMono: return new MvImageValueFM(width, height);
    case MvTypeImage: return new MvImageValueFC(width, height);
    default: MvRaise("Internal type problem: not an image kind");
    }
}

Mv2DValue* MvImageOfShape(MvTypeEnum type, MvValue* shape) {
    std::int32_t width = 0, height = 0;
    MvVisitImage(shape, [&](auto& image) {
        width = image.pixels.width();
        height = image.pixels.height();
    });
    return MvImageCreate(type, width, height);
}

Mv2DValue* MvImageMonoFromRows(const std::vector<MvValueHolder>& rows) {
    std::size_t width = 0;
    for (const MvValueHolder& row : rows)
        width = std::max(width, row->GetVector()->size());
    if (width > static_cast<std::size_t>(INT32_MAX) ||
        rows.size() > static_cast<std::size_t>(INT32_MAX))
        throw new MvMemoryException("During allocation of image data.");
    MvPixelArray<fgPix> pixels(static_cast<std::int32_t>(width),
                               static_cast<std::int32_t>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        const std::vector<double>& values = *rows[y]->GetVector();
        fgPix* row = pixels.row(static_cast<std::int32_t>(y));
        for (std::size_t x = 0; x < values.size(); ++x)
            row[x] = static_cast<float>(values[x]);
    }
    return new MvImageValueFM(std::move(pixels));
}

// The value layer makes images (result holders, lists of vectors, value-file
// bodies) through makers this folder installs when the library loads.
namespace {
const bool kImageMakersInstalled = [] {
    MvImageMakers makers;
    makers.ofShape = [](MvTypeEnum type, MvValue* shape) -> MvValue* {
        return MvImageOfShape(type, shape);
    };
    makers.monoFromRows = [](const std::vector<MvValueHolder>& rows) -> MvValue* {
        return MvImageMonoFromRows(rows);
    };
    makers.readBody = MvReadImageBody;
    MvInstallImageMakers(makers);
    return true;
}();
} // namespace
