// A plug-in whose entry point commits one function, makes a signature it
// never commits, and then declares more parameters than another signature
// has room for, which the registry refuses.
#include "morvane/MvPlugin.h"

namespace {

MvValue* one(MvPluginErrorBlock*, MvParameterBlock*) { return MvNumberCreate(1); }

} // namespace

MV_PLUGIN_ENTRY_POINT {
    MvPluginSignature* kept = MvPluginSignatureCreate(0, MvTypeNumber, &one);
    MvPluginSignatureCommit(kept, "Forgetful", "Kept", "Committed before the failure.");
    MvPluginSignatureCreate(0, MvTypeNumber, &one);   // forgotten
    MvPluginSignature* s = MvPluginSignatureCreate(1, MvTypeNumber, &one);
    MvPluginSignatureSetParam(s, MvTypeNumber, "x", MvNumberCreate(2), MvArgumentNotConsumed);
    MvPluginSignatureSetParam(s, MvTypeNumber, "extra", MvNumberCreate(3), MvArgumentNotConsumed);
    MvPluginSignatureCommit(s, "Overdeclared", "Never", "Never registered.");
}
