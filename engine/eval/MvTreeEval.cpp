// The evaluator's frame: construction, the programme and statement rules,
// error reports and interrupt checks.
#include "MvTreeEval.h"

#include "MvCallSites.h"
#include "MvCaught.h"
#include "values/MvInternalError.h"
#include "MvScopedValue.h"

#include "frontend/MvAST.h"
#include "frontend/MvAbortFlag.h"
#include "morvane/MvException.h"
#include "morvane/MvParser.h"
#include "morvane/MvProcess.h"
#include "morvane/MvTokens.h"

#include <new>
#include <sstream>

namespace {

[[noreturn]] void raiseTreeError(const std::string& text) {
    throw new MvException("Runtime internal error: " + text + "\n");
}

} // namespace

// A local evaluator runs on the thread of its global one.
MvTreeEval::MvTreeEval(MvParser* session, MvTreeEval* globalEvaluator)
    : session_(session),
      globalEvaluator_(globalEvaluator),
      stackLimit_(globalEvaluator ? globalEvaluator->stackLimit_ : MvStackLimitOfThisThread()) {}

// Destroying the tables invalidates references to their variables held in
// other scopes; the global scope then drops what became empty.
MvTreeEval::~MvTreeEval() {
    valueMap_.clear();
    windowMap_.clear();
    if (globalEvaluator_)
        globalEvaluator_->purge();
}

void MvTreeEval::mismatchedRange(int lowest, int highest, const MvAST* found) {
    std::ostringstream text;
    text << "parse error: expected token range " << lowest << ".." << highest;
    if (found)
        text << " found token " << found->tokenType;
    else
        text << " found NULL tree";
    raiseTreeError(text.str());
}

void MvTreeEval::missingWildcard() {
    raiseTreeError("parse error: expected any token/tree found found NULL tree.Unknown line");
}

void MvTreeEval::mismatchedToken(int expected, const MvAST* found) {
    std::ostringstream text;
    text << "parse error: expected token " << expected;
    if (found)
        text << " found token " << found->tokenType;
    else
        text << " found NULL tree";
    raiseTreeError(text.str());
}

void MvTreeEval::noViableAlternative(const char* rule, const MvAST* found) {
    std::ostringstream text;
    text << "parse error: in rule " << rule
         << (found ? ", no viable alternative for tree" : ", no viable alternative for NULL tree");
    raiseTreeError(text.str());
}

int MvTreeEval::reportLine(const MvAST* node) {
    if (!node)
        return 0;
    if (node->line == 0 && node->child())
        return node->child()->line;
    return node->line;
}

void MvTreeEval::checkInterrupt() {
    MvYieldInline();
    if (MvSession::of(session_)->interruptRequested())
        MvRaise("Execution Terminated by User.");
}

void MvTreeEval::checkWritable(bool writable) {
    if (!writable)
        MvRaise("Attempted to modify a read-only value.");
}

// A runtime error at a statement: reported once (outside catch statements),
// after which the interrupted and run-error flags make every enclosing
// statement pass the "RunTime Error" on until the run ends.
void MvTreeEval::runtimeError(const MvAST* node, MvException* error) {
    MvCaught<MvException> caught(error);
    if (MvSession::of(session_)->interruptRequested()) {
        if (!session_->getRunErrorFlag())
            throw new MvException("Execution cancelled by user.");
        caught.throwOn();
    }
    if (inProtectedStatement_)
        caught.throwOn();
    session_->setRunErrorFlag(true);
    MvSession::of(session_)->addParseError(reportLine(node), "", 0, caught->getMessage());
    session_->setInterruptedFlag(true);
    throw new MvException("RunTime Error");
}

// A break outside any loop ends the programme quietly.
void MvTreeEval::programme(MvAST* root) {
    if (!root)
        noViableAlternative("programme", nullptr);
    try {
        for (MvAST* node = root; node; node = node->sibling())
            statement(node);
    } catch (MvBreakException* stop) {
        MvCaught<MvBreakException> ended(stop);
    }
}

namespace {

bool isExecutableStatement(int type) {
    switch (type) {
    case MV_TOK_ADD: case MV_TOK_SUBTRACT: case MV_TOK_MULTIPLY: case MV_TOK_DIVIDE:
    case MV_TOK_EXPR_STATEMENT: case MV_TOK_APPEND: case MV_TOK_PREPEND: case MV_TOK_INSERT:
    case MV_CIRC_REF: case MV_NO_CIRC_REF: case MV_TOK_DELETE: case MV_TOK_TIMES:
    case MV_TOK_FOREVER: case MV_TOK_WHILE: case MV_TOK_FROM: case MV_TOK_UNTIL:
    case MV_TOK_FOR: case MV_TOK_IF: case MV_TOK_ELSE: case MV_TOK_BREAK: case MV_TOK_WAIT:
    case MV_TOK_PRINT: case MV_TOK_BEEP: case MV_TOK_SCRIPT:
        return true;
    default:
        return false;
    }
}

} // namespace

void MvTreeEval::nestedTooDeeply() { MvRaise("The script is nested too deeply to run."); }

void MvTreeEval::statement(MvAST* node) {
    if (!node)
        noViableAlternative("statement", nullptr);
    checkStackDepth();
    const int type = node->tokenType;
    if (isExecutableStatement(type)) {
        try {
            assignTargetMode_ = false;
            catchableStatement(node);
            pollInterrupt();
        } catch (MvException* error) {
            runtimeError(node, error);
        } catch (MvBreakException*) {
            throw;
        } catch (MvReturnValue&) {
            throw;
        } catch (const std::bad_alloc&) {
            // The failed request's memory was never taken, so reporting can
            // allocate again.
            runtimeError(node, new MvMemoryException(" (an allocation could not be met"));
        } catch (...) {
            runtimeError(node, new MvInternalError());
        }
        return;
    }
    switch (type) {
    case MV_TOK_BEGIN:
        codeBlock(node);
        return;
    case MV_TOK_CATCH:
        errorHandledStatement(node);
        return;
    case MV_TOK_DEFINE:
        return;   // registered when the script was parsed
    case MV_TOK_RETURN:
        returnStatement(node);
        return;
    default:
        runtimeError(node, new MvException("Interpreter Error: Unrecognised command."));
    }
}

void MvTreeEval::catchableStatement(const MvAST* node) {
    switch (node->tokenType) {
    case MV_TOK_IF:
    case MV_TOK_ELSE:
        return ifStatement(node);
    case MV_CIRC_REF:
    case MV_NO_CIRC_REF:
        return setStatement(node);
    case MV_TOK_ADD:
    case MV_TOK_SUBTRACT:
    case MV_TOK_MULTIPLY:
    case MV_TOK_DIVIDE:
    case MV_TOK_EXPR_STATEMENT:
        return mathStatement(node);
    case MV_TOK_APPEND:
    case MV_TOK_PREPEND:
    case MV_TOK_INSERT:
        return listStatement(node);
    case MV_TOK_DELETE:
        return deleteStatement(node);
    case MV_TOK_WAIT:
    case MV_TOK_PRINT:
    case MV_TOK_BEEP:
    case MV_TOK_SCRIPT:
        return commandStatement(node);
    default:
        return repeatStatement(node);
    }
}

void MvTreeEval::codeBlock(const MvAST* node) {
    pollInterrupt();
    for (MvAST* child = node->child(); child; child = child->sibling())
        statement(child);
}

// The handler runs when the protected statement raises. While protected,
// errors pass through unreported so that they reach this statement; the
// flag stays set while the handler runs and is restored afterwards, so that
// an enclosing catch keeps protecting.
void MvTreeEval::errorHandledStatement(const MvAST* node) {
    MvAST* protectedStatement = node->child();
    MvAST* handler = protectedStatement ? protectedStatement->sibling() : nullptr;
    if (!protectedStatement || !handler)
        noViableAlternative("errorHandledStatement", node);
    MvScopedValue<bool> protecting(inProtectedStatement_, true);
    bool failed = false;
    try {
        statement(protectedStatement);
    } catch (MvException* error) {
        MvCaught<MvException> dropped(error);
        failed = true;
    }
    if (failed)
        statement(handler);
}

void MvTreeEval::returnStatement(const MvAST* node) {
    MvValueHolder value;
    if (node->child())
        resultExpression(node->child(), value);
    throw MvReturnValue(value);
}
