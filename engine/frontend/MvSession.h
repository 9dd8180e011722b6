// The state of a script session and the operations it offers the rest of the
// engine (the public MvParser forwards to it). The scanner, the parser and
// the evaluator reach a session's internals through MvSession::of.
#ifndef MORVANE_ENGINE_MVSESSION_H
#define MORVANE_ENGINE_MVSESSION_H

#include "MvRunHooks.h"
#include "morvane/MvExport.h"
#include "morvane/MvFile.h"
#include "morvane/MvMutexLock.h"
#include "morvane/MvParser.h"
#include "morvane/MvStreams.h"

#include <atomic>
#include <deque>
#include <list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class MvLexer;
class MvTokenBuffer;
class MvPluginRegistry;
class MvSourceMap;
class MorvaneParentParser;
struct MvAST;
class MvASTArena;

// A function call met while parsing, checked once the parse is over.
struct FunctionCallNote {
    int line;
    std::string nameSpace;
    std::string name;
};

class MvSession {
public:
    MvSession(MvParser* owner, const char* text, long length, const MvFile* file);
    // Expands the includes (when preprocess is true) and primes the front end.
    void open(bool preprocess);
    ~MvSession();
    MvSession(const MvSession&) = delete;
    MvSession& operator=(const MvSession&) = delete;

    // The internals of session (never null for a live session).
    static MvSession* of(const MvParser* session) { return session->session_.get(); }

    void CheckSyntax();
    void Execute();
    void LexicalPassOnly();

    bool getDoneFlag();
    void setDoneFlag(bool value);
    bool getDirtyFlag();
    void setDirtyFlag(bool value);
    bool getParseErrorFlag();
    void setParseErrorFlag(bool value);
    bool getRunErrorFlag();
    void setRunErrorFlag(bool value);   // true also sets the done flag
    bool getInterruptedFlag();
    void setInterruptedFlag(bool value);
    // The interrupted flag for the running script's own checks.
    bool interruptRequested() const { return interrupted_.load(std::memory_order_relaxed); }
    bool getPendingInputFlag();
    void setPendingInputFlag(bool value);

    InputType getPendingInputType();
    MvValue* getPendingInputDefault();
    const char* getPendingInputPrompt();
    void returnPendingInput(MvValue* reply);

    Mv_stringstream& getConsole();
    void releaseConsole();
    Mv_stringstream& getRuntimeErrors();
    void releaseRuntimeErrors();

    std::list<ParseError*>& getParseErrors();   // lock held until releaseParseErrors
    int getParseErrorCount();                   // lock held until releaseParseErrors
    ParseError* getParseError(int index);       // no lock; null past the end
    void releaseParseErrors();

    void addToWindowList(MvWindow* window);
    void removeFromWindowList(MvWindow* window);
    bool inWindowList(MvWindow* window);
    std::list<MvWindow*>& getWindowList();      // lock held until releaseWindowList
    MvWindow* getWindow(long index);            // no lock; null past the end
    void releaseWindowList();

    std::deque<MvSyntaxBlock>& getSyntaxBlockList();   // lock held until release
    void releaseSyntaxBlockList();

    std::ostream& outputError(std::ostream& out, long line, long fileIndex);

    MvTreeEval* getMvTreeEval();

    std::vector<MvTokenInfo> scanTokens();
    std::string getTreeText();

    void writeToConsole(const std::string& text);
    // (Exported, like getLocalFunctions, sourceMap and getText, for the
    // tests of the front end.)
    MV_EXPORT void mapLine(int scannerLine, int& line, int& fileIndex);
    void addSyntaxBlock(const MvSyntaxBlock& block);
    void addSyntaxBlocks(const MvSyntaxBlock* blocks, std::size_t count);
    void noteFunctionCall(int line, const std::string& nameSpace, const std::string& name);
    // Appends a record; the caller has set the matching error flag.
    void addParseError(int scannerLine, const std::string& text, int tokenType,
                       const std::string& message);
    bool isFunctionDefined(const std::string& nameSpace, const std::string& name);
    MV_EXPORT MvPluginRegistry& getLocalFunctions();
    MV_EXPORT MvSourceMap& sourceMap();
    MV_EXPORT const char* getText() const;
    MvAST* getTree();
    void enterScriptFolder();
    void leaveScriptFolder();

private:
    void parse();
    void checkFunctionCalls();
    void createFrontEnd(bool prime);

    MvParser* owner_;   // the public face of this session
    std::unique_ptr<MvPluginRegistry> localFunctions_;
    MvEvaluatorHandle evaluator_;
    std::deque<MvSyntaxBlock> syntaxBlocks_;
    std::list<FunctionCallNote> functionCalls_;
    std::list<ParseError*> parseErrors_;
    // Where getParseError last stopped: a host reads the records in order,
    // and each read walks on from there instead of from the start. Only
    // appends happen while it is kept; a get of the whole list forgets it.
    std::list<ParseError*>::iterator parseErrorCursor_;
    int parseErrorCursorIndex_ = -1;
    Mv_stringstream runtimeErrors_;
    Mv_stringstream console_;
    std::list<MvWindow*> windows_;
    bool parseError_ = false, runError_ = false, done_ = false, dirty_ = false,
         pendingInput_ = false;
    // Polled by the running script at every statement: read without the
    // lock (an atomic read), written under it.
    std::atomic<bool> interrupted_{false};
    InputType pendingInputType_ = MvInputNone;
    MvValue* pendingInputDefault_ = nullptr;
    const char* pendingInputPrompt_ = "";
    MvValue* pendingInputReply_ = nullptr;
    MvAST* tree_ = nullptr;
    std::unique_ptr<MvASTArena> treeArena_;   // memory of tree_'s nodes
    std::unique_ptr<MorvaneParentParser> parser_;
    std::unique_ptr<MvLexer> lexer_;
    std::unique_ptr<MvTokenBuffer> tokenBuffer_;
    std::string text_;
    MvMutexLock syntaxBlocksLock_, consoleLock_, runtimeErrorsLock_, parseErrorsLock_,
        windowListLock_, doneLock_, dirtyLock_, parseErrorFlagLock_, runErrorLock_,
        interruptedLock_, pendingInputLock_;
    MvFile file_;
    std::deque<MvFile> directoryStack_;
    std::unique_ptr<MvSourceMap> sourceMap_;
    bool frontEndUsed_ = false;   // the scanner has read past the first token
    bool treeHasErrors_ = false;  // the last parse recorded syntax errors
};

#endif
