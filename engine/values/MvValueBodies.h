// The value-file bodies of the kinds other than lists. Lists read theirs
// (MvListValue::read) and call back here for each element of another kind.
#ifndef MORVANE_ENGINE_MVVALUEBODIES_H
#define MORVANE_ENGINE_MVVALUEBODIES_H

#include "morvane/MvValue.h"

#include <cstdint>
#include <iosfwd>

// A new value of the given type read from its body; null for a type that
// has no body this build can read (lists included).
MvValue* MvReadFlatBody(std::uint32_t type, std::istream& in);

#endif
