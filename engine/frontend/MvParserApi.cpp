// The flat session interface for hosts, and the writer of error records.
// No exception leaves these functions: a failure is written to the warning
// console and the function gives its fallback (null, 0, nothing).
#include "morvane/MvParser.h"
#include "values/MvEntryGuard.h"

namespace {

// A null session is refused through the guard, like any other failure.
MvParser& sessionOf(MvParser* session) {
    if (!session)
        MvRaise("no session was given");
    return *session;
}

} // namespace

MvParser* MvParserCreate(const char* text, long length, const MvFile* file) {
    MV_GUARDED_ENTRY(nullptr, return new MvParser(text, length, file, true););
}

void MvParserDelete(MvParser* session) { MV_GUARDED_VOID_ENTRY(delete session;); }

void MvParserCheckSyntax(MvParser* session) { MV_GUARDED_VOID_ENTRY(sessionOf(session).CheckSyntax();); }
void MvParserExecute(MvParser* session) { MV_GUARDED_VOID_ENTRY(sessionOf(session).Execute();); }
void MvParserLexicalPassOnly(MvParser* session) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).LexicalPassOnly(););
}

int MvParserGetDoneFlag(MvParser* session) {
    MV_GUARDED_ENTRY(0, return sessionOf(session).getDoneFlag() ? 1 : 0;);
}
void MvParserSetDoneFlag(MvParser* session, int value) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).setDoneFlag(value == 1););
}
int MvParserGetDirtyFlag(MvParser* session) {
    MV_GUARDED_ENTRY(0, return sessionOf(session).getDirtyFlag() ? 1 : 0;);
}
int MvParserGetErrorFlag(MvParser* session) {
    MV_GUARDED_ENTRY(0, return sessionOf(session).getParseErrorFlag() ? 1 : 0;);
}
int MvParserGetRunErrorFlag(MvParser* session) {
    MV_GUARDED_ENTRY(0, return sessionOf(session).getRunErrorFlag() ? 1 : 0;);
}
void MvParserClearRunErrorFlag(MvParser* session) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).setRunErrorFlag(false););
}
void MvParserSetInterruptedFlag(MvParser* session, int value) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).setInterruptedFlag(value == 1););
}
int MvParserGetPendingInputFlag(MvParser* session) {
    MV_GUARDED_ENTRY(0, return sessionOf(session).getPendingInputFlag() ? 1 : 0;);
}
int MvParserGetPendingInputType(MvParser* session) {
    MV_GUARDED_ENTRY(0, return static_cast<int>(sessionOf(session).getPendingInputType()););
}
void MvParserReturnPendingInput(MvParser* session, MvValue* reply) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).returnPendingInput(reply););
}

Mv_stringstream* MvParserGetConsoleStream(MvParser* session) {
    MV_GUARDED_ENTRY(nullptr, return &sessionOf(session).getConsole(););
}
void MvParserReleaseConsoleStream(MvParser* session) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).releaseConsole(););
}
Mv_stringstream* MvParserGetWarningConsoleStream(MvParser*) {
    MV_GUARDED_ENTRY(nullptr, return &MvParser::getWarningConsole(););
}
void MvParserReleaseWarningConsoleStream(MvParser*) {
    MV_GUARDED_VOID_ENTRY(MvParser::releaseWarningConsole(););
}
Mv_stringstream* MvParserGetRuntimeErrorStream(MvParser* session) {
    MV_GUARDED_ENTRY(nullptr, return &sessionOf(session).getRuntimeErrors(););
}
void MvParserReleaseRuntimeErrorStream(MvParser* session) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).releaseRuntimeErrors(););
}

int MvParserGetParseErrorCount(MvParser* session) {
    MV_GUARDED_ENTRY(0, return sessionOf(session).getParseErrorCount(););
}
ParseError* MvParserGetParseError(MvParser* session, int index) {
    MV_GUARDED_ENTRY(nullptr, return sessionOf(session).getParseError(index););
}
void MvParserReleaseParseErrors(MvParser* session) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).releaseParseErrors(););
}

void MvParserGetWindowList(MvParser* session) { MV_GUARDED_VOID_ENTRY(sessionOf(session).getWindowList();); }
MvWindow* MvParserGetWindow(MvParser* session, long index) {
    MV_GUARDED_ENTRY(nullptr, return sessionOf(session).getWindow(index););
}
void MvParserReleaseWindowList(MvParser* session) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).releaseWindowList(););
}

std::deque<MvSyntaxBlock>* MvParserGetSyntaxBlockList(MvParser* session) {
    MV_GUARDED_ENTRY(nullptr, return &sessionOf(session).getSyntaxBlockList(););
}
void MvParserReleaseSyntaxBlockList(MvParser* session) {
    MV_GUARDED_VOID_ENTRY(sessionOf(session).releaseSyntaxBlockList(););
}

int MvParseErrorGetDisplayedFlag(ParseError* error) { return error && error->displayed ? 1 : 0; }
void MvParseErrorSetDisplayedFlag(ParseError* error) {
    if (error)
        error->displayed = true;
}

namespace {

void writeRecord(const ParseError& error, std::ostream& out) {
    if (error.line < 1) {
        out << "Script Error -------------------------\n"
            << error.text << '\n'
            << "--------------------------------------\n"
            << error.message << "\n\n";
        return;
    }
    error.owner->outputError(out, error.line, error.fileIndex);
    out << ": (" << error.text << ")\n" << error.message << "\n\n";
}

} // namespace

void MvParseErrorWriteToStream(ParseError* error, Mv_stringstream* stream) {
    MV_GUARDED_VOID_ENTRY(
        if (error && stream)
            writeRecord(*error, *stream););
}
