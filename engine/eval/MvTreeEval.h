// The tree evaluator: walks a session's syntax tree and runs it.
//
// Each grammar rule of the tree is one operation (its name appears in the
// internal error messages). Statements are reporting points: a runtime
// error below one becomes an error record with the statement's line, and
// the run stops at the next statement boundary. A script-defined function
// runs in an evaluator of its own whose global evaluator is the caller's.
#ifndef MORVANE_ENGINE_MVTREEEVAL_H
#define MORVANE_ENGINE_MVTREEEVAL_H

#include "MvStackLimit.h"
#include "MvVariableTable.h"
#include "frontend/MvAbortFlag.h"
#include "frontend/MvSession.h"
#include "morvane/MvValue.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MvParser;
class MvException;
struct MvAST;
struct MvCallSites;
class MvParameterBlock;

// The second index of a two-index node (see MvEvalExpressions.cpp).
const MvAST* MvSecondIndex(const MvAST* lindex);

class MvNumberValue;
class MvTreeEval {
public:
    MvTreeEval(MvParser* session, MvTreeEval* globalEvaluator = nullptr);

    // Internal tree errors: a node of an unexpected type met by a rule.
    virtual void mismatchedRange(int lowest, int highest, const MvAST* found);
    virtual void missingWildcard();
    virtual void mismatchedToken(int expected, const MvAST* found);
    [[noreturn]] void noViableAlternative(const char* rule, const MvAST* found);

    // Variables (bucket and name as the tree carries them).
    virtual MvValueContainer* findOrCreateVariable(int bucket, const std::string& name, bool check);
    virtual MvValueContainer* findVariable(int bucket, const std::string& name);
    virtual void incrementVariable(bool global, int bucket, const std::string& name);
    virtual void notifyValueChanged(MvValue* value);
    virtual void notifyVariable(int bucket, const std::string& name);
    virtual MvValueHolder& getVariableValue(int bucket, const std::string& name, bool& writable);
    virtual bool variableExists(int bucket, const std::string& name);
    virtual MvValueHolder& getWindowVariableValue(int bucket, const std::string& name,
                                                  bool& writable);
    virtual void setVariableValue(int bucket, const std::string& name, MvValueHolder value);
    virtual void setWindowVariableReference(int bucket, const std::string& name,
                                            MvValueContainer* target);
    virtual void setWindowVariableValue(int bucket, const std::string& name, MvValueHolder value);
    virtual void deleteVariable(int bucket, const std::string& name);
    virtual void deleteWindowVariable(int bucket, const std::string& name);
    virtual void checkWritable(bool writable);
    virtual void checkInterrupt();
    [[noreturn]] virtual void runtimeError(const MvAST* node, MvException* error);
    virtual ~MvTreeEval();
    virtual void setVariableReference(int bucket, const std::string& name,
                                      MvValueContainer* target, bool writable);
    virtual void setWindowVariablePosition(int bucket, const std::string& name, double x, double y);
    virtual void printValueMaps();

    // Runs the statements of a programme: the root and its siblings.
    void programme(MvAST* root);
    // Runs one statement node (and reports its errors).
    void statement(MvAST* node);
    // Evaluates one expression node into result.
    void expression(const MvAST* node, MvValueHolder& result);
    // Evaluates the expression a function returns. One of numbers only
    // gives a fresh number (never a variable's own value, so that a
    // parameter's number stays with its slot).
    void resultExpression(const MvAST* node, MvValueHolder& result) {
        if (!tryNumberExpression(node, result))
            expression(node, result);
    }
    // Computes an expression of numbers only as a double; false, having
    // done nothing that shows, for any other (see MvEvalNumbers.cpp).
    bool numberExpression(const MvAST* node, double& result) {
        return isNumberShape(node) && tryNumber(node, result);
    }

    MvParser* session() const { return session_; }
    // The evaluator that holds global variables: the global one, or this.
    MvTreeEval* globalScope() { return globalEvaluator_ ? globalEvaluator_ : this; }
    // The innermost native call under way in this run (see MvActiveCalls.h).
    MvParameterBlock*& innermostCall() { return globalScope()->innermostCall_; }
    // checkInterrupt, called only when the host or the process asked for a
    // stop: the check on the paths taken at every step.
    void pollInterrupt() {
        if (MvAbortRequested() || MvSession::of(session_)->interruptRequested())
            checkInterrupt();
    }

    // The line of reports for a node: its own, or its first child's.
    static int reportLine(const MvAST* node);

    // Frames of script-function calls (MvCallFrame.h) reuse their
    // evaluators. startOfCall makes an idle evaluator the scope of a new call
    // under globalEvaluator. A frame keeps its parameters' slots between
    // calls: makeParameter fills a reserved slot again (or makes one),
    // and endOfCall does what destruction does to every other variable (they
    // go, references to them become invalid, the global scope is purged)
    // while the kept slots are only emptied.
    void startOfCall(MvParser* session, MvTreeEval* globalEvaluator);
    MvValueContainer* makeParameter(MvValueContainer* reserved, int bucket,
                                    const std::string& name, MvValueHolder value);
    MvValueContainer* makeReferenceParameter(MvValueContainer* reserved, int bucket,
                                             const std::string& name, MvValueContainer* target);
    // kept lists the slots (with nulls and repeats; distinctKept of them
    // differ); a number alone in one of them may stay for the next call.
    void endOfCall(const std::vector<MvValueContainer*>& kept, std::size_t distinctKept);
    void dropParameter(int bucket, const std::string& name) { valueMap_.remove(bucket, name); }
    MvValueContainer* ownVariable(int bucket, const std::string& name) const {
        return valueMap_.find(bucket, name);
    }
    std::uint64_t variablesEpoch() const { return valueMap_.epoch(); }
    // What the calls of this run remember per call site (MvCallSites.h);
    // kept by the global evaluator.
    MvCallSites& callSites() {
        MvTreeEval* global = globalScope();
        if (!global->callSites_)
            global->makeCallSites();
        return *global->callSites_;
    }

    // Stops a run before it uses up the thread's stack: how deep statements,
    // expressions and calls may nest depends on the stack the thread has
    // left, not on a count. Checked on entry to every statement and
    // expression (see MvStackLimit.h).
    void checkStackDepth() const {
        if (MV_STACK_POSITION() < stackLimit_)
            nestedTooDeeply();
    }

private:
    struct LoopModifiers;

    // Statements.
    void catchableStatement(const MvAST* node);
    void errorHandledStatement(const MvAST* node);
    void codeBlock(const MvAST* node);
    void returnStatement(const MvAST* node);
    void ifStatement(const MvAST* node);
    void setStatement(const MvAST* node);
    void setStatementAux(const MvAST* setNode, bool check);
    void mathStatement(const MvAST* node);
    void listStatement(const MvAST* node);
    void deleteStatement(const MvAST* node);
    void commandStatement(const MvAST* node);
    void repeatStatement(const MvAST* node);
    void repeatNTimes(const MvAST* node);
    void repeatForever(const MvAST* node);
    void repeatWhile(const MvAST* node);
    void repeatFrom(const MvAST* node);
    void repeatUntil(const MvAST* node);
    void repeatFor(const MvAST* node);

    // Loop helpers.
    const MvAST* loopModifiers(const MvAST* first, LoopModifiers& modifiers);
    void runIteration(const MvAST* body, LoopModifiers& modifiers);
    void pace(const LoopModifiers& modifiers);
    void increment(const LoopModifiers& modifiers);
    bool interruptedBeforeIteration();

    // Expressions.
    struct Operands;
    const MvValueHolder* borrowedOperand(const MvAST* node);
    void evaluateOperands(const MvAST* node, Operands& operands);
    void mathExpression(const MvAST* node, MvValueHolder& result);
    void booleanExpression(const MvAST* node, MvValueHolder& result);
    void relationExpression(const MvAST* node, MvValueHolder& result);
    void initializeExpression(const MvAST* node, MvValueHolder& result);
    void listExpression(const MvAST* node, MvValueHolder& result);
    void postfixExpression(const MvAST* node, MvValueHolder& result);
    void propertyExpression(const MvAST* node, MvValueHolder& result);
    void propertySetExpression(const MvAST* node, MvValueHolder& result);
    void indexingExpression(const MvAST* node, MvValueHolder& result);
    void coercionExpression(const MvAST* node, MvValueHolder& result);
    void timeExpression(const MvAST* node, MvValueHolder& result);
    void functionElement(const MvAST* node, MvValueHolder& result);
    // Expressions of numbers only (MvEvalNumbers.cpp); each try gives up,
    // returning false, when a variable in the expression holds no number.
    bool isNumberShape(const MvAST* node);
    int numberHeight(const MvAST* node, int levelsLeft);
    // The value a variable node reads (never null), for reads only.
    MvValue* variableValue(const MvAST* variableNode);
    bool tryNumber(const MvAST* node, double& result);
    bool tryOperands(const MvAST* node, double& left, double& right);
    bool tryOperand(const MvAST* node, double& result);
    bool tryLeaf(const MvAST* node, double& result);
    bool rememberedNumber(const MvAST* node, double& result);
    bool tryNumberExpression(const MvAST* node, MvValueHolder& result);
    bool tryAssignNumber(MvValueContainer* container, const MvAST* source);
    // add, subtract, multiply and divide of a number expression into a
    // variable holding a number of its own, in place; false when the
    // statement is not of that form (it then runs the general way).
    bool tryNumberMath(const MvAST* node, const MvAST* target, const MvAST* operand);
    static MvNumberValue* ownNumberOf(MvValueContainer* container);
    // Assigns a fresh number, in place where the variable holds its own.
    void assignNumber(MvValueContainer* container, double number);
    // Evaluates the source of an assignment: a call of a script function
    // may give a number instead of a value (true).
    bool assignedValue(const MvAST* source, MvValueHolder& value, double& number);
    // Whether a condition holds; numbers are compared without making values.
    bool conditionHolds(const MvAST* node);
    void pluginFunctionExpression(const MvAST* node, MvValueHolder& result);

public:
    // A variable's value slot (the object itself, not a copy), or for files,
    // URLs and the clipboard a loaded value kept in scratch.
    MvValueHolder& identifierExpression(const MvAST* node, bool& writable, MvValueHolder& scratch);

private:
    MvTreeEval* scopeFor(const MvAST* variableNode);
    MvValueContainer* containerFor(const MvAST* variableNode, bool check);
    MvValueContainer* knownVariable(const MvAST* variableNode);
    MvValueContainer* lookUpVariable(const MvAST* variableNode);
    // The value slot of the variable a node with an identifier child names.
    MvValueHolder& variableSlot(const MvAST* variableNode, bool& writable);
    void incrementVariableAt(const MvAST* variableNode);
    std::string windowName(const MvAST* nameExpression);
    void purge();
    void sleepSeconds(double seconds);
    void makeCallSites();
    [[noreturn]] static void nestedTooDeeply();

    MvParser* session_;
    MvTreeEval* globalEvaluator_;
    bool assignTargetMode_ = false;
    bool inProtectedStatement_ = false;
    MvVariableTable valueMap_;
    MvVariableTable windowMap_;
    std::uintptr_t stackLimit_;   // of the thread the run is on
    std::unique_ptr<MvCallSites> callSites_;
    MvParameterBlock* innermostCall_ = nullptr;   // of the run, in the global evaluator
};

#endif
