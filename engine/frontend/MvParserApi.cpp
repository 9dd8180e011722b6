// The flat session interface for hosts, and the writer of error records.
#include "morvane/MvParser.h"

#include <new>

MvParser* MvParserCreate(const char* text, long length, const MvFile* file) {
    try {
        return new MvParser(text, length, file, true);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void MvParserDelete(MvParser* session) { delete session; }

void MvParserCheckSyntax(MvParser* session) { session->CheckSyntax(); }
void MvParserExecute(MvParser* session) { session->Execute(); }
void MvParserLexicalPassOnly(MvParser* session) { session->LexicalPassOnly(); }

int MvParserGetDoneFlag(MvParser* session) { return session->getDoneFlag() ? 1 : 0; }
void MvParserSetDoneFlag(MvParser* session, int value) { session->setDoneFlag(value == 1); }
int MvParserGetDirtyFlag(MvParser* session) { return session->getDirtyFlag() ? 1 : 0; }
int MvParserGetErrorFlag(MvParser* session) { return session->getParseErrorFlag() ? 1 : 0; }
int MvParserGetRunErrorFlag(MvParser* session) { return session->getRunErrorFlag() ? 1 : 0; }
void MvParserClearRunErrorFlag(MvParser* session) { session->setRunErrorFlag(false); }
void MvParserSetInterruptedFlag(MvParser* session, int value) {
    session->setInterruptedFlag(value == 1);
}
int MvParserGetPendingInputFlag(MvParser* session) {
    return session->getPendingInputFlag() ? 1 : 0;
}
int MvParserGetPendingInputType(MvParser* session) { return session->getPendingInputType(); }
void MvParserReturnPendingInput(MvParser* session, MvValue* reply) {
    session->returnPendingInput(reply);
}

Mv_stringstream* MvParserGetConsoleStream(MvParser* session) { return &session->getConsole(); }
void MvParserReleaseConsoleStream(MvParser* session) { session->releaseConsole(); }
Mv_stringstream* MvParserGetWarningConsoleStream(MvParser*) {
    return &MvParser::getWarningConsole();
}
void MvParserReleaseWarningConsoleStream(MvParser*) { MvParser::releaseWarningConsole(); }
Mv_stringstream* MvParserGetRuntimeErrorStream(MvParser* session) {
    return &session->getRuntimeErrors();
}
void MvParserReleaseRuntimeErrorStream(MvParser* session) { session->releaseRuntimeErrors(); }

int MvParserGetParseErrorCount(MvParser* session) { return session->getParseErrorCount(); }
ParseError* MvParserGetParseError(MvParser* session, int index) {
    return session->getParseError(index);
}
void MvParserReleaseParseErrors(MvParser* session) { session->releaseParseErrors(); }

void MvParserGetWindowList(MvParser* session) { session->getWindowList(); }
MvWindow* MvParserGetWindow(MvParser* session, long index) { return session->getWindow(index); }
void MvParserReleaseWindowList(MvParser* session) { session->releaseWindowList(); }

std::deque<MvSyntaxBlock>* MvParserGetSyntaxBlockList(MvParser* session) {
    return &session->getSyntaxBlockList();
}
void MvParserReleaseSyntaxBlockList(MvParser* session) { session->releaseSyntaxBlockList(); }

int MvParseErrorGetDisplayedFlag(ParseError* error) { return error->displayed ? 1 : 0; }
void MvParseErrorSetDisplayedFlag(ParseError* error) { error->displayed = true; }

void MvParseErrorWriteToStream(ParseError* error, Mv_stringstream* stream) {
    std::ostream& out = *stream;
    if (error->line < 1) {
        out << "Script Error -------------------------\n"
            << error->text << '\n'
            << "--------------------------------------\n"
            << error->message << "\n\n";
        return;
    }
    error->owner->outputError(out, error->line, error->fileIndex);
    out << ": (" << error->text << ")\n" << error->message << "\n\n";
}
