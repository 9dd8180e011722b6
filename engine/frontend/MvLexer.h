// The scanner of the script language.
//
// A hand-written automaton with seven modes (normal text, embedded script
// block, double- and single-quoted strings, block and line comments,
// include-marker lines). Longest match wins; a keyword wins over an
// identifier of the same spelling. Besides tokens it records a colouring
// span per lexeme in the session, writes lexical errors to the session's
// console and follows include markers so every token's line maps back to
// its source file.
#ifndef MORVANE_ENGINE_MVLEXER_H
#define MORVANE_ENGINE_MVLEXER_H

#include "MvToken.h"

#include <memory>
#include <string>

class MvParser;

class MvLexer {
public:
    // text is NUL-terminated and must outlive the scanner; lexemes longer
    // than bufferSize characters are cut to that size.
    MvLexer(const char* text, MvParser* session, int bufferSize = 32000);
    virtual ~MvLexer();
    MvLexer(const MvLexer&) = delete;
    MvLexer& operator=(const MvLexer&) = delete;

    // Scans and returns the next token; MV_TOK_EOF at the end, for ever.
    MvToken nextToken();

    int currentLine() const;

    virtual bool isInternalFunction(const std::string& name);
    virtual void addBlock(int kind);
    virtual void beginSpan(int kind);
    virtual void endSpan();
    virtual void markerLine();
    virtual void collectMarkerChar(int c);

protected:
    virtual void reportError(const char* message);

private:
    struct State;
    std::unique_ptr<State> state_;
};

#endif
