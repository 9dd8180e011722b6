#include "MvTreeEval.h"

#include "morvane/MvException.h"

MvTreeEval::~MvTreeEval() = default;

void MvTreeEval::programme(MvAST*) {
    (void)session_;
    MvRaise("Running scripts is not available in this build yet.");
}
