// Syntax trees as text, for diagnostics and tests.
//
// A leaf is written as its token's text (nodes the parser made are written
// with the text it gave them: "local", "circref", "Plug-in Function", ...);
// a node with children is written "#(" root " " child " " child ... ")";
// the top-level trees of a programme are separated by one blank. A date
// node, which has empty text, is written datetime(DD:MMM:YYYY:HH:MM:SS) from
// the fields of the date it carries, so the literal 5:JAN:2024:10:30 reads
// datetime(05:JAN:2024:10:30:00). An empty tree is the empty text.
//
// The printer walks the tree with an explicit stack: any depth is fine.
#ifndef MORVANE_ENGINE_MVTREEPRINTER_H
#define MORVANE_ENGINE_MVTREEPRINTER_H

#include "MvAST.h"

#include <string>

std::string MvTreeToText(const MvAST* tree);

#endif
