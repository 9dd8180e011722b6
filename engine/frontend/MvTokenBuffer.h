// Lookahead over the scanner: the parser sees the next token and the one
// after it. Tokens wait in a small ring, so looking ahead allocates nothing.
#ifndef MORVANE_ENGINE_MVTOKENBUFFER_H
#define MORVANE_ENGINE_MVTOKENBUFFER_H

#include "MvLexer.h"

#include <cassert>

class MvTokenBuffer {
public:
    static constexpr int kMaxLookahead = 2;

    explicit MvTokenBuffer(MvLexer& lexer) : lexer_(lexer) {}

    // k = 1 is the next token, k = 2 the one after it.
    const MvToken& lookahead(int k = 1) {
        assert(k >= 1 && k <= kMaxLookahead);
        while (count_ < k) {
            ring_[(first_ + count_) % kRing] = lexer_.nextToken();
            ++count_;
        }
        return ring_[(first_ + k - 1) % kRing];
    }
    int lookaheadType(int k = 1) { return lookahead(k).type; }

    MvToken consume() {
        lookahead(1);
        MvToken token = ring_[first_];
        first_ = (first_ + 1) % kRing;
        --count_;
        return token;
    }

private:
    static constexpr int kRing = 4;
    MvLexer& lexer_;
    MvToken ring_[kRing];
    int first_ = 0;
    int count_ = 0;
};

#endif
