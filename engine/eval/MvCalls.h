// Function calls from the evaluator.
#ifndef MORVANE_ENGINE_MVCALLS_H
#define MORVANE_ENGINE_MVCALLS_H

#include "MvActiveCalls.h"
#include "MvCallArguments.h"

#include "morvane/MvValue.h"

class MvFunctionContainer;
class MvParameterBlock;
class MvTreeEval;
class MvType;
struct MvAST;

// Evaluates a call node (#(Plug-in Function namespace name argument...))
// in caller: the arguments, the overload that fits them, the call. With
// number given, a script function that returns an expression of numbers
// gives that number there instead (true), and no value is made.
bool MvCallFunction(MvTreeEval& caller, const MvAST* node, MvValueHolder& result,
                    double* number = nullptr);

// MvCallFunction for a call whose arguments are all numbers, at a site that
// chose a function for such a call before (MvEvalNumberCalls.cpp).
// False, having done nothing that shows, when it cannot be made so; else
// returned is what MvCallFunction returns.
bool MvTryNumberCall(MvTreeEval& caller, const MvAST* node, const MvAST* firstArgument,
                     MvValueHolder& result, double* number, bool& returned);

// Calls a native function with its filled block (listed as the innermost
// call of the run), in the script's folder when the function works with files.
void MvCallNative(MvFunctionContainer& function, MvTreeEval& caller, MvParameterBlock& block,
                  MvValueHolder& result);

// What a function gave: a number (returned is true) must be of the result
// type, a value too (none becomes a no-value). Returns returned.
bool MvCheckedResult(const MvType& resultType, bool takesNumber, bool returned,
                     MvValueHolder& result);

#endif
