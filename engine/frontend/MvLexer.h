// The scanner of the script language.
//
// A hand-written automaton with seven modes (normal text, embedded script
// block, double- and single-quoted strings, block and line comments,
// include-marker lines). Longest match wins; a keyword wins over an
// identifier of the same spelling. Besides tokens it records a colouring
// span per lexeme in the session, writes lexical errors to the session's
// console and follows include markers so every token's line maps back to
// its source file.
//
// Like a table-driven automaton it never backs up: a lexeme that stops in a
// state accepting nothing ("1.", "1e", "/#") is an error, and the error
// drops that lexeme together with the character that stopped it.
#ifndef MORVANE_ENGINE_MVLEXER_H
#define MORVANE_ENGINE_MVLEXER_H

#include "MvToken.h"
#include "morvane/MvParser.h"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

class MvParser;

class MvLexer {
public:
    // text is NUL-terminated and must outlive the scanner, which reads it in
    // place; session must not be null. Token texts longer than bufferSize
    // characters are cut to that size. The texts of the tokens are views,
    // valid as long as the scanner (see MvToken).
    MvLexer(const char* text, MvParser* session, int bufferSize = 32000);
    virtual ~MvLexer();
    MvLexer(const MvLexer&) = delete;
    MvLexer& operator=(const MvLexer&) = delete;

    // Scans and returns the next token; MV_TOK_EOF at the end, for ever.
    MvToken nextToken();

    int currentLine() const;

    virtual bool isInternalFunction(const std::string& name);
    // Records the current lexeme as a block of the given kind.
    virtual void addBlock(int kind);
    // Opens a span at the current lexeme; endSpan closes it at the end of
    // the current lexeme and records it (nothing when no span is open).
    virtual void beginSpan(int kind);
    virtual void endSpan();
    // Acts on the include-marker line just collected.
    virtual void markerLine();
    virtual void collectMarkerChar(int c);

protected:
    // Writes a lexical error line, located at the current line, to the console.
    virtual void reportError(const char* message);

private:
    enum class Mode {
        Normal,
        ScriptBlock,
        DoubleQuoted,
        SingleQuoted,
        BlockComment,
        LineComment,
        MarkerLine
    };

    // Returned by the scanning steps when the lexeme gave no token (it was
    // skipped, or its text is kept for a token still being built).
    static constexpr int kNoToken = -1;

    int scanLexeme();
    int scanNormal();
    int scanWord();
    int scanNumber();
    int scanSlash();
    int scanScriptBlock();
    int scanDoubleQuoted();
    int scanSingleQuoted();
    int scanBlockComment();
    int scanLineComment();
    int scanMarkerLine();
    void scanEscape();

    int finishToken(int type, std::size_t length, int kind);
    int identifierKind(std::string_view name);
    int lookUpIdentifierKind(std::string_view name);
    int enterMode(Mode mode, std::size_t openerLength, int spanKind);
    int closeString(int type);
    int lexicalError();
    void skipBlanks();
    void consumeLineEnd();
    void startCollecting();
    void appendText(const unsigned char* from, std::size_t length);
    void appendChar(unsigned char c);
    void startRewriting();
    std::string_view collectedText();
    void writeLocatedLine(const std::string& message);
    void recordBlock(int begin, int end, int kind);
    void flushBlocks();

    int beginColumn() const;
    int endColumn() const;

    const unsigned char* const text_;
    const unsigned char* pos_;            // the lookahead character
    const unsigned char* lexemeStart_;    // first character of the current lexeme
    MvParser* const session_;
    const std::size_t bufferSize_;
    int line_ = 1;
    Mode mode_ = Mode::Normal;
    bool spanOpen_ = false;
    int spanBegin_ = 0;
    int spanKind_ = 0;
    std::string_view tokenText_;   // text of the token just scanned
    // The text of a string or script block, collected piece by piece. While
    // the pieces follow one another in the scanned text it is only a view
    // of it; the first piece that does not (an escape's character, one
    // quote standing for two) turns it into a copy of its own.
    const unsigned char* collectedBegin_ = nullptr;
    std::size_t collectedLength_ = 0;
    bool rewriting_ = false;
    std::string rewrittenText_;
    // The rewritten texts of the tokens made so far; a deque never moves its
    // elements, so the tokens' views of them stay valid.
    std::deque<std::string> rewrittenTexts_;
    std::string markerText_;   // rest of the marker line being collected
    // Colours of the identifiers met so far: scripts repeat their names, and
    // the property and function tables are slow to search. The keys are
    // views of the scanned text, which outlives the scanner.
    std::unordered_map<std::string_view, int> identifierKinds_;
    // Colouring spans not yet handed to the session: they go over in
    // batches, one lock each, rather than one lock per lexeme.
    static constexpr std::size_t kBlockBatch = 128;
    MvSyntaxBlock pendingBlocks_[kBlockBatch];
    std::size_t pendingBlockCount_ = 0;
    bool firstTokenDone_ = false;
};

#endif
