// The exported members of the session: each forwards to the session's
// internals (MvSession), whose layout the public header does not show.
#include "morvane/MvParser.h"

#include "MvSession.h"
#include "morvane/MvProcess.h"

MvParser::MvParser(const char* text, long length, const MvFile* file, bool preprocess)
    : session_(std::make_unique<MvSession>(this, text, length, file)) {
    session_->open(preprocess);
}

MvParser::~MvParser() = default;

void MvParser::CheckSyntax() { session_->CheckSyntax(); }
void MvParser::Execute() { session_->Execute(); }
void MvParser::LexicalPassOnly() { session_->LexicalPassOnly(); }

bool MvParser::getDoneFlag() { return session_->getDoneFlag(); }
void MvParser::setDoneFlag(bool value) { session_->setDoneFlag(value); }
bool MvParser::getDirtyFlag() { return session_->getDirtyFlag(); }
void MvParser::setDirtyFlag(bool value) { session_->setDirtyFlag(value); }
bool MvParser::getParseErrorFlag() { return session_->getParseErrorFlag(); }
void MvParser::setParseErrorFlag(bool value) { session_->setParseErrorFlag(value); }
bool MvParser::getRunErrorFlag() { return session_->getRunErrorFlag(); }
void MvParser::setRunErrorFlag(bool value) { session_->setRunErrorFlag(value); }
bool MvParser::getInterruptedFlag() { return session_->getInterruptedFlag(); }
void MvParser::setInterruptedFlag(bool value) { session_->setInterruptedFlag(value); }
bool MvParser::getPendingInputFlag() { return session_->getPendingInputFlag(); }
void MvParser::setPendingInputFlag(bool value) { session_->setPendingInputFlag(value); }

InputType MvParser::getPendingInputType() { return session_->getPendingInputType(); }
MvValue* MvParser::getPendingInputDefault() { return session_->getPendingInputDefault(); }
const char* MvParser::getPendingInputPrompt() { return session_->getPendingInputPrompt(); }
void MvParser::returnPendingInput(MvValue* reply) { session_->returnPendingInput(reply); }

Mv_stringstream& MvParser::getConsole() { return session_->getConsole(); }
void MvParser::releaseConsole() { session_->releaseConsole(); }
Mv_stringstream& MvParser::getWarningConsole() { return MvGetWarningConsole(); }
void MvParser::releaseWarningConsole() { MvReleaseWarningConsole(); }
Mv_stringstream& MvParser::getRuntimeErrors() { return session_->getRuntimeErrors(); }
void MvParser::releaseRuntimeErrors() { session_->releaseRuntimeErrors(); }

std::list<ParseError*>& MvParser::getParseErrors() { return session_->getParseErrors(); }
int MvParser::getParseErrorCount() { return session_->getParseErrorCount(); }
ParseError* MvParser::getParseError(int index) { return session_->getParseError(index); }
void MvParser::releaseParseErrors() { session_->releaseParseErrors(); }

void MvParser::addToWindowList(MvWindow* window) { session_->addToWindowList(window); }
void MvParser::removeFromWindowList(MvWindow* window) { session_->removeFromWindowList(window); }
bool MvParser::inWindowList(MvWindow* window) { return session_->inWindowList(window); }
std::list<MvWindow*>& MvParser::getWindowList() { return session_->getWindowList(); }
MvWindow* MvParser::getWindow(long index) { return session_->getWindow(index); }
void MvParser::releaseWindowList() { session_->releaseWindowList(); }

std::deque<MvSyntaxBlock>& MvParser::getSyntaxBlockList() { return session_->getSyntaxBlockList(); }
void MvParser::releaseSyntaxBlockList() { session_->releaseSyntaxBlockList(); }

std::ostream& MvParser::outputError(std::ostream& out, long line, long fileIndex) {
    return session_->outputError(out, line, fileIndex);
}

MvTreeEval* MvParser::getMvTreeEval() { return session_->getMvTreeEval(); }

std::vector<MvTokenInfo> MvParser::scanTokens() { return session_->scanTokens(); }
std::string MvParser::getTreeText() { return session_->getTreeText(); }
