// The plug-ins that ship with morvane, found without being named.
#ifndef MORVANE_TOOLS_DEFAULTPLUGINS_H
#define MORVANE_TOOLS_DEFAULTPLUGINS_H

#include <string>
#include <vector>

// The folders searched, in order: plugins/ beside the executable (the build
// tree), the installed plug-in folder under the library folder next to the
// executable's folder, then each folder of MORVANE_PLUGIN_PATH (separated by
// colons).
std::vector<std::string> defaultPluginFolders();

// Loads every library (*.so) of the folders, in name order within a folder.
// A file whose name was loaded from an earlier folder is skipped; one that
// fails to load is reported as a warning on standard error and skipped.
void loadDefaultPlugins(const std::vector<std::string>& folders);

#endif
