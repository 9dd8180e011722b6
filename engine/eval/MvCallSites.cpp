#include "MvCallSites.h"

#include "values/MvInternalError.h"

#include "frontend/MvAST.h"
#include "plugins/MvPluginRegistry.h"

#include <memory>
#include <string>

namespace {

// An argument fits a parameter when the parameter accepts the type of its
// value and it is a variable exactly when the parameter is by reference.
//
// The call sites rely on this: whether an argument fits depends only on its
// type and on whether it is a variable, never on its value. So a call whose
// arguments are all numbers fits the same overload as the last such call at
// its site, and MvEvalNumberCalls.cpp binds the numbers without asking.
// A rule that looked at anything else would have to be checked there too.
bool fits(const MvPluginParameter& parameter, const MvCallArgument& argument) {
    if (parameter.isReference != argument.isVariable())
        return false;
    if (argument.isNumber)
        return parameter.type.contains(MvTypeNumber);
    MvValue* value = argument.value();
    return value && parameter.type.contains(value->GetType());
}

// Named arguments bind first (to the first unbound parameter of that name
// that may be named), then the positional ones (to the first unbound
// parameter). A signature with fewer parameters than arguments, a name it
// lacks or a required parameter left over can never fit the call.
bool shapeFits(const MvPluginSignature& signature, const MvCallRecord& call,
               MvCallCandidate& candidate) {
    const std::vector<MvPluginParameter>& parameters = signature.parameters();
    const std::size_t n = parameters.size();
    const std::size_t argumentCount = call.arguments.size();
    if (n < argumentCount)
        return false;
    std::vector<int>& boundTo = candidate.boundTo;
    boundTo.assign(n, -1);
    for (std::size_t a = 0; a < argumentCount; ++a) {
        const std::string* name = call.arguments[a].name;
        if (!name)
            continue;
        std::size_t p = 0;
        while (p < n && (boundTo[p] >= 0 || parameters[p].unnamed || parameters[p].name != *name))
            ++p;
        if (p == n)
            return false;
        boundTo[p] = static_cast<int>(a);
    }
    for (std::size_t a = 0, p = 0; a < argumentCount; ++a) {
        if (call.arguments[a].name)
            continue;
        while (p < n && boundTo[p] >= 0)
            ++p;
        if (p == n)
            return false;
        boundTo[p] = static_cast<int>(a);
    }
    for (std::size_t p = 0; p < n; ++p)
        if (boundTo[p] < 0 && parameters[p].required)
            return false;
    candidate.signature = &signature;
    return true;
}

// Whether every argument suits the parameter it is bound to.
bool argumentsFit(const MvCallCandidate& candidate, const MvCallRecord& call) {
    const std::vector<MvPluginParameter>& parameters = candidate.signature->parameters();
    for (std::size_t p = 0; p < parameters.size(); ++p) {
        const int a = candidate.boundTo[p];
        if (a >= 0 && !fits(parameters[p], call.arguments[static_cast<std::size_t>(a)]))
            return false;
    }
    return true;
}

void addCandidates(std::vector<MvCallCandidate>& candidates,
                   const MvPluginRegistry::Overloads* overloads, const MvCallRecord& call) {
    if (!overloads)
        return;
    MvCallCandidate candidate;
    for (const std::unique_ptr<MvPluginSignature>& signature : *overloads)
        if (shapeFits(*signature, call, candidate))
            candidates.push_back(candidate);
}

// The overloads of the process-wide registry come before the script's own,
// so native functions win over script functions of the same name that fit
// as well.
void findCandidates(std::vector<MvCallCandidate>& candidates, const MvCallRecord& call,
                    const MvPluginRegistry& local) {
    MvPluginRegistry* process = MvPluginRegistry::THE_PluginRegistry();
    addCandidates(candidates, process->find(*call.nameSpace, *call.function), call);
    addCandidates(candidates, local.find(*call.nameSpace, *call.function), call);
}

const MvCallSiteLookup& lookUp(MvCallSites& sites, const MvAST* node, const MvCallRecord& call,
                               const MvPluginRegistry& local) {
    MvCallSiteLookup& entry = MvCallSiteEntry(sites, node);
    if (MvCallSiteIsCurrent(entry, node, local))
        return entry;
    entry.node = node;
    entry.generation = MvRegistryGeneration();
    entry.local = &local;
    entry.candidates.clear();
    entry.numberCandidate = -1;
    findCandidates(entry.candidates, call, local);
    return entry;
}

} // namespace

MvCallSiteLookup& MvCallSiteEntry(MvCallSites& sites, const MvAST* node) {
    return sites.lookups[(reinterpret_cast<std::uintptr_t>(node) >> 4) % MvCallSites::kSize];
}

bool MvCallSiteIsCurrent(const MvCallSiteLookup& entry, const MvAST* node,
                         const MvPluginRegistry& local) {
    return entry.node == node && entry.generation == MvRegistryGeneration() &&
           entry.local == &local;
}

const MvCallCandidate* MvResolveCall(MvCallSites& sites, const MvAST* node,
                                     const MvCallRecord& call, const MvPluginRegistry& local) {
    const MvCallSiteLookup& lookup = lookUp(sites, node, call, local);
    for (const MvCallCandidate& candidate : lookup.candidates)
        if (argumentsFit(candidate, call))
            return &candidate;
    return nullptr;
}

#ifdef MV_CHECK_CALL_SITES
namespace {

std::string describe(const MvCallCandidate* candidate) {
    if (!candidate)
        return "no overload";
    std::string text = "an overload of " + std::to_string(candidate->boundTo.size()) +
                       " parameters binding";
    for (int a : candidate->boundTo)
        text += " " + std::to_string(a);
    return text;
}

} // namespace

void MvCheckCallChoice(const MvCallCandidate* chosen, const MvCallRecord& call,
                       const MvPluginRegistry& local) {
    std::vector<MvCallCandidate> candidates;
    findCandidates(candidates, call, local);
    const MvCallCandidate* resolved = nullptr;
    for (const MvCallCandidate& candidate : candidates) {
        if (argumentsFit(candidate, call)) {
            resolved = &candidate;
            break;
        }
    }
    const bool same = chosen && resolved ? chosen->signature == resolved->signature &&
                                               chosen->boundTo == resolved->boundTo
                                         : chosen == resolved;
    if (!same)
        throw new MvInternalError("the call of " + *call.function + " chose " + describe(chosen) +
                                  " where resolution chooses " + describe(resolved) + ".");
}
#endif
