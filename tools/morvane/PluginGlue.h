// The process-wide function registry as the host fills and empties it.
//
// The registry entry points (built-in namespaces, plug-in loading) are not
// in every build of the engine; this is the one place that knows whether
// they are, so the rest of the host compiles against any build.
#ifndef MORVANE_TOOLS_PLUGINGLUE_H
#define MORVANE_TOOLS_PLUGINGLUE_H

#include <string>
#include <vector>

// Registers the built-in namespaces, when the engine offers them.
void registerBuiltinFunctions();

// Loads each plug-in library in order. Returns true when all loaded; on the
// first failure writes the reason to standard error and returns false.
bool loadPlugins(const std::vector<std::string>& paths);

// Destroys the registry (when the engine offers that), before the host ends.
void deleteFunctionRegistry();

// The "functions" command: prints the signature texts.
int listFunctions(const std::vector<std::string>& args);

#endif
