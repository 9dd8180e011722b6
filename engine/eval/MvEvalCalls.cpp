// Function calls: the call site collects the arguments, the overloads of the
// function are tried in registration order (the process-wide registry
// first, then the script's own), and the first that fits gets the
// arguments bound to its parameters and is called.
#include "MvCalls.h"

#include "MvCallBinding.h"
#include "MvCallSites.h"
#include "MvScriptFolderScope.h"
#include "MvTreeEval.h"

#include "frontend/MvAST.h"
#include "morvane/MvException.h"
#include "frontend/MvSession.h"
#include "morvane/MvParser.h"
#include "morvane/MvScalarApi.h"
#include "plugins/MvFunctionContainer.h"
#include "plugins/MvParameterBlock.h"
#include "plugins/MvPluginRegistry.h"

#include <memory>
#include <vector>

namespace {

[[noreturn]] void raiseIncorrectArguments(const MvCallRecord& call) {
    std::string text = "Function \"";
    if (*call.nameSpace != MvInternalNameSpace)
        text += *call.nameSpace + ".";
    text += *call.function + "\" was called with incorrect arguments.";
    MvRaise(text);
}

// A script function takes the call's arguments directly: its frame binds
// them to its parameters' variables before anything else runs, so they need
// neither an argument block nor a place on the active-calls stack.
bool callScriptFunction(MvFunctionContainerLocal& function, MvTreeEval& caller,
                        const MvCallCandidate& candidate, MvCallRecord& call,
                        MvValueHolder& result, double* number) {
    constexpr std::size_t kInline = 8;
    const std::size_t n = candidate.boundTo.size();
    MvCallArgument* inlineBound[kInline];
    std::vector<MvCallArgument*> moreBound;
    MvCallArgument** bound = inlineBound;
    if (n > kInline) {
        moreBound.resize(n);
        bound = moreBound.data();
    }
    for (std::size_t p = 0; p < n; ++p) {
        const int a = candidate.boundTo[p];
        bound[p] = a >= 0 ? &call.arguments[static_cast<std::size_t>(a)] : nullptr;
    }
    return function.run(result, &caller, caller.session(), *candidate.signature, bound, number);
}

// Any other function gets the block of the chosen signature, listed on the
// active-calls stack while it runs.
void callWithBlock(MvFunctionContainer& function, MvTreeEval& caller,
                   const MvCallCandidate& candidate, MvCallRecord& call, MvValueHolder& result) {
    MvActiveBlock active(caller.innermostCall());
    MvParameterBlock& block = active.get();
    MvFillBlock(candidate, call, block);
    MvCallNative(function, caller, block, result);
}

// Whether every argument of the call is a number (none is a variable).
bool allNumbers(const MvCallRecord& call) {
    for (std::size_t a = 0; a < call.arguments.size(); ++a)
        if (!call.arguments[a].isNumber)
            return false;
    return true;
}

bool invoke(MvTreeEval& caller, const MvAST* node, MvCallRecord& call, MvValueHolder& result,
            double* number) {
    MvCallSites& sites = caller.callSites();
    const MvPluginRegistry& localFunctions = MvSession::of(caller.session())->getLocalFunctions();
    const MvCallCandidate* candidate = MvResolveCall(sites, node, call, localFunctions);
#ifdef MV_CHECK_CALL_SITES
    MvCheckCallChoice(candidate, call, localFunctions);
#endif
    if (!candidate)
        raiseIncorrectArguments(call);
    // A script function's signature lives in the session's registry, which
    // lasts the run; the candidate may be another site's when the call ends.
    const MvPluginSignature& signature = *candidate->signature;
    MvFunctionContainer* function = signature.function();
    if (allNumbers(call)) {
        MvCallSiteLookup& lookup = MvCallSiteEntry(sites, node);
        lookup.numberCandidate = static_cast<int>(candidate - lookup.candidates.data());
    }
    if (MvFunctionContainerLocal* local = function->asLocal()) {
        const bool returned = callScriptFunction(*local, caller, *candidate, call, result, number);
        return MvCheckedResult(signature.resultType(), signature.resultTakesNumber(), returned,
                               result);
    }
    // Taken before the call: a native function may change the registries.
    const MvType resultType = signature.resultType();
    callWithBlock(*function, caller, *candidate, call, result);
    return MvCheckedResult(resultType, false, false, result);
}

} // namespace

void MvCallNative(MvFunctionContainer& function, MvTreeEval& caller, MvParameterBlock& block,
                  MvValueHolder& result) {
    MvParser* session = caller.session();
    block.setContext(&caller);
    if (function.usesCurrentDirectory()) {
        MvScriptFolderScope inScriptFolder(session);
        function.call(result, &block, session);
    } else {
        function.call(result, &block, session);
    }
}

bool MvCheckedResult(const MvType& resultType, bool takesNumber, bool returned,
                     MvValueHolder& result) {
    if (returned) {
        if (!takesNumber)
            MvRaise("Function returned illegal type");
        return true;
    }
    if (!result) {
        result = MvNoValueCreate();
        return false;
    }
    const MvTypeEnum type = result->GetType();
    if (type != MvTypeUndefined && !resultType.contains(type))
        MvRaise("Function returned illegal type");
    return false;
}

bool MvCallFunction(MvTreeEval& caller, const MvAST* node, MvValueHolder& result,
                    double* number) {
    caller.pollInterrupt();
    const MvAST* nameSpace = node->child();
    const MvAST* function = nameSpace ? nameSpace->sibling() : nullptr;
    if (!function)
        caller.noViableAlternative("pluginFunctionExpression", node);
    bool returned = false;
    if (MvTryNumberCall(caller, node, function->sibling(), result, number, returned))
        return returned;
    MvCallRecord call;
    call.nameSpace = &nameSpace->text;
    call.function = &function->text;
    for (const MvAST* argument = function->sibling(); argument; argument = argument->sibling())
        MvCollectArgument(caller, MvReadArgument(caller, argument), call.arguments.add());
    return invoke(caller, node, call, result, number);
}

void MvTreeEval::makeCallSites() { callSites_ = std::make_unique<MvCallSites>(); }
