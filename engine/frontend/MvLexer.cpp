#include "MvLexer.h"

#include "morvane/MvTokens.h"

struct MvLexer::State {
    int line = 1;
};

MvLexer::MvLexer(const char*, MvParser*, int) : state_(std::make_unique<State>()) {}
MvLexer::~MvLexer() = default;
MvToken MvLexer::nextToken() { return MvToken{MV_TOK_EOF, state_->line, ""}; }
int MvLexer::currentLine() const { return state_->line; }
bool MvLexer::isInternalFunction(const std::string&) { return false; }
void MvLexer::addBlock(int) {}
void MvLexer::beginSpan(int) {}
void MvLexer::endSpan() {}
void MvLexer::markerLine() {}
void MvLexer::collectMarkerChar(int) {}
void MvLexer::reportError(const char*) {}
