// Movies as hosts and plug-ins reach them: the flat functions over movie
// values and the compression preferences new movies start with.
#ifndef MORVANE_MVMOVIEAPI_H
#define MORVANE_MVMOVIEAPI_H

#include "MvExport.h"
#include "MvFile.h"
#include "MvValue.h"

#include <cstdint>

// A new empty movie; spec names where a saved copy would go and may be null.
MV_C_API MvValue* MvMovieCreate(const MvFSSpec* spec);
// Writes the frames the compressor still holds (the flag is kept for
// callers that pass one).
MV_C_API void MvMovieFlatten(MvValue* movie, bool flag);
// Start and length of a frame in seconds; -1 for a frame past the end.
MV_C_API double MvMovieGetIndexTime(MvValue* movie, std::int32_t frame);
MV_C_API double MvMovieGetIndexDuration(MvValue* movie, std::int32_t frame);
MV_C_API std::int32_t MvMovieGetWidth(MvValue* movie);
MV_C_API std::int32_t MvMovieGetHeight(MvValue* movie);
MV_C_API std::int32_t MvMovieGetFrameCount(MvValue* movie);
MV_C_API double MvMovieGetFrameRate(MvValue* movie);
MV_C_API void MvMovieSetFrameRate(MvValue* movie, double rate);
MV_C_API std::int32_t MvMovieGetColorDepth(MvValue* movie);
MV_C_API void MvMovieSetColorDepth(MvValue* movie, std::int32_t depth);
MV_C_API std::int32_t MvMovieGetKeyFrameInterval(MvValue* movie);
MV_C_API void MvMovieSetKeyFrameInterval(MvValue* movie, std::int32_t interval);
// The compressor's name; the text stays valid while the library is loaded.
MV_C_API const char* MvMovieGetCompression(MvValue* movie);
MV_C_API void MvMovieSetCompression(MvValue* movie, const char* name);
MV_C_API double MvMovieGetSpatialQuality(MvValue* movie);
MV_C_API void MvMovieSetSpatialQuality(MvValue* movie, double quality);
MV_C_API double MvMovieGetTemporalQuality(MvValue* movie);
MV_C_API void MvMovieSetTemporalQuality(MvValue* movie, double quality);
MV_C_API void MvMovieAppendMovie(MvValue* movie, MvValue* other);
MV_C_API void MvMoviePrependMovie(MvValue* movie, MvValue* other);
MV_C_API void MvMovieInsertMovie(MvValue* movie, MvValue* other, std::int32_t position);
// A new frame value (the caller owns it), or null.
MV_C_API MvValue* MvMovieGetFrame(MvValue* movie, std::int32_t frame);

// What a host draws for a movie command (MvGraphicsCommand::getMovie): the
// frame count, -1 when the movie is gone, and a new 'BGRA' buffer of its
// first frame that the caller releases, null when there is none.
struct MvMovieHandle;
class MvGWorld;
MV_C_API std::int32_t MvMovieHandleGetFrameCount(MvMovieHandle* handle);
MV_C_API MvGWorld* MvMovieHandleCreateFirstFrame(MvMovieHandle* handle);

// The compression preferences of new movies: compressor name, spatial and
// temporal quality (0..1), key frame interval and frame rate. Setting
// raises nothing; invalid settings are refused with a warning and false.
struct MvMoviePreferenceRecord {
    char compressor[64];
    double spatialQuality;
    double temporalQuality;
    std::int32_t keyFrameInterval;
    double frameRate;
};
MV_C_API bool MvMovieSetPreferences(const MvMoviePreferenceRecord* preferences);
MV_C_API void MvMovieGetPreferences(MvMoviePreferenceRecord* preferences);

#endif
