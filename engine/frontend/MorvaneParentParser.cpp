#include "MorvaneParentParser.h"

#include "morvane/MvParser.h"

MorvaneParentParser::MorvaneParentParser(MvTokenBuffer& tokens, MvParser* session)
    : tokens_(tokens), session_(session), contexts_{"MvGlobalContext"} {}
MorvaneParentParser::~MorvaneParentParser() = default;
void MorvaneParentParser::programme(MvAST** root) { *root = nullptr; }
void MorvaneParentParser::reportSyntaxErrorAt(const std::string&, const std::string&) {}
void MorvaneParentParser::reportSyntaxError(const std::string&) {}
void MorvaneParentParser::reportAppleScriptError(const std::string&, int, int) {}
void MorvaneParentParser::addErrorDetail(const std::string&) {}
MvPluginRegistry& MorvaneParentParser::getLocalFunctions() { return session_->getLocalFunctions(); }
bool MorvaneParentParser::isFunctionDefined(const std::string& ns, const std::string& name) {
    return session_->isFunctionDefined(ns, name);
}
void MorvaneParentParser::noteFunctionCall(int line, const std::string& ns, const std::string& name) {
    session_->noteFunctionCall(line, ns, name);
}
bool MorvaneParentParser::isInitialised(const std::string&) { return true; }
void MorvaneParentParser::declareGlobal(const std::string&) {}
void MorvaneParentParser::declareLocal(const std::string&) {}
void MorvaneParentParser::enterContext(const std::string&) {}
void MorvaneParentParser::leaveContext(const std::string&) {}
