// The include preprocessor: replaces "#include 'name'" lines by the named
// files' contents between marker lines that the scanner reads back.
//
// Marker lines written into the output:
//   "/##+name"  the following lines come from the file name, included here
//   "/##-"      the included file ends; the including file continues
//   "/##!text"  an error to show on the console at this place
// and "//#include 'name'", an ordinary comment, for a file already included.
#ifndef MORVANE_ENGINE_MVPREPROCESSOR_H
#define MORVANE_ENGINE_MVPREPROCESSOR_H

#include <set>
#include <string>

// Expands text; names in includeSet are never included again, and the name of
// every well-formed directive is added to it. Relative names resolve against the current directory.
// The result always ends with a line end.
std::string MvPreprocess(const std::string& text, std::set<std::string>& includeSet);

#endif
