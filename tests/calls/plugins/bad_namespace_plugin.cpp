// A plug-in whose entry point commits one good function and then one into
// an empty namespace, which the registry refuses.
#include "morvane/MvPlugin.h"

namespace {

MvValue* seven(MvPluginErrorBlock*, MvParameterBlock*) { return MvNumberCreate(7); }

} // namespace

MV_PLUGIN_ENTRY_POINT {
    MvPluginSignature* good = MvPluginSignatureCreate(0, MvTypeNumber, &seven);
    MvPluginSignatureCommit(good, "Broken", "Seven", "Seven, committed before the failure.");
    MvPluginSignature* bad = MvPluginSignatureCreate(0, MvTypeNumber, &seven);
    MvPluginSignatureCommit(bad, "", "Orphan", "Never registered.");
}
