#include "MvPendingSignatures.h"

#include "MvPluginSignature.h"

#include <algorithm>

namespace {

// Registration runs on the host's thread during start-up, like the rest of
// the registry, which is not locked either.
MvPendingSignatures* current = nullptr;

} // namespace

MvPendingSignatures::MvPendingSignatures() : outer_(current) { current = this; }

MvPendingSignatures::~MvPendingSignatures() {
    current = outer_;
    for (MvPluginSignature* signature : pending_)
        delete signature;
}

void MvPendingSignatures::created(MvPluginSignature* signature) {
    if (current)
        current->pending_.push_back(signature);
}

void MvPendingSignatures::committed(MvPluginSignature* signature) {
    for (MvPendingSignatures* scope = current; scope; scope = scope->outer_) {
        auto found = std::find(scope->pending_.begin(), scope->pending_.end(), signature);
        if (found != scope->pending_.end()) {
            scope->pending_.erase(found);
            return;
        }
    }
}
