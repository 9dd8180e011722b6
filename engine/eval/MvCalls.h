// Function calls from the evaluator, and the calls under way.
#ifndef MORVANE_ENGINE_MVCALLS_H
#define MORVANE_ENGINE_MVCALLS_H

#include "morvane/MvValue.h"
#include "plugins/MvParameterBlock.h"

#include <cstdint>
#include <string>
#include <vector>

class MvTreeEval;
class MvValueContainer;
class MvPluginRegistry;
class MvPluginSignature;
struct MvAST;

// One argument as written: its parameter name when it is given by name, and
// a variable, a value or, for an expression of numbers, the number itself
// (made into a value only for a function that needs one).
struct MvCallArgument {
    const std::string* name = nullptr;
    MvArgumentSlot slot;
    double number = 0;
    bool isNumber = false;

    // Gives a number argument the value it stands for.
    void makeValue();
};

// The overloads a call site can reach, in resolution order, each with its
// argument-to-parameter map (per parameter: the argument bound to it, or
// -1). Which argument goes to which parameter depends only on the names and
// the order of the arguments, never on their values.
struct MvCallCandidate {
    const MvPluginSignature* signature = nullptr;
    std::vector<int> boundTo;
};

struct MvCallSiteLookup {
    const MvAST* node = nullptr;
    std::uint64_t generation = 0;   // of the registries, when made
    const MvPluginRegistry* local = nullptr;
    std::vector<MvCallCandidate> candidates;
    // The candidate, a script function, that a call whose every argument was
    // a number chose (-1: none yet). Whether an argument fits a parameter
    // depends only on its type and on whether it is a variable, so the next
    // such call chooses it again.
    int numberCandidate = -1;
};

// The lookups of one run, remembered per call site while no registry
// changes (a small table indexed by the node's address).
struct MvCallSites {
    static constexpr std::size_t kSize = 256;
    MvCallSiteLookup lookups[kSize];
};

// Evaluates a call node (#(Plug-in Function namespace name argument...))
// in caller: the arguments, the overload that fits them, the call. With
// number given, a script function that returns an expression of numbers
// gives that number there instead (true), and no value is made.
bool MvCallFunction(MvTreeEval& caller, const MvAST* node, MvValueHolder& result,
                    double* number = nullptr);

// The argument blocks of the calls under way on this thread (a thread runs
// one script at a time).
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
