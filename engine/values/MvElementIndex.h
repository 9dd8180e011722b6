// Reading the index operand of a list or vector operation.
//
// The number is truncated toward zero and then taken as an unsigned 32-bit
// position, so a negative index behaves as a very large one: it fails every
// test for positions beyond the end (and error messages show it that way).
#ifndef MORVANE_ENGINE_MVELEMENTINDEX_H
#define MORVANE_ENGINE_MVELEMENTINDEX_H

#include "morvane/MvValue.h"

#include <cstdint>

// Raises for a value without a number and for a number that is not a number.
std::uint32_t MvElementIndexFromValue(MvValue* index);

#endif
