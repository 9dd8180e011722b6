// The include preprocessor: replaces "#include 'name'" lines by the named
// files' contents between marker lines that the scanner reads back.
#ifndef MORVANE_ENGINE_MVPREPROCESSOR_H
#define MORVANE_ENGINE_MVPREPROCESSOR_H

#include <set>
#include <string>

// Expands text; names in includeSet are never included again. Relative
// names resolve against the current directory.
std::string MvPreprocess(const std::string& text, std::set<std::string>& includeSet);

#endif
