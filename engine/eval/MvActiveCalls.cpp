#include "MvActiveCalls.h"

namespace {

// The innermost call under way on this thread; each block links to the
// enclosing one. (The library's thread storage uses the model that works
// when a host loads the library with dlopen.)
thread_local MvParameterBlock* innermostCall = nullptr;

} // namespace

namespace MvActiveCalls {

void push(MvParameterBlock* block) {
    block->enclosing = innermostCall;
    innermostCall = block;
}

// Normally block is the innermost call; after a reset it may be gone.
void pop(MvParameterBlock* block) {
    for (MvParameterBlock* b = innermostCall; b; b = b->enclosing) {
        if (b == block) {
            innermostCall = block->enclosing;
            return;
        }
    }
}

void withdraw(const MvValueContainer* container) {
    for (MvParameterBlock* b = innermostCall; b; b = b->enclosing)
        b->withdraw(container);
}

void reset() { innermostCall = nullptr; }

} // namespace MvActiveCalls
