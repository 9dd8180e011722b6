// The frame attributes every image carries, their properties and the text
// form of an image.
#include "morvane/Mv2DValue.h"

#include "morvane/MvException.h"
#include "morvane/MvProcess.h"
#include "morvane/MvProperties.h"
#include "values/MvNumberValue.h"
#include "values/MvTextValue.h"
#include "values/MvVectorValue.h"

#include <cstdio>

namespace {

std::int32_t truncatedSize(double v) {
    // Sizes outside the 32-bit range cannot be allocated anyway; keep the
    // conversion defined and let the allocation report the failure.
    if (!(v > -2147483648.0 && v < 2147483648.0))
        return -1;
    return static_cast<std::int32_t>(v);
}

} // namespace

Mv2DValue::~Mv2DValue() = default;

std::string Mv2DValue::timeCodeText() const {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u:%02u", unsigned(timeCode.hours),
                  unsigned(timeCode.minutes), unsigned(timeCode.seconds),
                  unsigned(timeCode.frames));
    return text;
}

int Mv2DValue::GetPropertyId(const char* name) {
    switch (MvPropertyIdFromName(name)) {
    case MvPropQuality: return MvPropQuality;
    case MvPropWidth: return MvPropWidth;
    case MvPropHeight: return MvPropHeight;
    case MvPropSize: return MvPropSize;
    case MvPropDuration: return MvPropDuration;
    case MvPropTimeCode: return MvPropTimeCode;
    default: return MvValue::GetPropertyId(name);
    }
}

MvValue* Mv2DValue::GetProperty(int propertyId) {
    switch (propertyId) {
    case MvPropWidth:
        return new MvNumberValue(GetWidth());
    case MvPropHeight:
        return new MvNumberValue(GetHeight());
    case MvPropSize:
        return new MvVectorValue({double(GetWidth()), double(GetHeight())});
    case MvPropDuration:
        return new MvNumberValue(duration);
    case MvPropQuality:
        return new MvNumberValue(quality);
    case MvPropTimeCode:
        return new MvTextValue(timeCodeText());
    default:
        return MvValue::GetProperty(propertyId);
    }
}

void Mv2DValue::SetProperty(int propertyId, MvValue* newValue) {
    switch (propertyId) {
    case MvPropWidth:
        Resize(truncatedSize(newValue->GetNumber()), GetHeight());
        return;
    case MvPropHeight:
        Resize(GetWidth(), truncatedSize(newValue->GetNumber()));
        return;
    case MvPropSize: {
        if (newValue->GetType() != MvTypeVector || newValue->GetVector()->size() < 2)
            MvRaise("Expecting a two component vector {width,height}");
        const std::vector<double>& size = *newValue->GetVector();
        Resize(truncatedSize(size[0]), truncatedSize(size[1]));
        return;
    }
    case MvPropDuration: {
        const double seconds = newValue->GetNumber();
        if (seconds < 0)
            MvRaise("Invalid duration: must be greater than zero.");
        duration = seconds;
        return;
    }
    case MvPropQuality: {
        const double q = newValue->GetNumber();
        if (q < 0.0) {
            MvWarning("Negative quality: set to zero.\n");
            quality = 0.0;
        } else if (q > 1.0) {
            MvWarning("Invalid quality: truncated to 1.0.\n");
            quality = 1.0;
        } else {
            quality = q;
        }
        return;
    }
    default:
        MvValue::SetProperty(propertyId, newValue);
    }
}

std::string Mv2DValue::GetText() {
    std::string text = MvType::typeName(GetType());
    text += "\n size :\t(" + std::to_string(GetWidth()) + "," + std::to_string(GetHeight()) + ")\n";
    text += " duration :\t" + MvNumberValue::format(duration) + "\n";
    text += " quality :\t" + MvNumberValue::format(quality) + "\n";
    text += " time_code :\t" + timeCodeText() + "\n";
    return text;
}

void Mv2DValue::CopyToClipboard() {
    MvRaise("Writing frames to the clipboard not implemented on x86");
}
