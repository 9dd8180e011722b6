// Where the running program and the libraries beside it live, for a host
// that looks for files installed with it.
#ifndef MORVANE_ENGINE_MVEXECUTABLEPATH_H
#define MORVANE_ENGINE_MVEXECUTABLEPATH_H

#include <string>
#include <vector>

namespace MvPlatform {

// The folder of the running executable (links resolved), or an empty text
// when the system cannot tell.
std::string executableFolder();

// The regular files of a folder whose names end in suffix, sorted by name;
// nothing for a folder that does not exist or cannot be read.
std::vector<std::string> filesEndingIn(const std::string& folder, const std::string& suffix);

} // namespace MvPlatform

#endif
