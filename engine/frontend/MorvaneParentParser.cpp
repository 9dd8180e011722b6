// The parser's hooks, token helpers and the top rule.
#include "MorvaneParentParser.h"

#include "MvSession.h"
#include "MvTokenClasses.h"
#include "morvane/MvException.h"
#include "morvane/MvTokens.h"
#include "plugins/MvPluginRegistry.h"

#include <algorithm>

namespace {

const char* const kGlobalContext = "MvGlobalContext";
const char* const kSyntaxErrorPrefix = "Syntax Error: ";

} // namespace

MorvaneParentParser::MorvaneParentParser(MvTokenBuffer& tokens, MvParser* session)
    : tokens_(tokens), session_(session), contexts_{kGlobalContext} {}

MorvaneParentParser::~MorvaneParentParser() = default;

// ---------------------------------------------------------------- helpers

MorvaneParentParser::Children::Children(MvAST* parent) : parent_(parent), last_(nullptr) {
    for (MvAST* c = parent->child(); c; c = c->sibling())
        last_ = c;
}

void MorvaneParentParser::Children::add(Node child) {
    if (!child)
        return;
    MvAST* tail = child.get();
    while (tail->sibling())
        tail = tail->sibling();
    if (last_)
        last_->nextSibling = std::move(child);
    else
        parent_->firstChild = std::move(child);
    last_ = tail;
}

MorvaneParentParser::Nesting::Nesting(int& depth, int limit) : depth_(depth) {
    if (depth_ >= limit)
        throw NoViable{};
    ++depth_;
}

MvToken MorvaneParentParser::take() {
    ++consumed_;
    MvToken token = tokens_.consume();
    next_ = &tokens_.lookahead(1);
    return token;
}

MorvaneParentParser::Node MorvaneParentParser::leaf() {
    MvToken token = take();
    return MvAST::make(arena_, token.type, token.text, token.line);
}

MorvaneParentParser::Node MorvaneParentParser::match(int type) {
    if (laType() != type)
        throw Mismatched{};
    return leaf();
}

void MorvaneParentParser::matchDrop(int type) {
    if (laType() != type)
        throw Mismatched{};
    take();
}

MorvaneParentParser::Node MorvaneParentParser::imaginary(int type, const char* text, int line) {
    return MvAST::makeWithLiteral(arena_, type, text, line);
}

void MorvaneParentParser::skipTo(int type) {
    while (laType() != type && laType() != MV_TOK_EOF)
        take();
}

void MorvaneParentParser::skipPast(int type) {
    skipTo(type);
    if (laType() == type)
        take();
}

// ---------------------------------------------------------------- top rule

// programme: element+ . Elements follow one another while the next token can
// begin one; at any other token the rule returns and the rest of the text is
// left unparsed. A failure that no rule below handled ends the parse.
void MorvaneParentParser::programme(MvAST** root) {
    *root = nullptr;
    // The nodes come from the arena of the scope open now; asking for it
    // once here spares a thread-local lookup per node.
    arena_ = MvASTArena::current();
    next_ = &tokens_.lookahead(1);
    contexts_.assign(1, kGlobalContext);
    initialised_.clear();
    initialisedHere_.clear();
    circular_ = CircularCheck();
    statementDepth_ = 0;
    expressionDepth_ = 0;

    MvAST* last = nullptr;
    try {
        if (!mvCanBeginElement(laType()))
            throw NoViable{};
        do {
            std::size_t before = position();
            addSibling(root, last, element());
            // Every element consumes at least one token; should one ever
            // not, the token is dropped so that the parse always ends.
            if (position() == before && laType() != MV_TOK_EOF)
                take();
        } while (mvCanBeginElement(laType()));
    } catch (const Mismatched&) {
        reportSyntaxError("Invalid command.");
        skipTo(MV_TOK_END);
    } catch (const NoViable&) {
        reportSyntaxError("Invalid command.");
        skipTo(MV_TOK_END);
    }
}

// Appends a top-level tree after the last one, keeping track of the end of
// the sibling chain.
void MorvaneParentParser::addSibling(MvAST** root, MvAST*& last, Node node) {
    if (!node)
        return;
    MvAST* tail = node.get();
    while (tail->sibling())
        tail = tail->sibling();
    if (last)
        last->nextSibling = std::move(node);
    else
        *root = node.release();
    last = tail;
}

// ---------------------------------------------------------------- hooks

void MorvaneParentParser::reportSyntaxErrorAt(const std::string& text,
                                              const std::string& message) {
    const MvToken& next = tokens_.lookahead(1);
    session_->setParseErrorFlag(true);
    MvSession::of(session_)->addParseError(next.line, text, next.type, kSyntaxErrorPrefix + message);
}

// The record's text is the next two tokens, each after a blank, as far as
// they are not the end of input.
void MorvaneParentParser::reportSyntaxError(const std::string& message) {
    std::string text;
    const MvToken& first = tokens_.lookahead(1);
    if (first.type != MV_TOK_EOF) {
        text += ' ';
        text += first.text;
        const MvToken& second = tokens_.lookahead(2);
        if (second.type != MV_TOK_EOF) {
            text += ' ';
            text += second.text;
        }
    }
    const MvToken& next = tokens_.lookahead(1);
    session_->setParseErrorFlag(true);
    MvSession::of(session_)->addParseError(next.line, text, next.type, kSyntaxErrorPrefix + message);
}

// Errors found in an embedded script block have no position: the record
// gets line -1 in the main script and the part of the block's text that the
// script compiler pointed at.
void MorvaneParentParser::reportAppleScriptError(const std::string& message, int start,
                                                 int length) {
    const MvToken& next = tokens_.lookahead(1);
    std::string text;
    if (start >= 0 && length > 0 && static_cast<std::size_t>(start) < next.text.size())
        text = std::string(
            next.text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length)));
    auto error = std::make_unique<ParseError>();
    error->owner = session_;
    error->line = -1;
    error->fileIndex = 1;
    error->text = std::move(text);
    error->tokenType = next.type;
    error->message = "AppleScript Error: " + message;
    session_->setParseErrorFlag(true);
    std::list<ParseError*>& errors = session_->getParseErrors();
    errors.push_back(error.release());
    session_->releaseParseErrors();
}

// A detail line goes under the newest record's message.
void MorvaneParentParser::addErrorDetail(const std::string& message) {
    std::list<ParseError*>& errors = session_->getParseErrors();
    if (!errors.empty()) {
        errors.back()->message += "\n        ";
        errors.back()->message += message;
        session_->releaseParseErrors();
        return;
    }
    session_->releaseParseErrors();
    reportSyntaxError(message);
}

MvPluginRegistry& MorvaneParentParser::getLocalFunctions() { return MvSession::of(session_)->getLocalFunctions(); }

bool MorvaneParentParser::isFunctionDefined(const std::string& nameSpace,
                                            const std::string& name) {
    return MvSession::of(session_)->isFunctionDefined(nameSpace, name);
}

void MorvaneParentParser::noteFunctionCall(int line, const std::string& nameSpace,
                                           const std::string& name) {
    MvSession::of(session_)->noteFunctionCall(line, nameSpace, name);
}

// Initialised names are kept as the context name immediately followed by the
// identifier; the key buffer is reused so that a lookup allocates nothing.
// A name is looked up by its full key only the first time in a context.
bool MorvaneParentParser::isInitialised(const std::string& name) {
    if (initialisedHere_.contains(&name))
        return true;
    key_.assign(contexts_.back());
    key_ += name;
    if (initialised_.count(key_) == 0)
        return false;
    rememberInitialisedHere(name);
    return true;
}

void MorvaneParentParser::declareGlobal(const std::string& name) {
    key_.assign(kGlobalContext);
    key_ += name;
    initialised_.insert(key_);
    if (contexts_.size() == 1)
        rememberInitialisedHere(name);
}

void MorvaneParentParser::declareLocal(const std::string& name) {
    if (initialisedHere_.contains(&name))
        return;
    key_.assign(contexts_.back());
    key_ += name;
    initialised_.insert(key_);
    rememberInitialisedHere(name);
}

// A text made for its node alone may be freed and its address reused for
// another name; only texts the arena keeps are remembered by address.
void MorvaneParentParser::rememberInitialisedHere(const std::string& name) {
    if (arena_)
        initialisedHere_.insert(&name);
}

void MorvaneParentParser::enterContext(const std::string& name) {
    contexts_.push_back(name);
    initialisedHere_.clear();
}

// The outermost context is never left: it is the one every parse starts in.
void MorvaneParentParser::leaveContext(const std::string& name) {
    if (contexts_.size() < 2 || contexts_.back() != name)
        throw new MvException("Whoa, can't leave a context that you're not in...");
    contexts_.pop_back();
    initialisedHere_.clear();
}
