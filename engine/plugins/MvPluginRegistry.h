// The registry of native and script-defined functions (declared in the
// public plug-in interface) and the name of the internal namespace.
#ifndef MORVANE_ENGINE_MVPLUGINREGISTRY_H
#define MORVANE_ENGINE_MVPLUGINREGISTRY_H

#include "MvPluginSignature.h"
#include "morvane/MvPluginApi.h"

#include <atomic>
#include <cstdint>

// Changes whenever any registry is made, destroyed or given a signature: a
// lookup remembered under one generation is valid while it lasts.
extern std::atomic<std::uint64_t> MvRegistryGenerationCount;
inline std::uint64_t MvRegistryGeneration() {
    return MvRegistryGenerationCount.load(std::memory_order_relaxed);
}

// The namespace of functions called without one.
extern const char* const MvInternalNameSpace;   // "__MorvaneInternal"

#endif
