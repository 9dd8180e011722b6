// The most memory one value may ask for at once.
//
// Sizes that a script chooses (a vector grown by setting an element far
// beyond its end, a text doubled again and again, a value file announcing a
// long vector) are checked against this limit before anything is allocated:
// a larger request raises the runtime error "Out of Memory (...)" that the
// script can catch, instead of running the process out of memory. The limit
// is process-wide; by default it is the machine's physical memory.
#ifndef MORVANE_MVMEMORYLIMIT_H
#define MORVANE_MVMEMORYLIMIT_H

#include "MvExport.h"

#include <cstdint>

// Sets the limit in bytes; 0 restores the default.
MV_C_API void MvSetMemoryLimit(std::uint64_t bytes);
// The limit in force, in bytes.
MV_C_API std::uint64_t MvGetMemoryLimit();

#endif
