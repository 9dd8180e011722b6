// The variable hooks: lookup, creation, assignment, references, windows,
// deletion with its purge, and change notification.
#include "MvCalls.h"
#include "MvNodeMemory.h"
#include "MvTreeEval.h"

#include "frontend/MvAST.h"
#include "frontend/MvAbortFlag.h"
#include "values/MvNumberValue.h"
#include "morvane/MvException.h"
#include "morvane/MvParser.h"
#include "morvane/MvProcess.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvTokens.h"

#include <sstream>

MvTreeEval* MvTreeEval::scopeFor(const MvAST* variableNode) {
    return variableNode->tokenType == MV_TOK_GLOBAL ? globalScope() : this;
}

namespace {

void checkOverwrite(const MvValueContainer* container, bool check) {
    if (check && container->content() == MvValueContainer::Reference && !container->isWritable())
        MvRaise("Illegal attempt to overwrite a reference with expression containing that reference.");
}

} // namespace

// The variable an identifier node names in its scope, or null. The node
// remembers what it found, and the lookup is skipped while the table has
// lost no entry since.
inline MvValueContainer* MvTreeEval::knownVariable(const MvAST* variableNode) {
    const MvAST* id = variableNode->child();
    const MvTreeEval* scope = variableNode->tokenType == MV_TOK_GLOBAL ? globalScope() : this;
    if (MvNodeMemory::variableEpoch(id) == scope->valueMap_.epoch())
        return MvNodeMemory::variable(id);
    return lookUpVariable(variableNode);
}

MvValueContainer* MvTreeEval::lookUpVariable(const MvAST* variableNode) {
    const MvAST* id = variableNode->child();
    const MvVariableTable& table = scopeFor(variableNode)->valueMap_;
    MvValueContainer* container = table.find(id->identifierBucket, id->text);
    if (container) {
        MvNodeMemory::rememberVariable(id, container, table.rememberedEpoch());
    }
    return container;
}

MvValueContainer* MvTreeEval::containerFor(const MvAST* variableNode, bool check) {
    const MvAST* id = variableNode->child();
    if (!id)
        noViableAlternative("getIdContainCreate", variableNode);
    MvYieldInline();
    if (MvValueContainer* container = knownVariable(variableNode)) {
        checkOverwrite(container, check);
        return container;
    }
    return scopeFor(variableNode)->findOrCreateVariable(id->identifierBucket, id->text, check);
}

std::string MvTreeEval::windowName(const MvAST* nameExpression) {
    MvValueHolder name;
    expression(nameExpression, name);
    return name->GetText();
}

MvValueContainer* MvTreeEval::findOrCreateVariable(int bucket, const std::string& name,
                                                   bool check) {
    MvYieldInline();
    MvValueContainer* container = valueMap_.find(bucket, name);
    if (!container)
        return valueMap_.emplace(bucket, name, MvValueHolder(), name,
                                 MvValueContainer::PlainName, session_);
    checkOverwrite(container, check);
    return container;
}

MvValueContainer* MvTreeEval::findVariable(int bucket, const std::string& name) {
    MvYieldInline();
    MvValueContainer* container = valueMap_.find(bucket, name);
    if (!container)
        throw new MvIdentifierException(name.c_str());
    return container;
}

bool MvTreeEval::variableExists(int bucket, const std::string& name) {
    return valueMap_.find(bucket, name) != nullptr;
}

namespace {

// Assigns to the variable, or makes it holding the value.
void assignOrCreate(MvVariableTable& table, int bucket, const std::string& name,
                    MvValueHolder value, MvValueContainer::NameKind kind, MvParser* session) {
    MvYieldInline();
    if (MvValueContainer* container = table.find(bucket, name)) {
        container->assign(std::move(value));
        return;
    }
    table.emplace(bucket, name, std::move(value), name, kind, session);
}

// Makes the variable refer to target, or makes it as such a reference.
void referOrCreate(MvVariableTable& table, int bucket, const std::string& name,
                   MvValueContainer* target, MvValueContainer::NameKind kind, MvParser* session,
                   bool writable) {
    MvYieldInline();
    if (MvValueContainer* container = table.find(bucket, name)) {
        container->setReference(target);
        return;
    }
    table.emplace(bucket, name, target, name, kind, session, writable);
}

// The value slot a read of the variable sees (never empty).
MvValueHolder& liveSlot(MvValueContainer* container, const std::string& name) {
    if (!container)
        throw new MvIdentifierException(name.c_str());
    MvValueHolder& slot = container->readSlot();
    if (!slot)
        MvRaise("Reference to an invalid variable.");
    return slot;
}

// The same, and whether it may be changed.
MvValueHolder& readableSlot(MvValueContainer* container, const std::string& name,
                            bool& writable) {
    MvValueHolder& slot = liveSlot(container, name);
    writable = container->isWritable();
    return slot;
}

} // namespace

MvValueHolder& MvTreeEval::getVariableValue(int bucket, const std::string& name, bool& writable) {
    MvYieldInline();
    checkInterrupt();
    return readableSlot(valueMap_.find(bucket, name), name, writable);
}

MvValueHolder& MvTreeEval::variableSlot(const MvAST* variableNode, bool& writable) {
    pollInterrupt();
    return readableSlot(knownVariable(variableNode), variableNode->child()->text, writable);
}

MvValue* MvTreeEval::variableValue(const MvAST* variableNode) {
    return liveSlot(knownVariable(variableNode), variableNode->child()->text).get();
}

MvValueHolder& MvTreeEval::getWindowVariableValue(int bucket, const std::string& name,
                                                  bool& writable) {
    checkInterrupt();
    return readableSlot(windowMap_.find(bucket, name), name, writable);
}

void MvTreeEval::setVariableValue(int bucket, const std::string& name, MvValueHolder value) {
    assignOrCreate(valueMap_, bucket, name, std::move(value), MvValueContainer::PlainName,
                   session_);
}

void MvTreeEval::setVariableReference(int bucket, const std::string& name,
                                      MvValueContainer* target, bool writable) {
    referOrCreate(valueMap_, bucket, name, target, MvValueContainer::PlainName, session_,
                  writable);
}

void MvTreeEval::setWindowVariableValue(int bucket, const std::string& name, MvValueHolder value) {
    assignOrCreate(windowMap_, bucket, name, std::move(value), MvValueContainer::WindowName,
                   session_);
}

// Window references are read-only: the window shows the other variable.
void MvTreeEval::setWindowVariableReference(int bucket, const std::string& name,
                                            MvValueContainer* target) {
    referOrCreate(windowMap_, bucket, name, target, MvValueContainer::WindowName, session_,
                  false);
}

void MvTreeEval::setWindowVariablePosition(int bucket, const std::string& name, double x,
                                           double y) {
    MvValueContainer* container = windowMap_.find(bucket, name);
    if (!container) {
        if (globalEvaluator_)
            return globalEvaluator_->setWindowVariablePosition(bucket, name, x, y);
        throw new MvIdentifierException(name.c_str());
    }
    if (MvWindow* window = container->window())
        window->setPosition(static_cast<int>(x), static_cast<int>(y));
}

void MvTreeEval::notifyVariable(int bucket, const std::string& name) {
    findVariable(bucket, name)->valueChanged();
}

// After an in-place change: every variable whose value is that very object
// redraws its window and tells its referees. Skipped when no variable
// anywhere has a window or a referee, which is the common case.
void MvTreeEval::notifyValueChanged(MvValue* value) {
    if (!value || !MvValueContainer::anyObserved())
        return;
    valueMap_.forEach([value](const std::string&, MvValueContainer* container) {
        if (container->readSlot().get() == value)
            container->valueChanged();
    });
    windowMap_.forEach([value](const std::string&, MvValueContainer* container) {
        if (container->readSlot().get() == value)
            container->valueChanged();
    });
    if (globalEvaluator_)
        globalEvaluator_->notifyValueChanged(value);
}

namespace {

// In place, as "add 1 to" does.
void addOne(MvValueHolder& slot, bool writable) {
    if (!writable)
        MvRaise("Attempt to increment a reference");
    if (!slot || slot->GetType() != MvTypeNumber)
        MvRaise("Increment variable must be a number.");
    static_cast<MvNumberValue*>(slot.get())->value += 1;
}

} // namespace

void MvTreeEval::incrementVariable(bool global, int bucket, const std::string& name) {
    MvTreeEval* scope = global && globalEvaluator_ ? globalEvaluator_ : this;
    bool writable = false;
    MvValueHolder& slot = scope->getVariableValue(bucket, name, writable);
    addOne(slot, writable);
    scope->notifyVariable(bucket, name);
}

// The loops' increment: what incrementVariable does, for the variable a
// node names (remembered by the node).
void MvTreeEval::incrementVariableAt(const MvAST* variableNode) {
    pollInterrupt();
    MvValueContainer* container = knownVariable(variableNode);
    if (container && container->content() == MvValueContainer::Value) {
        // A number of the variable's own, the usual case, is counted at once.
        MvValue* value = container->readSlot().get();
        if (value && value->GetType() == MvTypeNumber) {
            static_cast<MvNumberValue*>(value)->value += 1;
            container->valueChanged();
            return;
        }
    }
    bool writable = false;
    MvValueHolder& slot = readableSlot(container, variableNode->child()->text, writable);
    addOne(slot, writable);
    container->valueChanged();
}

// The variable must already hold the number (nothing is made), so reading
// it raises nothing and the operand's errors are the only ones, met in the
// order the general way meets them. A number expression has no side
// effects, so giving up after computing it changes nothing.
bool MvTreeEval::tryNumberMath(const MvAST* node, const MvAST* target, const MvAST* operand) {
    if ((target->tokenType != MV_TOK_LOCAL && target->tokenType != MV_TOK_GLOBAL) ||
        !target->child() || !isNumberShape(operand))
        return false;
    pollInterrupt();   // as the general way's read of the variable does
    MvValueContainer* container = knownVariable(target);
    MvNumberValue* own = container ? ownNumberOf(container) : nullptr;
    double amount;
    if (!own || !tryNumber(operand, amount))
        return false;
    switch (node->tokenType) {
    case MV_TOK_ADD:
        own->value += amount;
        break;
    case MV_TOK_SUBTRACT:
        own->value -= amount;
        break;
    case MV_TOK_MULTIPLY:
        own->value *= amount;
        break;
    default:
        if (amount == 0.0)
            MvRaise("Attempt to divide by zero");
        own->value /= amount;
        break;
    }
    notifyValueChanged(own);
    return true;
}

// Deleting a writable reference (a reference parameter) also deletes the
// variables that are its target here and in the global scope.
void MvTreeEval::deleteVariable(int bucket, const std::string& name) {
    MvYieldInline();
    MvValueContainer* container = valueMap_.find(bucket, name);
    if (!container)
        throw new MvIdentifierException(name.c_str());
    MvValueContainer* target = nullptr;
    if (container->content() == MvValueContainer::Reference && container->writable())
        target = container->target();
    // Calls under way must not keep arguments that refer to the variables
    // going away.
    MvActiveCalls::withdraw(innermostCall(), container);
    if (target)
        MvActiveCalls::withdraw(innermostCall(), target);
    valueMap_.remove(bucket, name);
    if (target) {
        for (MvTreeEval* scope : {this, globalEvaluator_}) {
            if (!scope)
                continue;
            scope->valueMap_.removeIf([target](MvValueContainer* c) { return c == target; });
            scope->windowMap_.removeIf([target](MvValueContainer* c) { return c == target; });
        }
    }
    purge();
    if (globalEvaluator_)
        globalEvaluator_->purge();
}

void MvTreeEval::deleteWindowVariable(int bucket, const std::string& name) {
    if (!windowMap_.remove(bucket, name))
        throw new MvIdentifierException(name.c_str());
    purge();
    if (globalEvaluator_)
        globalEvaluator_->purge();
}

void MvTreeEval::purge() {
    auto doomed = [](MvValueContainer* c) {
        return c->content() == MvValueContainer::Empty ||
               c->nameKind() == MvValueContainer::NameNeverSet;
    };
    valueMap_.removeIf(doomed);
    windowMap_.removeIf(doomed);
}

// A diagnostic dump of both tables, written to the session's console.
void MvTreeEval::printValueMaps() {
    std::ostringstream text;
    auto dump = [&text](const std::string& name, MvValueContainer* container) {
        static const char* const kKinds[] = {"Window variable", "Variable"};
        text << name << ' ' << "ID\t\t: ";
        if (container->nameKind() == MvValueContainer::NameNeverSet)
            text << "Error : Name never set";
        else
            text << kKinds[container->nameKind()];
        text << '\n' << "referees\t: " << container->refereeCount() << '\n';
    };
    text << "Printing value map \n";
    valueMap_.forEach(dump);
    text << '\n' << "Printing window value map \n";
    windowMap_.forEach(dump);
    text << '\n';
    MvSession::of(session_)->writeToConsole(text.str());
}
