// Single values saved to and loaded from files.
//
// A value file is four bytes 0xAA, the value's MvTypeEnum as a 32-bit
// little-endian integer, then the kind's body. A file without that header
// loads as text; movie and image files load as their kinds.
#ifndef MORVANE_MVVALUEFILE_H
#define MORVANE_MVVALUEFILE_H

#include "MvExport.h"
#include "MvValue.h"

#include <iosfwd>

// Loads the value stored at path (value file, text, movie or image file).
MV_EXPORT MvValue* LoadValueFromFile(const char* path);

// Reads a type number and the body that follows it; null for an unknown type.
MV_EXPORT MvValue* ReadValue(std::istream& in);

// Opens the movie a URL names; raises for anything else.
MV_EXPORT MvValue* LoadValueFromURL(const char* url);

#endif
