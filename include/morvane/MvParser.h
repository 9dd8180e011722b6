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
#include "MvStreams.h"

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
class MvSession;

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

// One token as the scanner produced it (for diagnostics and tests).
struct MvTokenInfo {
    int type;
    int line;
    std::string text;
};

// The kind of input a host is asked for; nothing in the engine asks yet.
enum InputType { MvInputNone = 0, MvInputText, MvInputNumber, MvInputValue };

// The session. Its state lives behind the one pointer below; the operations
// the rest of the engine needs of a session are not part of this interface.
// The get/release pairs have scoped holders in MvParserGuards.h.
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

private:
    friend class MvSession;
    std::unique_ptr<MvSession> session_;
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
