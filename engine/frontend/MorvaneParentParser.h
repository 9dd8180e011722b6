// The parser of the script language: hand-written recursive descent with
// one token of lookahead (two where the grammar needs to tell a call from a
// variable), building the syntax tree, recording syntax errors with their
// recovery, and registering the functions the script defines.
#ifndef MORVANE_ENGINE_MORVANEPARENTPARSER_H
#define MORVANE_ENGINE_MORVANEPARENTPARSER_H

#include "MvAST.h"
#include "MvTokenBuffer.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class MvParser;
class MvPluginRegistry;

class MorvaneParentParser {
public:
    MorvaneParentParser(MvTokenBuffer& tokens, MvParser* session);
    virtual ~MorvaneParentParser();

    // Parses the whole programme; *root is set to none first, then to the
    // first element's tree (the elements are siblings).
    void programme(MvAST** root);

    // Hooks through which the grammar reports errors and talks to the session.
    virtual void reportSyntaxErrorAt(const std::string& text, const std::string& message);
    virtual void reportSyntaxError(const std::string& message);
    virtual void reportAppleScriptError(const std::string& message, int start, int length);
    virtual void addErrorDetail(const std::string& message);
    virtual MvPluginRegistry& getLocalFunctions();
    virtual bool isFunctionDefined(const std::string& nameSpace, const std::string& name);
    virtual void noteFunctionCall(int line, const std::string& nameSpace, const std::string& name);
    virtual bool isInitialised(const std::string& name);
    virtual void declareGlobal(const std::string& name);
    virtual void declareLocal(const std::string& name);
    virtual void enterContext(const std::string& name);
    virtual void leaveContext(const std::string& name);

private:
    struct Grammar;
    MvTokenBuffer& tokens_;
    MvParser* session_;
    std::vector<std::string> contexts_;
    std::set<std::string> initialised_;
};

#endif
