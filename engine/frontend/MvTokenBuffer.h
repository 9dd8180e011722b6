// Lookahead over the scanner: the parser sees the next token and the one
// after it.
#ifndef MORVANE_ENGINE_MVTOKENBUFFER_H
#define MORVANE_ENGINE_MVTOKENBUFFER_H

#include "MvLexer.h"

#include <deque>

class MvTokenBuffer {
public:
    explicit MvTokenBuffer(MvLexer& lexer) : lexer_(lexer) {}

    // k = 1 is the next token, k = 2 the one after it.
    const MvToken& lookahead(int k = 1) {
        while (static_cast<int>(pending_.size()) < k)
            pending_.push_back(lexer_.nextToken());
        return pending_[k - 1];
    }
    int lookaheadType(int k = 1) { return lookahead(k).type; }

    MvToken consume() {
        lookahead(1);
        MvToken token = std::move(pending_.front());
        pending_.pop_front();
        return token;
    }

private:
    MvLexer& lexer_;
    std::deque<MvToken> pending_;
};

#endif
