// Reading an index operand: its number, rounded down to a whole number.
#ifndef MORVANE_ENGINE_MVINDEX_H
#define MORVANE_ENGINE_MVINDEX_H

#include "morvane/MvValue.h"

#include <cstdint>

// Raises for a value without a number or a number that is not finite;
// numbers beyond the 64-bit range are clamped to it.
std::int64_t MvIndexFromValue(MvValue* index);

#endif
