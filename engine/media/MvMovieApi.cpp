// The flat functions over movie values.
#include "morvane/MvMovieApi.h"

#include "media/MvMovieValue.h"
#include "morvane/MvException.h"
#include "values/MvEntryGuard.h"

#include <cstring>

namespace {

MvMovieValue& movieOf(MvValue* value) {
    auto* movie = dynamic_cast<MvMovieValue*>(value);
    if (!movie)
        MvRaise("Not a movie value.");
    return *movie;
}

void checkQuality(double quality) {
    if (!(quality >= 0 && quality <= 1))
        MvRaise("Movie compression preferences appear invalid.");
}

} // namespace

MvValue* MvMovieCreate(const MvFSSpec*) { MV_GUARDED_ENTRY(nullptr, return new MvMovieValue();); }

void MvMovieFlatten(MvValue* movie, bool) { MV_GUARDED_VOID_ENTRY(movieOf(movie).commit();); }

double MvMovieGetIndexTime(MvValue* movie, std::int32_t frame) {
    MV_GUARDED_ENTRY(-1.0, MvMovieValue& m = movieOf(movie);
                     return frame < 0 || frame > m.frameCount() ? -1.0 : m.frameTime(frame););
}

double MvMovieGetIndexDuration(MvValue* movie, std::int32_t frame) {
    MV_GUARDED_ENTRY(-1.0, MvMovieValue& m = movieOf(movie);
                     return frame < 0 || frame >= m.frameCount() ? -1.0 : m.frameDuration(frame););
}

std::int32_t MvMovieGetWidth(MvValue* movie) { MV_GUARDED_ENTRY(0, return movieOf(movie).width();); }
std::int32_t MvMovieGetHeight(MvValue* movie) {
    MV_GUARDED_ENTRY(0, return movieOf(movie).height(););
}
std::int32_t MvMovieGetFrameCount(MvValue* movie) {
    MV_GUARDED_ENTRY(0, return movieOf(movie).frameCount(););
}
double MvMovieGetFrameRate(MvValue* movie) {
    MV_GUARDED_ENTRY(0.0, return movieOf(movie).settings().frameRate;);
}
void MvMovieSetFrameRate(MvValue* movie, double rate) {
    MV_GUARDED_VOID_ENTRY(if (!(rate > 0)) MvRaise("Movie frame rate must be greater than zero");
                          movieOf(movie).settings().frameRate = rate;);
}
std::int32_t MvMovieGetColorDepth(MvValue* movie) {
    MV_GUARDED_ENTRY(0, return movieOf(movie).settings().colorDepth;);
}
void MvMovieSetColorDepth(MvValue* movie, std::int32_t depth) {
    MV_GUARDED_VOID_ENTRY(movieOf(movie).settings().colorDepth = depth;);
}
std::int32_t MvMovieGetKeyFrameInterval(MvValue* movie) {
    MV_GUARDED_ENTRY(0, return movieOf(movie).settings().keyFrameInterval;);
}
void MvMovieSetKeyFrameInterval(MvValue* movie, std::int32_t interval) {
    MV_GUARDED_VOID_ENTRY(movieOf(movie).settings().keyFrameInterval = interval > 0 ? interval : 1;);
}
const char* MvMovieGetCompression(MvValue* movie) {
    MV_GUARDED_ENTRY(nullptr, const MvMovieCompressor* c = movieOf(movie).settings().compressor;
                     return c ? c->name : "";);
}
void MvMovieSetCompression(MvValue* movie, const char* name) {
    MV_GUARDED_VOID_ENTRY(movieOf(movie).settings().compressor =
                              &MvMovieCompressorNamed(name ? name : ""););
}
double MvMovieGetSpatialQuality(MvValue* movie) {
    MV_GUARDED_ENTRY(0.0, return movieOf(movie).settings().spatialQuality;);
}
void MvMovieSetSpatialQuality(MvValue* movie, double quality) {
    MV_GUARDED_VOID_ENTRY(checkQuality(quality); movieOf(movie).settings().spatialQuality = quality;);
}
double MvMovieGetTemporalQuality(MvValue* movie) {
    MV_GUARDED_ENTRY(0.0, return movieOf(movie).settings().temporalQuality;);
}
void MvMovieSetTemporalQuality(MvValue* movie, double quality) {
    MV_GUARDED_VOID_ENTRY(checkQuality(quality);
                          movieOf(movie).settings().temporalQuality = quality;);
}
void MvMovieAppendMovie(MvValue* movie, MvValue* other) {
    MV_GUARDED_VOID_ENTRY(MvMovieValue& m = movieOf(movie); m.insertAt(m.frameCount(), &movieOf(other)););
}
void MvMoviePrependMovie(MvValue* movie, MvValue* other) {
    MV_GUARDED_VOID_ENTRY(movieOf(movie).insertAt(0, &movieOf(other)););
}
void MvMovieInsertMovie(MvValue* movie, MvValue* other, std::int32_t position) {
    MV_GUARDED_VOID_ENTRY(MvMovieValue& m = movieOf(movie);
                          if (position < 0 || position > m.frameCount())
                              MvRaise("Movie Index \"" + std::to_string(position) +
                                      "\" is too large (> " + std::to_string(m.frameCount() - 1) + ").");
                          m.insertAt(position, &movieOf(other)););
}
MvValue* MvMovieGetFrame(MvValue* movie, std::int32_t frame) {
    MV_GUARDED_ENTRY(nullptr, return movieOf(movie).frame(frame););
}

bool MvMovieSetPreferences(const MvMoviePreferenceRecord* preferences) {
    MV_GUARDED_ENTRY(false, if (!preferences) MvRaise("Movie compression preferences appear invalid.");
                     checkQuality(preferences->spatialQuality);
                     checkQuality(preferences->temporalQuality);
                     if (!(preferences->frameRate > 0) || preferences->keyFrameInterval < 1)
                         MvRaise("Movie compression preferences appear invalid.");
                     MvMovieSettings settings = MvMoviePreferences();
                     settings.compressor = &MvMovieCompressorNamed(preferences->compressor);
                     settings.spatialQuality = preferences->spatialQuality;
                     settings.temporalQuality = preferences->temporalQuality;
                     settings.keyFrameInterval = preferences->keyFrameInterval;
                     settings.frameRate = preferences->frameRate;
                     MvMoviePreferences() = settings;
                     return true;);
}

void MvMovieGetPreferences(MvMoviePreferenceRecord* preferences) {
    MV_GUARDED_VOID_ENTRY(if (!preferences) return;
                          const MvMovieSettings& s = MvMoviePreferences();
                          std::memset(preferences->compressor, 0, sizeof preferences->compressor);
                          if (s.compressor) std::strncpy(preferences->compressor, s.compressor->name,
                                                         sizeof preferences->compressor - 1);
                          preferences->spatialQuality = s.spatialQuality;
                          preferences->temporalQuality = s.temporalQuality;
                          preferences->keyFrameInterval = s.keyFrameInterval;
                          preferences->frameRate = s.frameRate;);
}
