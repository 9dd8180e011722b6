// The argument blocks of the calls under way on this thread (a thread runs
// one script at a time): a variable that goes away is withdrawn from them.
#ifndef MORVANE_ENGINE_MVACTIVECALLS_H
#define MORVANE_ENGINE_MVACTIVECALLS_H

#include "plugins/MvParameterBlock.h"

class MvValueContainer;

namespace MvActiveCalls {

void push(MvParameterBlock* block);
// Removes block (and anything pushed after it that is still listed).
void pop(MvParameterBlock* block);
// Empties every argument that refers to container: the variable is going away.
void withdraw(const MvValueContainer* container);
// Forgets every block (a new run starts).
void reset();

} // namespace MvActiveCalls

// A block listed on the active-calls stack for as long as it lives.
class MvActiveBlock {
public:
    MvActiveBlock() { MvActiveCalls::push(&block_); }
    ~MvActiveBlock() { MvActiveCalls::pop(&block_); }
    MvActiveBlock(const MvActiveBlock&) = delete;
    MvActiveBlock& operator=(const MvActiveBlock&) = delete;
    MvParameterBlock& get() { return block_; }

private:
    MvParameterBlock block_;
};

#endif
