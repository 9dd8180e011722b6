// Overload resolution, and what a run remembers of it per call site.
//
// Which overloads can take a call, and which parameter each argument goes
// to, depends only on the names and the order of the arguments: a call site
// works it out once and keeps it while no registry changes. Whether the
// arguments then fit is asked again at every call (see fits in
// MvCallSites.cpp); only a call whose arguments are all numbers skips that
// too (MvEvalNumberCalls.cpp).
#ifndef MORVANE_ENGINE_MVCALLSITES_H
#define MORVANE_ENGINE_MVCALLSITES_H

#include "MvCallArguments.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class MvPluginRegistry;
class MvPluginSignature;
struct MvAST;

// An overload a call can reach, with its argument-to-parameter map (per
// parameter: the argument bound to it, or -1).
struct MvCallCandidate {
    const MvPluginSignature* signature = nullptr;
    std::vector<int> boundTo;
};

struct MvCallSiteLookup {
    const MvAST* node = nullptr;
    std::uint64_t generation = 0;   // of the registries, when made
    const MvPluginRegistry* local = nullptr;
    std::vector<MvCallCandidate> candidates;   // in resolution order
    // The candidate, a script function, that a call whose every argument was
    // a number chose (-1: none yet). Such a call chooses it again (see fits).
    int numberCandidate = -1;
};

// The lookups of one run, remembered per call site while no registry
// changes (a small table indexed by the node's address).
struct MvCallSites {
    static constexpr std::size_t kSize = 256;
    MvCallSiteLookup lookups[kSize];
};

// The table entry of a call site (which may hold another site's lookup).
MvCallSiteLookup& MvCallSiteEntry(MvCallSites& sites, const MvAST* node);

// Whether the entry holds the lookup of node, made under the current
// registries.
bool MvCallSiteIsCurrent(const MvCallSiteLookup& entry, const MvAST* node,
                         const MvPluginRegistry& local);

// The first reachable overload whose parameters accept the arguments; null
// when none does. The process-wide registry's overloads come before the
// script's own. The candidate lives in the call sites' table, where the next
// call made anywhere may replace it.
const MvCallCandidate* MvResolveCall(MvCallSites& sites, const MvAST* node,
                                     const MvCallRecord& call, const MvPluginRegistry& local);

// Checks a choice the call sites' table made against resolution from the
// registries themselves: anything else raises an internal error. Compiled
// into debug builds only, where every call is checked.
#ifndef NDEBUG
#define MV_CHECK_CALL_SITES 1
void MvCheckCallChoice(const MvCallCandidate* chosen, const MvCallRecord& call,
                       const MvPluginRegistry& local);
#endif

#endif
