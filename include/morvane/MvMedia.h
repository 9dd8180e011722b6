// The media layer (image files, and later movies) as a host sees it.
#ifndef MORVANE_MVMEDIA_H
#define MORVANE_MVMEDIA_H

#include "MvExport.h"

#include <cstdint>

// The high 16 bits of the media layer's version: the major version of the
// library that reads and writes media files in the high byte, its minor
// version (at most 255) in the low byte. 0 when there is no media layer.
MV_C_API std::int32_t MvGetQuickTimeVersion();

#endif
