// The signatures a plug-in's entry point made and has not committed.
//
// An accepted commit hands the signature to the registry; a refused one
// leaves it with the plug-in, which may mend it and commit again. A signature
// that is never committed (refused, or the entry point failed before it got
// there, or simply forgot) would belong to a plug-in that has no way to free
// it: while MvRegisterPlugin runs an entry point it keeps a scope of this
// class, and what is still pending when the entry point returns or fails is
// freed then.
#ifndef MORVANE_ENGINE_MVPENDINGSIGNATURES_H
#define MORVANE_ENGINE_MVPENDINGSIGNATURES_H

#include <memory>
#include <vector>

class MvPluginSignature;

class MvPendingSignatures {
public:
    // Becomes the scope in which new signatures are tracked (scopes nest).
    MvPendingSignatures();
    // Frees every signature made in this scope and not committed.
    ~MvPendingSignatures();
    MvPendingSignatures(const MvPendingSignatures&) = delete;
    MvPendingSignatures& operator=(const MvPendingSignatures&) = delete;

    // Called by the registration functions (committed: once the registry
    // has accepted it); outside a scope they do nothing.
    static void created(MvPluginSignature* signature);
    static void committed(MvPluginSignature* signature);

private:
    std::vector<MvPluginSignature*> pending_;
    MvPendingSignatures* outer_;
};

#endif
