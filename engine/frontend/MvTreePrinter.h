// Syntax trees as text: a leaf is its token's text, a node with children
// is #(root child ...); siblings at the top are separated by blanks.
#ifndef MORVANE_ENGINE_MVTREEPRINTER_H
#define MORVANE_ENGINE_MVTREEPRINTER_H

#include "MvAST.h"

#include <string>

std::string MvTreeToText(const MvAST* tree);

#endif
