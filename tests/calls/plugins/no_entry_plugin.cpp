// A library that exports functions, but not the plug-in entry point.
#include "morvane/MvPlugin.h"

extern "C" MV_PLUGIN_ENTRY_EXPORT void PluginRegisterVersion002() {}
