// What a native function may ask of the script that called it. The
// parameter block carries the calling evaluator as an opaque handle: the
// evaluator sits in a layer above the plug-in interface, and it defines the
// operations declared here.
#ifndef MORVANE_ENGINE_MVCALLINGCONTEXT_H
#define MORVANE_ENGINE_MVCALLINGCONTEXT_H

#include <string>

class MvTreeEval;

// Moves the window of the variable named name, in caller's scope or else the
// global one; raises when there is no such window variable.
void MvCallerSetWindowPosition(MvTreeEval& caller, const std::string& name, double x, double y);

#endif
