#include "MvTreePrinter.h"

std::string MvTreeToText(const MvAST*) { return std::string(); }
