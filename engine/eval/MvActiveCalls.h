// The argument blocks of the calls under way in one run, innermost first:
// a variable that goes away is withdrawn from them. Each run keeps its own
// list (in its global evaluator), so a run that a native function starts on
// the same thread never disturbs the list of the run that called it.
#ifndef MORVANE_ENGINE_MVACTIVECALLS_H
#define MORVANE_ENGINE_MVACTIVECALLS_H

#include "plugins/MvParameterBlock.h"

class MvValueContainer;

namespace MvActiveCalls {

// Empties every argument of the listed blocks that refers to container: the
// variable is going away.
void withdraw(MvParameterBlock* innermost, const MvValueContainer* container);

} // namespace MvActiveCalls

// A block listed as the innermost call of its run for as long as it lives.
// Blocks live on the stack of the calls that fill them, so they leave the
// list in the reverse order of joining it, on return and on unwinding alike.
class MvActiveBlock {
public:
    explicit MvActiveBlock(MvParameterBlock*& innermost) : innermost_(innermost) {
        block_.enclosing = innermost;
        innermost = &block_;
    }
    ~MvActiveBlock() { innermost_ = block_.enclosing; }
    MvActiveBlock(const MvActiveBlock&) = delete;
    MvActiveBlock& operator=(const MvActiveBlock&) = delete;
    MvParameterBlock& get() { return block_; }

private:
    MvParameterBlock*& innermost_;
    MvParameterBlock block_;
};

#endif
