// The string stream type of the console, the warning console and the
// runtime-error stream.
#ifndef MORVANE_MVSTREAMS_H
#define MORVANE_MVSTREAMS_H

#include <sstream>

using Mv_stringstream = std::stringstream;

#endif
