// The script session: the object through which a host drives one script.
//
// A host creates a session from the script text, asks for a colouring pass
// (LexicalPassOnly), a syntax check (CheckSyntax) or a run (Execute), and
// reads back console text, error records, colouring spans, windows and
// flags. The host may read from its own thread while the script runs on
// another: every host-visible item has its own recursive lock; a get returns
// with the lock held and the matching release drops it.
#ifndef MORVANE_MVPARSER_H
#define MORVANE_MVPARSER_H

#include "MvExport.h"
#include "MvFile.h"
#include "MvMutexLock.h"
#include "MvStreams.h"

#include <atomic>
#include <deque>
#include <list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class MvParser;
class MvValue;
class MvWindow;
class MvTreeEval;
class MvLexer;
class MvTokenBuffer;
class MvPluginRegistry;
class MvSourceMap;
class MorvaneParentParser;
struct MvAST;
class MvASTArena;

// One error record: a syntax error or a runtime error.
struct MV_EXPORT ParseError {
    MvParser* owner = nullptr;   // writes the file names of the location
    int line = 0;                // line within its file; below 1: no position
    int fileIndex = 0;
    std::string text;            // the offending text
    int tokenType = 0;           // token at which the error was found, 0 when none
    std::string message;
    bool displayed = false;      // set by the host once shown
};

// One colouring span: 1-based inclusive character offsets into the text.
struct MvSyntaxBlock {
    int begin;
    int end;
    int kind;
};

// A function call met while parsing, checked once the parse is over.
struct FunctionCallNote {
    int line;
    std::string nameSpace;
    std::string name;
};

// One token as the scanner produced it (for diagnostics and tests).
struct MvTokenInfo {
    int type;
    int line;
    std::string text;
};

// The kind of input a host is asked for; nothing in the engine asks yet.
enum InputType { MvInputNone = 0, MvInputText, MvInputNumber, MvInputValue };

class MV_EXPORT MvParser {
public:
    MvParser(const char* text, long length, const MvFile* file, bool preprocess);
    ~MvParser();
    MvParser(const MvParser&) = delete;
    MvParser& operator=(const MvParser&) = delete;

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
    static Mv_stringstream& getWarningConsole();
    static void releaseWarningConsole();
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

    // Writes " at [file 'name', ]line N" and the "included from" lines.
    std::ostream& outputError(std::ostream& out, long line, long fileIndex);

    MvTreeEval* getMvTreeEval();

    // Diagnostics: every token of the text scanned afresh by a separate
    // scanner (colouring spans and lexical errors are recorded as usual), and
    // the syntax tree of the last parse in the #(root child ...) notation.
    std::vector<MvTokenInfo> scanTokens();
    std::string getTreeText();

    // Operations for the other parts of the engine.
    void writeToConsole(const std::string& text);
    void mapLine(int scannerLine, int& line, int& fileIndex);
    void addSyntaxBlock(const MvSyntaxBlock& block);
    void addSyntaxBlocks(const MvSyntaxBlock* blocks, std::size_t count);
    void noteFunctionCall(int line, const std::string& nameSpace, const std::string& name);
    // Appends a record; the caller has set the matching error flag.
    void addParseError(int scannerLine, const std::string& text, int tokenType,
                       const std::string& message);
    bool isFunctionDefined(const std::string& nameSpace, const std::string& name);
    MvPluginRegistry& getLocalFunctions();
    MvSourceMap& sourceMap();
    const char* getText() const;
    MvAST* getTree();
    void enterScriptFolder();
    void leaveScriptFolder();

private:
    void parse();
    void checkFunctionCalls();
    void createFrontEnd(bool prime);

    std::unique_ptr<MvPluginRegistry> localFunctions_;
    std::unique_ptr<MvTreeEval> evaluator_;
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

// The flat session interface; flags are 0 or 1.
MV_EXPORT MvParser* MvParserCreate(const char* text, long length, const MvFile* file);
MV_EXPORT void MvParserDelete(MvParser* session);
MV_EXPORT void MvParserCheckSyntax(MvParser* session);
MV_EXPORT void MvParserExecute(MvParser* session);
MV_EXPORT void MvParserLexicalPassOnly(MvParser* session);
MV_EXPORT int MvParserGetDoneFlag(MvParser* session);
MV_EXPORT void MvParserSetDoneFlag(MvParser* session, int value);
MV_EXPORT int MvParserGetDirtyFlag(MvParser* session);
MV_EXPORT int MvParserGetErrorFlag(MvParser* session);
MV_EXPORT int MvParserGetRunErrorFlag(MvParser* session);
MV_EXPORT void MvParserClearRunErrorFlag(MvParser* session);
MV_EXPORT void MvParserSetInterruptedFlag(MvParser* session, int value);
MV_EXPORT int MvParserGetPendingInputFlag(MvParser* session);
MV_EXPORT int MvParserGetPendingInputType(MvParser* session);
MV_EXPORT void MvParserReturnPendingInput(MvParser* session, MvValue* reply);
MV_EXPORT Mv_stringstream* MvParserGetConsoleStream(MvParser* session);
MV_EXPORT void MvParserReleaseConsoleStream(MvParser* session);
MV_EXPORT Mv_stringstream* MvParserGetWarningConsoleStream(MvParser* session);
MV_EXPORT void MvParserReleaseWarningConsoleStream(MvParser* session);
MV_EXPORT Mv_stringstream* MvParserGetRuntimeErrorStream(MvParser* session);
MV_EXPORT void MvParserReleaseRuntimeErrorStream(MvParser* session);
MV_EXPORT int MvParserGetParseErrorCount(MvParser* session);
MV_EXPORT ParseError* MvParserGetParseError(MvParser* session, int index);
MV_EXPORT void MvParserReleaseParseErrors(MvParser* session);
MV_EXPORT void MvParserGetWindowList(MvParser* session);
MV_EXPORT MvWindow* MvParserGetWindow(MvParser* session, long index);
MV_EXPORT void MvParserReleaseWindowList(MvParser* session);
MV_EXPORT std::deque<MvSyntaxBlock>* MvParserGetSyntaxBlockList(MvParser* session);
MV_EXPORT void MvParserReleaseSyntaxBlockList(MvParser* session);
MV_EXPORT int MvParseErrorGetDisplayedFlag(ParseError* error);
MV_EXPORT void MvParseErrorSetDisplayedFlag(ParseError* error);
MV_EXPORT void MvParseErrorWriteToStream(ParseError* error, Mv_stringstream* stream);

#endif
