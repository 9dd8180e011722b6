// The script session: text, front end, results and their locks.
#include "MvSession.h"

#include "MorvaneParentParser.h"
#include "MvAST.h"
#include "MvLexer.h"
#include "MvPreprocessor.h"
#include "MvRunHooks.h"
#include "MvSourceMap.h"
#include "MvTokenBuffer.h"
#include "MvTreePrinter.h"
#include "morvane/MvTokens.h"
#include "morvane/MvException.h"
#include "morvane/MvProcess.h"
#include "platform/MvInterruptPoll.h"
#include "plugins/MvPluginRegistry.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

constexpr int kLexemeBufferSize = 32000;

// An optional 8-byte header in front of a script: two little-endian 32-bit
// numbers.
bool hasScriptHeader(const char* text, long length) {
    if (length < 8)
        return false;
    auto word = [text](int at) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(text) + at;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
               std::uint32_t(p[3]) << 24;
    };
    return word(0) == 1234567890u && word(4) == 3307312975u;
}

// The session's own copy of the text: the header dropped, inner NUL bytes
// turned into blanks.
std::string takeText(const char* text, long length) {
    if (!text)
        return std::string();
    std::string copy;
    if (hasScriptHeader(text, length))
        copy.assign(text + 8, static_cast<std::size_t>(length - 8));
    else if (length > 0)
        copy.assign(text, static_cast<std::size_t>(length));
    else
        return std::string(text);
    for (char& c : copy)
        if (c == '\0')
            c = ' ';
    return copy;
}

bool getFlag(MvMutexLock& lock, const bool& flag) {
    MvLockGuard guard(lock);
    return flag;
}

void setFlag(MvMutexLock& lock, bool& flag, bool value) {
    MvLockGuard guard(lock);
    flag = value;
}

} // namespace

MvSession::MvSession(MvParser* owner, const char* text, long length, const MvFile* file)
    : owner_(owner),
      localFunctions_(std::make_unique<MvPluginRegistry>()),
      text_(takeText(text, length)),
      file_(file ? *file : MvFile()),
      sourceMap_(std::make_unique<MvSourceMap>()) {}

// Expands the includes and primes the front end. The scanner reports to the
// session through its public face, so this runs once that face holds the
// session.
void MvSession::open(bool preprocess) {
    if (preprocess) {
        enterScriptFolder();
        std::set<std::string> includeSet;
        try {
            text_ = MvPreprocess(text_, includeSet);
        } catch (...) {
            leaveScriptFolder();
            throw;
        }
        leaveScriptFolder();
    }
    createFrontEnd(true);
}

MvSession::~MvSession() {
    parser_.reset();
    tokenBuffer_.reset();
    lexer_.reset();
    evaluator_.reset();
    delete tree_;
    tree_ = nullptr;
    localFunctions_.reset();
    treeArena_.reset();
    MvLockGuard guard(parseErrorsLock_);
    for (ParseError* error : parseErrors_)
        delete error;
    parseErrors_.clear();
}

// Scanner, lookahead and parser over the session's text. Every reading of
// the text starts with a fresh source map, which the scanner fills from the
// include markers as it passes them. Priming reads the first token, so its
// colouring span is recorded at once.
void MvSession::createFrontEnd(bool prime) {
    parser_.reset();
    tokenBuffer_.reset();
    lexer_.reset();
    sourceMap_ = std::make_unique<MvSourceMap>();
    lexer_ = std::make_unique<MvLexer>(text_.c_str(), owner_, kLexemeBufferSize);
    tokenBuffer_ = std::make_unique<MvTokenBuffer>(*lexer_);
    parser_ = std::make_unique<MorvaneParentParser>(*tokenBuffer_, owner_);
    frontEndUsed_ = false;
    if (prime)
        tokenBuffer_->lookahead(1);
}

// A parse reads the text from its start: after an earlier parse or a
// colouring pass the front end is made afresh.
void MvSession::parse() {
    if (frontEndUsed_)
        createFrontEnd(false);
    frontEndUsed_ = true;
    // The script's own functions point into the tree: both are made afresh,
    // and only this parse's calls are checked.
    localFunctions_ = std::make_unique<MvPluginRegistry>();
    functionCalls_.clear();
    delete tree_;
    tree_ = nullptr;
    treeArena_ = std::make_unique<MvASTArena>();   // the old tree's memory goes
    treeHasErrors_ = true;
    MvASTArena::Scope nodesFromArena(treeArena_.get());
    parser_->programme(&tree_);
    checkFunctionCalls();
    treeHasErrors_ = getParseErrorFlag();
}

void MvSession::CheckSyntax() {
    setDoneFlag(false);
    setParseErrorFlag(false);
    try {
        parse();
    } catch (MvException* error) {
        writeToConsole(error->getMessage());
        delete error;
        setParseErrorFlag(true);
    } catch (...) {
        writeToConsole("Unknown Error, please submit a bug report (with sample code).\n");
        setParseErrorFlag(true);
    }
    if (!getParseErrorFlag())
        writeToConsole("Syntax Check Complete : No Errors found.\n");
    setDoneFlag(true);
    setDirtyFlag(false);
}

void MvSession::Execute() {
    setDoneFlag(false);
    setRunErrorFlag(false);
    setParseErrorFlag(false);
    setInterruptedFlag(false);
    try {
        // A tree from a parse that found errors may be incomplete: parse
        // again, which reports the errors again and skips the run.
        if (!tree_ || treeHasErrors_) {
            try {
                parse();
            } catch (MvException* error) {
                writeToConsole(error->getMessage());
                delete error;
                setParseErrorFlag(true);
            }
        }
        if (!getParseErrorFlag()) {
            evaluator_.reset();
            evaluator_ = MvCreateEvaluator(owner_);
            // Native functions of the run see the host's stop through MvYield.
            MvRunStopScope stopsNativeCode(interrupted_);
            try {
                MvRunProgramme(*evaluator_, tree_);
            } catch (MvException* error) {
                writeToConsole(error->getMessage());
                delete error;
                setRunErrorFlag(true);
            } catch (MvReturnValue& returned) {
                returned.value.release();
            }
        }
    } catch (...) {
        writeToConsole(
            "Parser::execute Unknown Error, please submit a bug report (with sample code).\n");
    }
    setDoneFlag(true);
    setDirtyFlag(true);
}

void MvSession::LexicalPassOnly() {
    if (frontEndUsed_)
        createFrontEnd(false);
    while (tokenBuffer_->lookaheadType(1) != MV_TOK_EOF)
        tokenBuffer_->consume();
    frontEndUsed_ = true;
}

// Every call noted while parsing must name a function of the process-wide
// registry or of the script itself. The first that does not ends the parse.
void MvSession::checkFunctionCalls() {
    while (!functionCalls_.empty()) {
        FunctionCallNote note = std::move(functionCalls_.front());
        functionCalls_.pop_front();
        if (isFunctionDefined(note.nameSpace, note.name))
            continue;
        std::string displayName = note.nameSpace == MvInternalNameSpace
                                      ? note.name
                                      : note.nameSpace + "." + note.name;
        setParseErrorFlag(true);
        addParseError(note.line, displayName, 0, "Function is not defined.");
        throw new MvException(displayName);
    }
}

bool MvSession::getDoneFlag() { return getFlag(doneLock_, done_); }
void MvSession::setDoneFlag(bool value) { setFlag(doneLock_, done_, value); }
bool MvSession::getDirtyFlag() { return getFlag(dirtyLock_, dirty_); }
void MvSession::setDirtyFlag(bool value) { setFlag(dirtyLock_, dirty_, value); }
bool MvSession::getParseErrorFlag() { return getFlag(parseErrorFlagLock_, parseError_); }
void MvSession::setParseErrorFlag(bool value) { setFlag(parseErrorFlagLock_, parseError_, value); }
bool MvSession::getRunErrorFlag() { return getFlag(runErrorLock_, runError_); }
bool MvSession::getInterruptedFlag() {
    MvLockGuard guard(interruptedLock_);
    return interrupted_.load();
}

void MvSession::setInterruptedFlag(bool value) {
    MvLockGuard guard(interruptedLock_);
    interrupted_.store(value);
}
bool MvSession::getPendingInputFlag() { return getFlag(pendingInputLock_, pendingInput_); }
void MvSession::setPendingInputFlag(bool value) { setFlag(pendingInputLock_, pendingInput_, value); }

// Setting the run-error flag ends the run: the done flag is set while the
// run-error lock is still held (the only nested locking of a session).
void MvSession::setRunErrorFlag(bool value) {
    MvLockGuard guard(runErrorLock_);
    runError_ = value;
    if (value)
        setDoneFlag(true);
}

InputType MvSession::getPendingInputType() { return pendingInputType_; }
MvValue* MvSession::getPendingInputDefault() { return pendingInputDefault_; }
const char* MvSession::getPendingInputPrompt() { return pendingInputPrompt_; }

void MvSession::returnPendingInput(MvValue* reply) {
    setPendingInputFlag(false);
    pendingInputReply_ = reply;
}

Mv_stringstream& MvSession::getConsole() {
    consoleLock_.lock();
    return console_;
}
void MvSession::releaseConsole() { consoleLock_.unlock(); }

Mv_stringstream& MvSession::getRuntimeErrors() {
    runtimeErrorsLock_.lock();
    return runtimeErrors_;
}
void MvSession::releaseRuntimeErrors() { runtimeErrorsLock_.unlock(); }

std::list<ParseError*>& MvSession::getParseErrors() {
    parseErrorsLock_.lock();
    parseErrorCursorIndex_ = -1;   // the caller may change the list
    return parseErrors_;
}

int MvSession::getParseErrorCount() {
    parseErrorsLock_.lock();
    return static_cast<int>(parseErrors_.size());
}

// The walk starts at whichever of the start, the end and the last position
// read is nearest, so reading every record in order takes linear time.
ParseError* MvSession::getParseError(int index) {
    const int count = static_cast<int>(parseErrors_.size());
    if (index < 0 || index >= count)
        return nullptr;
    auto from = parseErrors_.begin();
    int at = 0;
    if (count - index < index) {
        from = parseErrors_.end();
        at = count;
    }
    if (parseErrorCursorIndex_ >= 0 && parseErrorCursorIndex_ < count &&
        std::abs(index - parseErrorCursorIndex_) < std::abs(index - at)) {
        from = parseErrorCursor_;
        at = parseErrorCursorIndex_;
    }
    std::advance(from, index - at);
    parseErrorCursor_ = from;
    parseErrorCursorIndex_ = index;
    return *from;
}

void MvSession::releaseParseErrors() { parseErrorsLock_.unlock(); }

void MvSession::addToWindowList(MvWindow* window) {
    MvLockGuard guard(windowListLock_);
    windows_.push_back(window);
}

void MvSession::removeFromWindowList(MvWindow* window) {
    MvLockGuard guard(windowListLock_);
    windows_.remove(window);
}

bool MvSession::inWindowList(MvWindow* window) {
    MvLockGuard guard(windowListLock_);
    for (MvWindow* listed : windows_)
        if (listed == window)
            return true;
    return false;
}

std::list<MvWindow*>& MvSession::getWindowList() {
    windowListLock_.lock();
    return windows_;
}

MvWindow* MvSession::getWindow(long index) {
    if (index < 0 || index >= static_cast<long>(windows_.size()))
        return nullptr;
    auto it = windows_.begin();
    std::advance(it, index);
    return *it;
}

void MvSession::releaseWindowList() { windowListLock_.unlock(); }

std::deque<MvSyntaxBlock>& MvSession::getSyntaxBlockList() {
    syntaxBlocksLock_.lock();
    return syntaxBlocks_;
}

void MvSession::releaseSyntaxBlockList() { syntaxBlocksLock_.unlock(); }

std::ostream& MvSession::outputError(std::ostream& out, long line, long fileIndex) {
    return sourceMap_->outputError(out, line, fileIndex);
}

MvTreeEval* MvSession::getMvTreeEval() { return evaluator_.get(); }

void MvSession::writeToConsole(const std::string& text) {
    MvLockGuard guard(consoleLock_);
    console_ << text;
}

void MvSession::mapLine(int scannerLine, int& line, int& fileIndex) {
    sourceMap_->mapLine(scannerLine, line, fileIndex);
}

void MvSession::addSyntaxBlock(const MvSyntaxBlock& block) { addSyntaxBlocks(&block, 1); }

void MvSession::addSyntaxBlocks(const MvSyntaxBlock* blocks, std::size_t count) {
    MvLockGuard guard(syntaxBlocksLock_);
    syntaxBlocks_.insert(syntaxBlocks_.end(), blocks, blocks + count);
}

void MvSession::noteFunctionCall(int line, const std::string& nameSpace, const std::string& name) {
    functionCalls_.push_back({line, nameSpace, name});
}

void MvSession::addParseError(int scannerLine, const std::string& text, int tokenType,
                             const std::string& message) {
    auto error = std::make_unique<ParseError>();
    error->owner = owner_;
    error->text = text;
    error->tokenType = tokenType;
    error->message = message;
    MvLockGuard guard(parseErrorsLock_);
    mapLine(scannerLine, error->line, error->fileIndex);
    parseErrors_.push_back(error.release());
}

bool MvSession::isFunctionDefined(const std::string& nameSpace, const std::string& name) {
    return MvPluginRegistry::THE_PluginRegistry()->hasFunction(nameSpace, name) ||
           localFunctions_->hasFunction(nameSpace, name);
}

MvPluginRegistry& MvSession::getLocalFunctions() { return *localFunctions_; }

MvSourceMap& MvSession::sourceMap() { return *sourceMap_; }

const char* MvSession::getText() const { return text_.c_str(); }

MvAST* MvSession::getTree() { return tree_; }

void MvSession::enterScriptFolder() {
    directoryStack_.push_back(MvFile());
    file_.makeCurrent();
}

void MvSession::leaveScriptFolder() {
    if (directoryStack_.empty())
        return;
    directoryStack_.back().makeCurrent();
    directoryStack_.pop_back();
}

std::vector<MvTokenInfo> MvSession::scanTokens() {
    sourceMap_ = std::make_unique<MvSourceMap>();
    MvLexer scanner(text_.c_str(), owner_, kLexemeBufferSize);
    std::vector<MvTokenInfo> tokens;
    for (;;) {
        MvToken token = scanner.nextToken();
        tokens.push_back({token.type, token.line, std::string(token.text)});
        if (token.type == MV_TOK_EOF)
            return tokens;
    }
}

std::string MvSession::getTreeText() { return MvTreeToText(tree_); }
