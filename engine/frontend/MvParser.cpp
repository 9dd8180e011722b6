// The script session: text, front end, results and their locks.
#include "morvane/MvParser.h"

#include "MorvaneParentParser.h"
#include "MvAST.h"
#include "MvLexer.h"
#include "MvPreprocessor.h"
#include "MvSourceMap.h"
#include "MvTokenBuffer.h"
#include "MvTreePrinter.h"
#include "morvane/MvTokens.h"
#include "eval/MvCalls.h"
#include "eval/MvTreeEval.h"
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

MvParser::MvParser(const char* text, long length, const MvFile* file, bool preprocess)
    : localFunctions_(std::make_unique<MvPluginRegistry>()),
      text_(takeText(text, length)),
      file_(file ? *file : MvFile()),
      sourceMap_(std::make_unique<MvSourceMap>()) {
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

MvParser::~MvParser() {
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
void MvParser::createFrontEnd(bool prime) {
    parser_.reset();
    tokenBuffer_.reset();
    lexer_.reset();
    sourceMap_ = std::make_unique<MvSourceMap>();
    lexer_ = std::make_unique<MvLexer>(text_.c_str(), this, kLexemeBufferSize);
    tokenBuffer_ = std::make_unique<MvTokenBuffer>(*lexer_);
    parser_ = std::make_unique<MorvaneParentParser>(*tokenBuffer_, this);
    frontEndUsed_ = false;
    if (prime)
        tokenBuffer_->lookahead(1);
}

// A parse reads the text from its start: after an earlier parse or a
// colouring pass the front end is made afresh.
void MvParser::parse() {
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

void MvParser::CheckSyntax() {
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

void MvParser::Execute() {
    MvActiveCalls::reset();   // no call of an earlier run is under way
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
            evaluator_ = std::make_unique<MvTreeEval>(this);
            // Native functions of the run see the host's stop through MvYield.
            MvRunStopScope stopsNativeCode(interrupted_);
            try {
                evaluator_->programme(tree_);
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

void MvParser::LexicalPassOnly() {
    if (frontEndUsed_)
        createFrontEnd(false);
    while (tokenBuffer_->lookaheadType(1) != MV_TOK_EOF)
        tokenBuffer_->consume();
    frontEndUsed_ = true;
}

// Every call noted while parsing must name a function of the process-wide
// registry or of the script itself. The first that does not ends the parse.
void MvParser::checkFunctionCalls() {
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

bool MvParser::getDoneFlag() { return getFlag(doneLock_, done_); }
void MvParser::setDoneFlag(bool value) { setFlag(doneLock_, done_, value); }
bool MvParser::getDirtyFlag() { return getFlag(dirtyLock_, dirty_); }
void MvParser::setDirtyFlag(bool value) { setFlag(dirtyLock_, dirty_, value); }
bool MvParser::getParseErrorFlag() { return getFlag(parseErrorFlagLock_, parseError_); }
void MvParser::setParseErrorFlag(bool value) { setFlag(parseErrorFlagLock_, parseError_, value); }
bool MvParser::getRunErrorFlag() { return getFlag(runErrorLock_, runError_); }
bool MvParser::getInterruptedFlag() {
    MvLockGuard guard(interruptedLock_);
    return interrupted_.load();
}

void MvParser::setInterruptedFlag(bool value) {
    MvLockGuard guard(interruptedLock_);
    interrupted_.store(value);
}
bool MvParser::getPendingInputFlag() { return getFlag(pendingInputLock_, pendingInput_); }
void MvParser::setPendingInputFlag(bool value) { setFlag(pendingInputLock_, pendingInput_, value); }

// Setting the run-error flag ends the run: the done flag is set while the
// run-error lock is still held (the only nested locking of a session).
void MvParser::setRunErrorFlag(bool value) {
    MvLockGuard guard(runErrorLock_);
    runError_ = value;
    if (value)
        setDoneFlag(true);
}

InputType MvParser::getPendingInputType() { return pendingInputType_; }
MvValue* MvParser::getPendingInputDefault() { return pendingInputDefault_; }
const char* MvParser::getPendingInputPrompt() { return pendingInputPrompt_; }

void MvParser::returnPendingInput(MvValue* reply) {
    setPendingInputFlag(false);
    pendingInputReply_ = reply;
}

Mv_stringstream& MvParser::getConsole() {
    consoleLock_.lock();
    return console_;
}
void MvParser::releaseConsole() { consoleLock_.unlock(); }

Mv_stringstream& MvParser::getWarningConsole() { return MvGetWarningConsole(); }
void MvParser::releaseWarningConsole() { MvReleaseWarningConsole(); }

Mv_stringstream& MvParser::getRuntimeErrors() {
    runtimeErrorsLock_.lock();
    return runtimeErrors_;
}
void MvParser::releaseRuntimeErrors() { runtimeErrorsLock_.unlock(); }

std::list<ParseError*>& MvParser::getParseErrors() {
    parseErrorsLock_.lock();
    parseErrorCursorIndex_ = -1;   // the caller may change the list
    return parseErrors_;
}

int MvParser::getParseErrorCount() {
    parseErrorsLock_.lock();
    return static_cast<int>(parseErrors_.size());
}

// The walk starts at whichever of the start, the end and the last position
// read is nearest, so reading every record in order takes linear time.
ParseError* MvParser::getParseError(int index) {
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

void MvParser::releaseParseErrors() { parseErrorsLock_.unlock(); }

void MvParser::addToWindowList(MvWindow* window) {
    MvLockGuard guard(windowListLock_);
    windows_.push_back(window);
}

void MvParser::removeFromWindowList(MvWindow* window) {
    MvLockGuard guard(windowListLock_);
    windows_.remove(window);
}

bool MvParser::inWindowList(MvWindow* window) {
    MvLockGuard guard(windowListLock_);
    for (MvWindow* listed : windows_)
        if (listed == window)
            return true;
    return false;
}

std::list<MvWindow*>& MvParser::getWindowList() {
    windowListLock_.lock();
    return windows_;
}

MvWindow* MvParser::getWindow(long index) {
    if (index < 0 || index >= static_cast<long>(windows_.size()))
        return nullptr;
    auto it = windows_.begin();
    std::advance(it, index);
    return *it;
}

void MvParser::releaseWindowList() { windowListLock_.unlock(); }

std::deque<MvSyntaxBlock>& MvParser::getSyntaxBlockList() {
    syntaxBlocksLock_.lock();
    return syntaxBlocks_;
}

void MvParser::releaseSyntaxBlockList() { syntaxBlocksLock_.unlock(); }

std::ostream& MvParser::outputError(std::ostream& out, long line, long fileIndex) {
    return sourceMap_->outputError(out, line, fileIndex);
}

MvTreeEval* MvParser::getMvTreeEval() { return evaluator_.get(); }

void MvParser::writeToConsole(const std::string& text) {
    MvLockGuard guard(consoleLock_);
    console_ << text;
}

void MvParser::mapLine(int scannerLine, int& line, int& fileIndex) {
    sourceMap_->mapLine(scannerLine, line, fileIndex);
}

void MvParser::addSyntaxBlock(const MvSyntaxBlock& block) { addSyntaxBlocks(&block, 1); }

void MvParser::addSyntaxBlocks(const MvSyntaxBlock* blocks, std::size_t count) {
    MvLockGuard guard(syntaxBlocksLock_);
    syntaxBlocks_.insert(syntaxBlocks_.end(), blocks, blocks + count);
}

void MvParser::noteFunctionCall(int line, const std::string& nameSpace, const std::string& name) {
    functionCalls_.push_back({line, nameSpace, name});
}

void MvParser::addParseError(int scannerLine, const std::string& text, int tokenType,
                             const std::string& message) {
    auto error = std::make_unique<ParseError>();
    error->owner = this;
    error->text = text;
    error->tokenType = tokenType;
    error->message = message;
    MvLockGuard guard(parseErrorsLock_);
    mapLine(scannerLine, error->line, error->fileIndex);
    parseErrors_.push_back(error.release());
}

bool MvParser::isFunctionDefined(const std::string& nameSpace, const std::string& name) {
    return MvPluginRegistry::THE_PluginRegistry()->hasFunction(nameSpace, name) ||
           localFunctions_->hasFunction(nameSpace, name);
}

MvPluginRegistry& MvParser::getLocalFunctions() { return *localFunctions_; }

MvSourceMap& MvParser::sourceMap() { return *sourceMap_; }

const char* MvParser::getText() const { return text_.c_str(); }

MvAST* MvParser::getTree() { return tree_; }

void MvParser::enterScriptFolder() {
    directoryStack_.push_back(MvFile());
    file_.makeCurrent();
}

void MvParser::leaveScriptFolder() {
    if (directoryStack_.empty())
        return;
    directoryStack_.back().makeCurrent();
    directoryStack_.pop_back();
}

std::vector<MvTokenInfo> MvParser::scanTokens() {
    sourceMap_ = std::make_unique<MvSourceMap>();
    MvLexer scanner(text_.c_str(), this, kLexemeBufferSize);
    std::vector<MvTokenInfo> tokens;
    for (;;) {
        MvToken token = scanner.nextToken();
        tokens.push_back({token.type, token.line, std::string(token.text)});
        if (token.type == MV_TOK_EOF)
            return tokens;
    }
}

std::string MvParser::getTreeText() { return MvTreeToText(tree_); }
