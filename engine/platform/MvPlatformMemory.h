// How much memory the machine has, for the limits on what a script may ask
// for. Kept apart from MvPlatform.h: only the memory limit needs it.
#ifndef MORVANE_ENGINE_MVPLATFORMMEMORY_H
#define MORVANE_ENGINE_MVPLATFORMMEMORY_H

#include <cstdint>

namespace MvPlatform {

// The machine's physical memory in bytes; 0 when the system does not say.
std::uint64_t physicalMemoryBytes();

// The memory the system could hand out now without swapping or ending
// processes (free memory and reclaimable caches); 0 when it does not say.
std::uint64_t availableMemoryBytes();

} // namespace MvPlatform

#endif
