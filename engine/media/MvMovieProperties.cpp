// The movie's properties and its description.
#include "media/MvMovieFileSource.h"
#include "media/MvMovieValue.h"

#include "morvane/MvException.h"
#include "morvane/MvProperties.h"
#include "values/MvBooleanValue.h"
#include "values/MvNumberValue.h"
#include "values/MvTextValue.h"
#include "values/MvVectorValue.h"

#include <cmath>

namespace {

const char* const kGraphicsModes[] = {"copy", "dither copy", "straight alpha",
                                      "premul white alpha"};

const int kMovieProperties[] = {MvPropWidth,      MvPropHeight,        MvPropSize,
                                MvPropOffset,     MvPropLength,        MvPropDuration,
                                MvPropFrameRate,  MvPropCompression,   MvPropOverlayCompression,
                                MvPropGraphicsMode, MvPropQuality,     MvPropTemporalQuality,
                                MvPropSafeAppendMode};

const std::vector<double>& twoComponents(MvValue* value) {
    const std::vector<double>* components =
        value->GetType() == MvTypeVector ? value->GetVector() : nullptr;
    if (!components || components->size() != 2)
        MvRaise("Expecting a two component vector {width,height}");
    return *components;
}

int positiveSide(double side, const char* message) {
    if (!(side >= 1))
        MvRaise(message);
    return static_cast<int>(std::min(side, 32767.0));
}

std::string trackWord(const AVCodecParameters& codec) {
    if (codec.codec_type == AVMEDIA_TYPE_AUDIO)
        return "Sound";
    if (codec.codec_type != AVMEDIA_TYPE_VIDEO)
        return "Unknown";
    if (const MvMovieCompressor* compressor = MvMovieCompressorForCodec(codec.codec_id))
        return compressor->name;
    return avcodec_get_name(codec.codec_id);
}

std::string layerText(const std::string& word, int layer) {
    const char* tabs = word.size() >= 8 ? "\tLayer " : word.size() >= 1 ? "\t\tLayer " : "\t\t\tLayer ";
    return tabs + std::to_string(layer);
}

} // namespace

int MvMovieValue::GetPropertyId(const char* name) {
    const int id = MvPropertyIdFromName(name);
    for (int known : kMovieProperties)
        if (id == known)
            return id;
    return MvValue::GetPropertyId(name);
}

MvValue* MvMovieValue::GetProperty(int propertyId) {
    switch (propertyId) {
    case MvPropWidth: return new MvNumberValue(width_);
    case MvPropHeight: return new MvNumberValue(height_);
    case MvPropSize: return new MvVectorValue({double(width_), double(height_)});
    case MvPropOffset: return new MvVectorValue({double(offsetX_), double(offsetY_)});
    case MvPropLength: return new MvNumberValue(frameCount());
    case MvPropDuration:
        return new MvNumberValue(naturalDuration() / (preferredRate_ == 0 ? 1.0 : preferredRate_));
    case MvPropFrameRate: return new MvNumberValue(settings_.frameRate);
    case MvPropCompression:
        return new MvTextValue(settings_.compressor ? settings_.compressor->name : "");
    case MvPropOverlayCompression: return new MvTextValue(overlayCompression_);
    case MvPropGraphicsMode: return new MvTextValue(graphicsMode_);
    case MvPropQuality: return new MvNumberValue(settings_.spatialQuality);
    case MvPropTemporalQuality: return new MvNumberValue(settings_.temporalQuality);
    case MvPropSafeAppendMode: return new MvBooleanValue(safeAppendMode_);
    default: return MvValue::GetProperty(propertyId);
    }
}

void MvMovieValue::SetProperty(int propertyId, MvValue* newValue) {
    switch (propertyId) {
    case MvPropWidth:
        width_ = positiveSide(newValue->GetNumber(), "Movie width must be greater than zero");
        return;
    case MvPropHeight:
        height_ = positiveSide(newValue->GetNumber(), "Movie height must be greater than zero");
        return;
    case MvPropSize: {
        const std::vector<double>& size = twoComponents(newValue);
        const int w = positiveSide(size[0], "Movie width must be greater than zero");
        height_ = positiveSide(size[1], "Movie height must be greater than zero");
        width_ = w;
        return;
    }
    case MvPropOffset: {
        const std::vector<double>& offset = twoComponents(newValue);
        offsetX_ = static_cast<int>(offset[0]);
        offsetY_ = static_cast<int>(offset[1]);
        return;
    }
    case MvPropDuration: {
        const double wanted = newValue->GetNumber();
        if (!(wanted > 0))
            MvRaise("Movie duration must be greater than zero");
        commit();
        const double old = preferredRate_ == 0 ? 1.0 : preferredRate_;
        preferredRate_ = old * naturalDuration() / wanted;
        return;
    }
    case MvPropFrameRate: {
        const double rate = newValue->GetNumber();
        if (!(rate > 0) || rate > 32767)
            MvRaise("Movie frame rate must be greater than zero");
        settings_.frameRate = std::round(rate * 65536.0) / 65536.0;
        return;
    }
    case MvPropCompression:
        settings_.compressor = &MvMovieCompressorNamed(newValue->GetText());
        return;
    case MvPropOverlayCompression:
        overlayCompression_ = MvMovieCompressorNamed(newValue->GetText()).name;
        return;
    case MvPropGraphicsMode: {
        const std::string mode = newValue->GetText();
        for (const char* known : kGraphicsModes)
            if (mode == known) {
                graphicsMode_ = mode;
                return;
            }
        MvRaise("Unknown Graphics Mode: available modes are 'copy', 'dither copy', "
                "'straight alpha', 'premul white alpha'");
    }
    case MvPropQuality:
        settings_.spatialQuality = std::clamp(newValue->GetNumber(), 0.0, 1.0);
        return;
    case MvPropTemporalQuality:
        settings_.temporalQuality = std::clamp(newValue->GetNumber(), 0.0, 1.0);
        return;
    case MvPropSafeAppendMode:
        safeAppendMode_ = newValue->GetBoolean();
        return;
    default:
        MvValue::SetProperty(propertyId, newValue);
    }
}

std::string MvMovieValue::GetText() {
    std::string text = "movie value\twidth:\t" + std::to_string(width_) + "\theight:\t" +
                       std::to_string(height_) + "\tcompression:" +
                       (settings_.compressor ? settings_.compressor->name : "");
    // One video track, and a sound track when a source file has sound.
    if (segments_.empty())
        return text;
    const std::string video = trackWord(segments_.front().source->codecParameters());
    text += "\n\t\tTrack: " + video + layerText(video, 0);
    for (const MvMovieSegment& segment : segments_)
        if (auto* file = dynamic_cast<MvMovieFileSource*>(segment.source.get()))
            if (const AVStream* sound = file->soundStream()) {
                const std::string word = trackWord(*sound->codecpar);
                text += "\n\t\tTrack: " + word + layerText(word, 0);
                break;
            }
    return text;
}
