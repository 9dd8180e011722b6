// Checks of the memory a value is about to ask for, against the limit the
// host sets (morvane/MvMemoryLimit.h).
#ifndef MORVANE_ENGINE_MVMEMORYREQUEST_H
#define MORVANE_ENGINE_MVMEMORYREQUEST_H

#include <cstdint>

// Raises MvMemoryException ("Out of Memory (...)") when count items of
// itemSize bytes each are more than the limit or, for a large request, more
// than the system has available now. what names the value in the message
// ("vector", "text", ...).
void MvCheckMemoryRequest(std::uint64_t count, std::uint64_t itemSize, const char* what);

#endif
