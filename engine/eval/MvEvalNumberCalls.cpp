// Calls whose arguments are all numbers, made again at a call site whose
// last such call chose the same overload: the arguments are computed as
// doubles and bound directly, with no call record, to a script function's
// variables (no value is made for them) or to a native function's block.
//
// Such a call gives what the general way (MvEvalCalls.cpp) gives:
// - the overload: whether an argument fits depends only on its type and on
//   whether it is a variable (see fits in MvCallSites.cpp). Every argument
//   here is a number and none is a variable, as at the call that chose the
//   overload, so it fits again and no overload before it does. Debug builds
//   check the choice against resolution at every call;
// - the arguments: each node is read by the same reader and computed by the
//   same evaluation of numbers as the general way uses, in the same order.
//   An expression of numbers has no side effects, so when one turns out not
//   to be a number the general way starts over and meets the same values
//   and errors;
// - the result is checked as any call's is.
#include "MvCalls.h"

#include "MvCallBinding.h"
#include "MvCallSites.h"
#include "MvTreeEval.h"

#include "frontend/MvAST.h"
#include "frontend/MvSession.h"
#include "morvane/MvParser.h"
#include "plugins/MvFunctionContainer.h"
#include "plugins/MvPluginRegistry.h"

#include <cstddef>

bool MvTryNumberCall(MvTreeEval& caller, const MvAST* node, const MvAST* firstArgument,
                     MvValueHolder& result, double* number, bool& returned) {
    MvCallSites& sites = caller.callSites();
    const MvPluginRegistry& localFunctions = MvSession::of(caller.session())->getLocalFunctions();
    const MvCallSiteLookup& lookup = MvCallSiteEntry(sites, node);
    if (lookup.numberCandidate < 0 || !MvCallSiteIsCurrent(lookup, node, localFunctions))
        return false;
    constexpr std::size_t kMost = 8;
    double numbers[kMost];
    const std::string* names[kMost];
    std::size_t count = 0;
    for (const MvAST* argument = firstArgument; argument; argument = argument->sibling()) {
        const MvArgumentNode written = MvReadArgument(caller, argument);
        if (written.variable || count == kMost ||
            !caller.numberExpression(written.expression, numbers[count]))
            return false;
        names[count++] = written.name;
    }
    const MvCallCandidate& candidate =
        lookup.candidates[static_cast<std::size_t>(lookup.numberCandidate)];
#ifdef MV_CHECK_CALL_SITES
    MvCallRecord call;
    call.nameSpace = &node->child()->text;
    call.function = &node->child()->sibling()->text;
    for (std::size_t a = 0; a < count; ++a) {
        MvCallArgument& argument = call.arguments.add();
        argument.name = names[a];
        argument.slot.kind = MvArgumentSlot::Value;
        argument.number = numbers[a];
        argument.isNumber = true;
    }
    MvCheckCallChoice(&candidate, call, localFunctions);
#else
    (void)names;
#endif
    const MvPluginSignature& signature = *candidate.signature;
    MvFunctionContainer* function = signature.function();
    if (MvFunctionContainerLocal* local = function->asLocal()) {
        const bool gave = local->runWithNumbers(result, &caller, caller.session(), signature,
                                                candidate.boundTo.data(), numbers, number);
        returned =
            MvCheckedResult(signature.resultType(), signature.resultTakesNumber(), gave, result);
        return true;
    }
    // Taken before the call: a native function may change the registries.
    const MvType resultType = signature.resultType();
    {
        MvActiveBlock active(caller.innermostCall());
        MvParameterBlock& block = active.get();
        MvFillBlockWithNumbers(candidate, numbers, block);
        MvCallNative(*function, caller, block, result);
    }
    returned = MvCheckedResult(resultType, false, false, result);
    return true;
}
