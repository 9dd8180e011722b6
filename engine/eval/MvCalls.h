// Function calls from the evaluator, and the calls under way.
#ifndef MORVANE_ENGINE_MVCALLS_H
#define MORVANE_ENGINE_MVCALLS_H

#include "morvane/MvValue.h"

class MvTreeEval;
class MvValueContainer;
class MvParameterBlock;
struct MvAST;

// Evaluates a call node (#(Plug-in Function namespace name argument...))
// in caller: the arguments, the overload that fits them, the call.
void MvCallFunction(MvTreeEval& caller, const MvAST* node, MvValueHolder& result);

// The argument blocks of the calls under way, process-wide (one run at a
// time per process).
namespace MvActiveCalls {

void push(MvParameterBlock* block);
// Removes block (and anything pushed after it that is still listed).
void pop(MvParameterBlock* block);
// Empties every argument that refers to container: the variable is going away.
void withdraw(const MvValueContainer* container);
// Forgets every block (a new run starts).
void reset();

} // namespace MvActiveCalls

#endif
