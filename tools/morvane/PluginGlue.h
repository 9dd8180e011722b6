// The process-wide function registry as the host fills, lists and empties it.
#ifndef MORVANE_TOOLS_PLUGINGLUE_H
#define MORVANE_TOOLS_PLUGINGLUE_H

#include <string>
#include <vector>

// Registers the built-in namespaces.
void registerBuiltinFunctions();

// Loads each plug-in library in order. Returns true when all loaded; on the
// first failure writes the reason to standard error and returns false.
bool loadPlugins(const std::vector<std::string>& paths);

// Destroys the registry, before the host ends.
void deleteFunctionRegistry();

// The "functions" command: prints the signature texts of the built-in
// functions and, with defaultPlugins, of the plug-ins that ship with morvane.
int listFunctions(const std::vector<std::string>& args, bool defaultPlugins);

#endif
