// Process-wide calls for hosts and plug-ins: version, abort, errors, warnings.
#ifndef MORVANE_MVPROCESS_H
#define MORVANE_MVPROCESS_H

#include "MvExport.h"
#include "MvStreams.h"

MV_C_API void MvGetVersion(int* major, int* minor, int* build);
MV_C_API const char* MvGetVersionString();
MV_C_API int MvIsCompatibleVersion(int major);

// Sets the process-wide abort flag; nothing clears it again.
MV_C_API void MvSetAbortEverything();
// Throws a new MvInterruptException when the abort flag is set, or when the
// host asked the script running on this thread to stop; else returns. Native
// functions call it now and then in loops that may run long.
MV_C_API void MvYield();
// Throws a new MvException carrying message (raises a script error).
MV_C_API void MvError(const char* message);
// Appends message to the warning console (no line end added).
MV_C_API void MvWarning(const char* message);

// The process-wide warning console: the get returns with its lock held, the
// release drops it; read (and usually empty) the stream in between.
MV_EXPORT Mv_stringstream& MvGetWarningConsole();
MV_EXPORT void MvReleaseWarningConsole();

#endif
