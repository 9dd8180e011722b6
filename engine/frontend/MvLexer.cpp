// The scanner: one function per mode, each consuming characters straight
// from the session's text.
//
// Every lexeme of normal text becomes one syntax block; strings, comments,
// script blocks and marker lines become one span each, opened at their
// first lexeme and closed at their last. Columns are absolute offsets into
// the text (first character = 1), so they follow from the read position.
#include "MvLexer.h"

#include "MvKeywords.h"
#include "MvSession.h"
#include "MvSourceMap.h"
#include "values/MvInternalError.h"
#include "morvane/MvProperties.h"
#include "morvane/MvTokens.h"
#include "plugins/MvPluginRegistry.h"

#include <algorithm>
#include <cstdint>

namespace {

// Character classes of normal text.
enum : std::uint8_t { kLetter = 1, kDigit = 2, kUnderscore = 4, kLower = 8 };

struct CharClasses {
    std::uint8_t of[256] = {};

    constexpr CharClasses() {
        for (int c = 'a'; c <= 'z'; ++c)
            of[c] = kLetter | kLower;
        for (int c = 'A'; c <= 'Z'; ++c)
            of[c] = kLetter;
        for (int c = '0'; c <= '9'; ++c)
            of[c] = kDigit;
        of[static_cast<unsigned char>('_')] = kUnderscore;
    }
};

constexpr CharClasses kClasses;

bool isDigit(unsigned char c) { return kClasses.of[c] & kDigit; }
bool isLower(unsigned char c) { return kClasses.of[c] & kLower; }
bool isWordChar(unsigned char c) { return kClasses.of[c] & (kLetter | kDigit | kUnderscore); }
bool isLetter(unsigned char c) { return kClasses.of[c] & kLetter; }
bool isLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }

const unsigned char* skipDigits(const unsigned char* p) {
    while (isDigit(*p))
        ++p;
    return p;
}

// The integer tokens tell one, two and four digits apart so that the
// grammar can read dates written DD:MMM:YYYY.
int integerToken(std::size_t digits) {
    switch (digits) {
    case 1: return MV_TOK_INT1;
    case 2: return MV_TOK_INT2;
    case 4: return MV_TOK_INT4;
    default: return MV_TOK_INT_TOK;
    }
}

// The character a backslash escape of a double-quoted string stands for,
// apart from the three-digit decimal form.
unsigned char escapedChar(unsigned char c) {
    switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'r': return 13;
    case 'v': return 11;
    case 't': return 9;
    case 'n': return 10;
    default: return c;   // backslash, quote and every other character stand for themselves
    }
}

constexpr std::size_t kMaxRememberedIdentifiers = 4096;

const char* const kScriptBlockEnd = "morvane";
constexpr std::size_t kScriptBlockEndLength = 7;

// Drops the console lock however the writing ends.
class ConsoleHold {
public:
    explicit ConsoleHold(MvParser* session)
        : session_(session), console_(session->getConsole()) {}
    ~ConsoleHold() { session_->releaseConsole(); }
    ConsoleHold(const ConsoleHold&) = delete;
    ConsoleHold& operator=(const ConsoleHold&) = delete;
    Mv_stringstream& console() { return console_; }

private:
    MvParser* session_;
    Mv_stringstream& console_;
};

} // namespace

MvLexer::MvLexer(const char* text, MvParser* session, int bufferSize)
    : text_(reinterpret_cast<const unsigned char*>(text ? text : "")),
      pos_(text_),
      lexemeStart_(text_),
      session_(session),
      bufferSize_(bufferSize > 0 ? static_cast<std::size_t>(bufferSize) : 1) {}

MvLexer::~MvLexer() { flushBlocks(); }

// A full batch goes to the session at once. The fields are written in
// place: a block built first and then copied makes the copy wait for the
// stores just made, on every lexeme.
void MvLexer::recordBlock(int begin, int end, int kind) {
    if (pendingBlockCount_ == kBlockBatch)
        flushBlocks();
    MvSyntaxBlock& block = pendingBlocks_[pendingBlockCount_++];
    block.begin = begin;
    block.end = end;
    block.kind = kind;
}

void MvLexer::flushBlocks() {
    if (pendingBlockCount_ == 0)
        return;
    MvSession::of(session_)->addSyntaxBlocks(pendingBlocks_, pendingBlockCount_);
    pendingBlockCount_ = 0;
}

int MvLexer::currentLine() const { return line_; }

// The step that completes a token sets its text; the end token has none (an
// unfinished string or script block is dropped).
MvToken MvLexer::nextToken() {
    tokenText_ = std::string_view();
    int type = kNoToken;
    while (type == kNoToken)
        type = scanLexeme();
    // The first token's span is visible as soon as the session is made; the
    // others in batches (see recordBlock), and all of them once the end is
    // reached.
    if (!firstTokenDone_ || type == MV_TOK_EOF) {
        firstTokenDone_ = true;
        flushBlocks();
    }
    return MvToken{type, line_, tokenText_};
}

int MvLexer::scanLexeme() {
    switch (mode_) {
    case Mode::Normal: return scanNormal();
    case Mode::ScriptBlock: return scanScriptBlock();
    case Mode::DoubleQuoted: return scanDoubleQuoted();
    case Mode::SingleQuoted: return scanSingleQuoted();
    case Mode::BlockComment: return scanBlockComment();
    case Mode::LineComment: return scanLineComment();
    case Mode::MarkerLine: return scanMarkerLine();
    }
    return MV_TOK_EOF;
}

int MvLexer::beginColumn() const { return static_cast<int>(lexemeStart_ - text_) + 1; }
int MvLexer::endColumn() const { return static_cast<int>(pos_ - text_); }

// ---------------------------------------------------------------------------
// Normal text

int MvLexer::scanNormal() {
    lexemeStart_ = pos_;
    const unsigned char c = *pos_;
    switch (c) {
    case '\0':
        endSpan();
        return MV_TOK_EOF;
    case ' ':
    case '\t':
        skipBlanks();
        return kNoToken;
    case '\r':
    case '\n':
        consumeLineEnd();
        addBlock(MvKindBlank);
        ++line_;
        return kNoToken;
    case '"': return enterMode(Mode::DoubleQuoted, 1, MvKindString);
    case '\'': return enterMode(Mode::SingleQuoted, 1, MvKindString);
    case '/': return scanSlash();
    case '-':
        if (pos_[1] == '>')
            return finishToken(MV_TOK_PARAM_ASSIGN, 2, MvKindOperator);
        return finishToken(MV_TOK_MINUS, 1, MvKindOperator);
    case '>':
        if (pos_[1] == '=')
            return finishToken(MV_TOK_GE, 2, MvKindOperator);
        return finishToken(MV_TOK_GT, 1, MvKindOperator);
    case '<':
        if (pos_[1] == '=')
            return finishToken(MV_TOK_LE, 2, MvKindOperator);
        return finishToken(MV_TOK_LT, 1, MvKindOperator);
    case '!':
        if (pos_[1] == '=')
            return finishToken(MV_TOK_NE, 2, MvKindOperator);
        return finishToken(MV_TOK_NOT, 1, MvKindOperator);
    case '=': return finishToken(MV_TOK_EQUAL, 1, MvKindOperator);
    case '+': return finishToken(MV_TOK_PLUS, 1, MvKindOperator);
    case '*': return finishToken(MV_TOK_MULT, 1, MvKindOperator);
    case '&': return finishToken(MV_TOK_REF_PARAMETER, 1, MvKindKeyword);
    case '%': return finishToken(MV_TOK_PERCENT, 1, MvKindFunction);
    case '{': return finishToken(MV_TOK_LLIST, 1, MvKindPunctuation);
    case '}': return finishToken(MV_TOK_RLIST, 1, MvKindPunctuation);
    case '[': return finishToken(MV_TOK_LINDEX, 1, MvKindPunctuation);
    case ']': return finishToken(MV_TOK_RINDEX, 1, MvKindPunctuation);
    case '(': return finishToken(MV_TOK_LPAREN, 1, MvKindPunctuation);
    case ')': return finishToken(MV_TOK_RPAREN, 1, MvKindPunctuation);
    case ',': return finishToken(MV_TOK_COMMA, 1, MvKindPunctuation);
    case ';': return finishToken(MV_TOK_SEMI, 1, MvKindPunctuation);
    case ':': return finishToken(MV_TOK_COLON, 1, MvKindPunctuation);
    case '|': return finishToken(MV_TOK_BAR, 1, MvKindPunctuation);
    case '.': return finishToken(MV_TOK_DOT, 1, MvKindPunctuation);
    default:
        if (isLetter(c))
            return scanWord();
        if (isDigit(c))
            return scanNumber();
        // Nothing starts with this character ($ ? @ \ ^ ` ~ # _, control
        // characters, bytes of 128 and above): it is the character that
        // stopped an empty lexeme, and the error drops it.
        return lexicalError();
    }
}

// The lexeme of `length` characters from lexemeStart_ is a token of the
// given colour.
int MvLexer::finishToken(int type, std::size_t length, int kind) {
    pos_ = lexemeStart_ + length;
    tokenText_ = std::string_view(reinterpret_cast<const char*>(lexemeStart_),
                                  std::min(length, bufferSize_));
    addBlock(kind);
    return type;
}

void MvLexer::skipBlanks() {
    while (*pos_ == ' ' || *pos_ == '\t')
        ++pos_;
    addBlock(MvKindBlank);
}

// CR LF is one line end, and so is a lone CR or LF.
void MvLexer::consumeLineEnd() {
    if (pos_[0] == '\r' && pos_[1] == '\n')
        pos_ += 2;
    else
        ++pos_;
}

// Consumes the opening lexeme of a string, comment, script block or marker
// line and opens its span; the following text is scanned in `mode`.
int MvLexer::enterMode(Mode mode, std::size_t openerLength, int spanKind) {
    pos_ = lexemeStart_ + openerLength;
    beginSpan(spanKind);
    mode_ = mode;
    startCollecting();
    markerText_.clear();
    return kNoToken;
}

// "/" alone divides; "/*", "//" and "/##" open a comment or a marker line.
// "/#" followed by anything but "#" is an unfinished lexeme.
int MvLexer::scanSlash() {
    switch (pos_[1]) {
    case '*': return enterMode(Mode::BlockComment, 2, MvKindComment);
    case '/': return enterMode(Mode::LineComment, 2, MvKindComment);
    case '#':
        if (pos_[2] == '#')
            return enterMode(Mode::MarkerLine, 3, MvKindComment);
        pos_ += 2;
        return lexicalError();
    default: return finishToken(MV_TOK_DIV, 1, MvKindOperator);
    }
}

// A letter, then letters, digits and underscores: a keyword when the whole
// word spells one, otherwise an identifier.
int MvLexer::scanWord() {
    const unsigned char* end = pos_ + 1;
    while (isWordChar(*end))
        ++end;
    const std::size_t length = static_cast<std::size_t>(end - lexemeStart_);
    const MvKeyword* keyword =
        MvFindKeyword(reinterpret_cast<const char*>(lexemeStart_), length);
    if (keyword && keyword->token == MV_TOK_APPLESCRIPT_START)
        return enterMode(Mode::ScriptBlock, length, MvKindScriptBlock);
    if (keyword)
        return finishToken(keyword->token, length, keyword->kind);
    pos_ = end;
    tokenText_ = std::string_view(reinterpret_cast<const char*>(lexemeStart_),
                                  std::min(length, bufferSize_));
    addBlock(identifierKind(tokenText_));
    return MV_TOK_IDENT;
}

// The memo is bounded so that a text of countless distinct names cannot
// grow it without end; names beyond the bound are looked up every time.
int MvLexer::identifierKind(std::string_view name) {
    auto known = identifierKinds_.find(name);
    if (known != identifierKinds_.end())
        return known->second;
    const int kind = lookUpIdentifierKind(name);
    if (identifierKinds_.size() < kMaxRememberedIdentifiers)
        identifierKinds_.emplace(name, kind);
    return kind;
}

// Identifiers that name a property are coloured as keywords, those that
// name a function of the internal namespace as functions.
int MvLexer::lookUpIdentifierKind(std::string_view name) {
    const std::string terminated(name);
    if (MvPropertyIdFromName(terminated.c_str()) != 0)
        return MvKindKeyword;
    if (isInternalFunction(terminated))
        return MvKindFunction;
    return MvKindIdentifier;
}

// digits ["." digits] [("e"|"E") ["+"] ["-"] digits ["." digits]]. A "." or
// exponent that no digit follows leaves the number unfinished: an error.
int MvLexer::scanNumber() {
    const unsigned char* p = skipDigits(pos_);
    int type = integerToken(static_cast<std::size_t>(p - pos_));
    if (*p == '.') {
        if (!isDigit(p[1])) {
            pos_ = p + 1;
            return lexicalError();
        }
        p = skipDigits(p + 1);
        type = MV_TOK_FLOAT;
    }
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+')
            ++p;
        if (*p == '-')
            ++p;
        if (!isDigit(*p)) {
            pos_ = p;
            return lexicalError();
        }
        p = skipDigits(p);
        if (*p == '.') {
            if (!isDigit(p[1])) {
                pos_ = p + 1;
                return lexicalError();
            }
            p = skipDigits(p + 1);
        }
        type = MV_TOK_EXP_NUM;
    }
    return finishToken(type, static_cast<std::size_t>(p - lexemeStart_), MvKindLiteral);
}

// ---------------------------------------------------------------------------
// Embedded script block: its text runs up to the first run of lower-case
// letters that is exactly the terminating word.

int MvLexer::scanScriptBlock() {
    for (;;) {
        lexemeStart_ = pos_;
        const unsigned char c = *pos_;
        if (c == '\0')
            return MV_TOK_EOF;   // the block's span stays open: nothing is recorded
        if (isLower(c)) {
            while (isLower(*pos_))
                ++pos_;
            const std::size_t length = static_cast<std::size_t>(pos_ - lexemeStart_);
            if (length == kScriptBlockEndLength &&
                std::equal(lexemeStart_, pos_, kScriptBlockEnd)) {
                endSpan();
                mode_ = Mode::Normal;
                tokenText_ = collectedText();
                return MV_TOK_SCRIPT;
            }
            appendText(lexemeStart_, length);
        } else if (isLineEnd(c)) {
            consumeLineEnd();
            appendText(lexemeStart_, static_cast<std::size_t>(pos_ - lexemeStart_));
            ++line_;
        } else {
            ++pos_;
            appendText(lexemeStart_, 1);
        }
    }
}

// ---------------------------------------------------------------------------
// Strings. The quotes are dropped from the text; a line end before the
// closing quote ends the string as a bad string; end of input ends the scan
// with the string's span left open.

int MvLexer::closeString(int type) {
    endSpan();
    mode_ = Mode::Normal;
    tokenText_ = collectedText();
    return type;
}

int MvLexer::scanDoubleQuoted() {
    for (;;) {
        lexemeStart_ = pos_;
        switch (*pos_) {
        case '\0': return MV_TOK_EOF;
        case '"':
            ++pos_;
            return closeString(MV_TOK_STRINGLIT);
        case '\r':
        case '\n':
            consumeLineEnd();
            ++line_;
            return closeString(MV_TOK_BADSTRING);
        case '\\':
            scanEscape();
            break;
        default:
            while (*pos_ != '\0' && *pos_ != '"' && *pos_ != '\\' && !isLineEnd(*pos_))
                ++pos_;
            appendText(lexemeStart_, static_cast<std::size_t>(pos_ - lexemeStart_));
        }
    }
}

// A backslash and what follows it. Three decimal digits starting with 0, 1
// or 2 give the character with the low eight bits of their value (none when
// those bits are 0); such a digit and exactly one more is an unfinished
// escape. A backslash before a line end continues the string on the next
// line, keeping the line end in the text and counting the line.
void MvLexer::scanEscape() {
    const unsigned char next = pos_[1];
    if (next >= '0' && next <= '2' && isDigit(pos_[2])) {
        if (!isDigit(pos_[3])) {
            pos_ += 3;
            lexicalError();
            return;
        }
        const int code = (next - '0') * 100 + (pos_[2] - '0') * 10 + (pos_[3] - '0');
        pos_ += 4;
        if ((code & 0xFF) != 0)
            appendChar(static_cast<unsigned char>(code & 0xFF));
        return;
    }
    if (next == '\0') {
        ++pos_;
        lexicalError();
        return;
    }
    if (isLineEnd(next)) {
        ++pos_;
        const unsigned char* lineEnd = pos_;
        consumeLineEnd();
        appendText(lineEnd, static_cast<std::size_t>(pos_ - lineEnd));
        ++line_;
        return;
    }
    pos_ += 2;
    appendChar(escapedChar(next));
}

// No escapes; two single quotes stand for one.
int MvLexer::scanSingleQuoted() {
    for (;;) {
        lexemeStart_ = pos_;
        switch (*pos_) {
        case '\0': return MV_TOK_EOF;
        case '\'':
            if (pos_[1] != '\'') {
                ++pos_;
                return closeString(MV_TOK_STRINGLIT);
            }
            pos_ += 2;
            appendChar('\'');
            break;
        case '\r':
        case '\n':
            consumeLineEnd();
            ++line_;
            return closeString(MV_TOK_BADSTRING);
        default:
            while (*pos_ != '\0' && *pos_ != '\'' && !isLineEnd(*pos_))
                ++pos_;
            appendText(lexemeStart_, static_cast<std::size_t>(pos_ - lexemeStart_));
        }
    }
}

// ---------------------------------------------------------------------------
// The collected text of a string or script block. It keeps at most
// bufferSize_ characters; what comes after that is dropped.

void MvLexer::startCollecting() {
    collectedBegin_ = nullptr;
    collectedLength_ = 0;
    rewriting_ = false;
    rewrittenText_.clear();
}

// A piece of the scanned text: it only lengthens the view when it follows
// the text collected so far.
void MvLexer::appendText(const unsigned char* from, std::size_t length) {
    if (!rewriting_) {
        if (collectedLength_ == 0)
            collectedBegin_ = from;
        if (from == collectedBegin_ + collectedLength_) {
            collectedLength_ = std::min(collectedLength_ + length, bufferSize_);
            return;
        }
        if (collectedLength_ == bufferSize_)
            return;   // full: the view already is the cut text
        startRewriting();
    }
    const std::size_t room = bufferSize_ - rewrittenText_.size();
    rewrittenText_.append(reinterpret_cast<const char*>(from), std::min(length, room));
}

// A character that is not where the scanned text has it.
void MvLexer::appendChar(unsigned char c) {
    if (!rewriting_) {
        if (collectedLength_ == bufferSize_)
            return;
        startRewriting();
    }
    if (rewrittenText_.size() < bufferSize_)
        rewrittenText_.push_back(static_cast<char>(c));
}

// From here on the text is a copy: what the view held, then the new pieces.
void MvLexer::startRewriting() {
    rewriting_ = true;
    rewrittenText_.assign(reinterpret_cast<const char*>(collectedBegin_), collectedLength_);
}

std::string_view MvLexer::collectedText() {
    if (!rewriting_)
        return std::string_view(reinterpret_cast<const char*>(collectedBegin_), collectedLength_);
    rewrittenTexts_.push_back(std::move(rewrittenText_));
    rewrittenText_.clear();
    return rewrittenTexts_.back();
}

// ---------------------------------------------------------------------------
// Comments and marker lines: skipped text, one span each. End of input
// closes a comment's span before the end token.

int MvLexer::scanBlockComment() {
    for (;;) {
        const unsigned char c = *pos_;
        if (c == '\0') {
            endSpan();
            mode_ = Mode::Normal;
            return MV_TOK_EOF;
        }
        if (c == '*' && pos_[1] == '/') {
            pos_ += 2;
            endSpan();
            mode_ = Mode::Normal;
            return kNoToken;
        }
        if (isLineEnd(c)) {
            consumeLineEnd();
            ++line_;
        } else {
            ++pos_;
        }
    }
}

// The line end belongs to the comment's span.
int MvLexer::scanLineComment() {
    while (*pos_ != '\0' && !isLineEnd(*pos_))
        ++pos_;
    const bool atEnd = *pos_ == '\0';
    if (!atEnd)
        consumeLineEnd();
    endSpan();
    mode_ = Mode::Normal;
    if (atEnd)
        return MV_TOK_EOF;
    ++line_;
    return kNoToken;
}

// The rest of the line after "/##" is collected and acted on at the line
// end, which markerLine counts itself. End of input ends the line as well.
int MvLexer::scanMarkerLine() {
    while (*pos_ != '\0' && !isLineEnd(*pos_)) {
        collectMarkerChar(*pos_);
        ++pos_;
    }
    const bool atEnd = *pos_ == '\0';
    if (!atEnd)
        consumeLineEnd();
    markerLine();
    endSpan();
    mode_ = Mode::Normal;
    return atEnd ? MV_TOK_EOF : kNoToken;
}

void MvLexer::collectMarkerChar(int c) {
    if (c >= 32)
        markerText_.push_back(static_cast<char>(c));
}

// "+name": an included file starts after this line; "-": it ends; "!text":
// an error to show at this line. Each counts the marker's line. Any other
// marker is dropped without counting its line.
void MvLexer::markerLine() {
    const std::string marker = std::move(markerText_);
    markerText_.clear();
    if (marker.empty())
        return;
    switch (marker[0]) {
    case '+': MvSession::of(session_)->sourceMap().enterIncludedFile(marker.substr(1), line_); break;
    case '-': MvSession::of(session_)->sourceMap().leaveIncludedFile(line_); break;
    case '!': writeLocatedLine(marker.substr(1)); break;
    default: return;
    }
    ++line_;
}

// ---------------------------------------------------------------------------
// Session hooks

bool MvLexer::isInternalFunction(const std::string& name) {
    static const std::string internalNameSpace(MvInternalNameSpace);
    return MvPluginRegistry::THE_PluginRegistry()->hasFunction(internalNameSpace, name);
}

void MvLexer::addBlock(int kind) {
    if (spanOpen_)
        throw new MvInternalError("A colouring block would overlap the open span.");
    recordBlock(beginColumn(), endColumn(), kind);
}

void MvLexer::beginSpan(int kind) {
    spanOpen_ = true;
    spanBegin_ = beginColumn();
    spanKind_ = kind;
}

void MvLexer::endSpan() {
    if (!spanOpen_)
        return;
    spanOpen_ = false;
    recordBlock(spanBegin_, endColumn(), spanKind_);
}

// The lexeme and the character that stopped it are dropped. A dropped line
// end still counts as a line, so later lines keep their numbers (a CR whose
// LF follows leaves the counting to the LF).
int MvLexer::lexicalError() {
    reportError("invalid token");
    if (*pos_ == '\n' || (*pos_ == '\r' && pos_[1] != '\n'))
        ++line_;
    if (*pos_ != '\0')
        ++pos_;
    return kNoToken;
}

void MvLexer::reportError(const char* message) {
    writeLocatedLine(std::string("Lexical Error: ") + message);
}

// message, ",", the location of the current line, a line end: one console
// line, written under the console lock.
void MvLexer::writeLocatedLine(const std::string& message) {
    ConsoleHold hold(session_);
    int line = 0;
    int fileIndex = 0;
    MvSession::of(session_)->mapLine(line_, line, fileIndex);
    hold.console() << message << ",";
    session_->outputError(hold.console(), line, fileIndex);
    hold.console() << "\n";
}
