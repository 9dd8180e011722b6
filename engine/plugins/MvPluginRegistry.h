// The registry of native and script-defined functions (declared in the
// public plug-in interface) and the name of the internal namespace.
#ifndef MORVANE_ENGINE_MVPLUGINREGISTRY_H
#define MORVANE_ENGINE_MVPLUGINREGISTRY_H

#include "MvPluginSignature.h"
#include "morvane/MvPluginApi.h"

#include <cstdint>

// Changes whenever any registry is made, destroyed or given a signature: a
// lookup remembered under one generation is valid while it lasts.
std::uint64_t MvRegistryGeneration();

// The namespace of functions called without one.
extern const char* const MvInternalNameSpace;   // "__MorvaneInternal"

#endif
