// Statements: if, set, the arithmetic and list statements, delete and the
// commands (print, wait, beep, embedded scripts).
#include "MvScopedValue.h"
#include "MvScriptFolderScope.h"
#include "MvTreeEval.h"

#include "frontend/MvAST.h"
#include "morvane/MvArithmetic.h"
#include "morvane/MvDateTime.h"
#include "morvane/MvException.h"
#include "morvane/MvParser.h"
#include "morvane/MvTokens.h"
#include "platform/MvPlatform.h"

#include <filesystem>
#include <system_error>

namespace {

bool isVariableNode(const MvAST* node) {
    return node && (node->tokenType == MV_TOK_LOCAL || node->tokenType == MV_TOK_GLOBAL);
}

} // namespace

void MvTreeEval::ifStatement(const MvAST* node) {
    const MvAST* ifNode = node->tokenType == MV_TOK_ELSE ? node->child() : node;
    if (!ifNode || ifNode->tokenType != MV_TOK_IF)
        noViableAlternative("ifStatement", node);
    const MvAST* condition = ifNode->child();
    MvAST* thenStatement = condition ? condition->sibling() : nullptr;
    if (!thenStatement)
        noViableAlternative("ifStatement", ifNode);
    if (conditionHolds(condition))
        statement(thenStatement);
    else if (node->tokenType == MV_TOK_ELSE && ifNode->sibling())
        statement(ifNode->sibling());
}

void MvTreeEval::setStatement(const MvAST* node) {
    const MvAST* setNode = node->child();
    if (!setNode || setNode->tokenType != MV_TOK_SET)
        noViableAlternative("setStatement", node);
    setStatementAux(setNode, node->tokenType == MV_CIRC_REF);
}

void MvTreeEval::setStatementAux(const MvAST* setNode, bool check) {
    const MvAST* target = setNode->child();
    if (!target)
        noViableAlternative("setStatementAux", setNode);
    switch (target->tokenType) {
    case MV_TOK_LOCAL:
    case MV_TOK_GLOBAL: {
        MvValueContainer* container = containerFor(target, check);
        const MvAST* source = target->sibling();
        if (source && source->tokenType == MV_TOK_REFERENCE) {
            const MvAST* referred = source->sibling();
            if (!isVariableNode(referred) || !referred->child())
                noViableAlternative("getIdRefContainer", referred);
            MvAST* id = referred->child();
            container->setReference(scopeFor(referred)->findVariable(id->identifierBucket, id->text));
            return;
        }
        if (tryAssignNumber(container, source))
            return;
        // The source may delete variables (a function it calls can), the
        // target among them: the target is then looked up again (and made
        // again if it went).
        MvTreeEval* scope = scopeFor(target);
        const std::uint64_t epoch = scope->variablesEpoch();
        MvValueHolder value;
        double number;
        const bool isNumber = assignedValue(source, value, number);
        if (scope->variablesEpoch() != epoch)
            container = containerFor(target, false);
        if (isNumber)
            assignNumber(container, number);
        else
            container->assign(std::move(value));
        return;
    }
    case MV_TOK_CLIPBOARD: {
        MvValueHolder value;
        expression(target->sibling(), value);
        value->CopyToClipboard();
        return;
    }
    case MV_TOK_FILE: {
        MvValueHolder path, value;
        expression(target->child(), path);
        expression(target->sibling(), value);
        std::string name = path->GetText();
        MvScriptFolderScope inScriptFolder(session_);
        value->SaveToFile(name.c_str());
        return;
    }
    case MV_TOK_LOCAL_WINDOW:
    case MV_TOK_GLOBAL_WINDOW: {
        const MvAST* nameExpression = target->sibling();
        const MvAST* source = nameExpression ? nameExpression->sibling() : nullptr;
        std::string name = windowName(nameExpression);
        int bucket = MvAST::bucketOf(name);
        MvTreeEval* scope = target->tokenType == MV_TOK_GLOBAL_WINDOW ? globalScope() : this;
        if (source && source->tokenType == MV_TOK_REFERENCE) {
            const MvAST* referred = source->sibling();
            if (!isVariableNode(referred) || !referred->child())
                noViableAlternative("getIdRefContainer", referred);
            MvAST* id = referred->child();
            scope->setWindowVariableReference(
                bucket, name, scopeFor(referred)->findVariable(id->identifierBucket, id->text));
            return;
        }
        MvValueHolder value;
        expression(source, value);
        scope->setWindowVariableValue(bucket, name, std::move(value));
        return;
    }
    case MV_TOK_LINDEX: {
        MvValueHolder container, index, value;
        {
            MvScopedValue<bool> forAssignment(assignTargetMode_, true);
            expression(target->child(), container);
        }
        expression(target->child()->sibling(), index);
        expression(target->sibling(), value);
        container->SetElement(index.get(), value.get());
        notifyValueChanged(container.get());
        return;
    }
    case MV_TOK_RINDEX: {
        const MvAST* first = target->child();
        const MvAST* second = first ? MvSecondIndex(first) : nullptr;
        if (!second || !first->child() || !first->child()->sibling())
            noViableAlternative("setStatementAux", target);
        MvValueHolder container, i, j, value;
        expression(first->child(), container);
        expression(first->child()->sibling(), i);
        expression(second, j);
        expression(target->sibling(), value);
        container->SetElement2(i.get(), j.get(), value.get());
        notifyValueChanged(container.get());
        return;
    }
    case MV_TOK_OF: {
        const MvAST* property = target->child();
        MvValueHolder object, value;
        expression(property->sibling(), object);
        expression(target->sibling(), value);
        object->SetProperty(object->GetPropertyId(property->text.c_str()), value.get());
        notifyValueChanged(object.get());
        return;
    }
    default:
        noViableAlternative("setStatementAux", target);
    }
}

void MvTreeEval::mathStatement(const MvAST* node) {
    if (node->tokenType == MV_TOK_EXPR_STATEMENT) {
        MvValueHolder dropped;
        functionElement(node->child(), dropped);
        return;
    }
    const bool targetFirst =
        node->tokenType == MV_TOK_MULTIPLY || node->tokenType == MV_TOK_DIVIDE;
    const MvAST* first = node->child();
    const MvAST* second = first ? first->sibling() : nullptr;
    if (!second)
        noViableAlternative("mathStatement", node);
    const MvAST* targetNode = targetFirst ? first : second;
    const MvAST* operandNode = targetFirst ? second : first;
    if (tryNumberMath(node, targetNode, operandNode))
        return;

    MvValueHolder operand, scratch;
    bool writable = false;
    if (!targetFirst)
        expression(operandNode, operand);
    MvValueHolder& target = identifierExpression(targetNode, writable, scratch);
    if (targetFirst)
        expression(operandNode, operand);
    checkWritable(writable);
    switch (node->tokenType) {
    case MV_TOK_ADD:
        AddValues(target, target, operand, true);
        break;
    case MV_TOK_SUBTRACT:
        SubtractValues(target, target, operand, true);
        break;
    case MV_TOK_MULTIPLY:
        MultiplyValues(target, target, operand, true);
        break;
    default:
        DivideValues(target, target, operand, true);
        break;
    }
    notifyValueChanged(target.get());
}

void MvTreeEval::listStatement(const MvAST* node) {
    const MvAST* itemNode = node->child();
    const MvAST* targetNode = itemNode ? itemNode->sibling() : nullptr;
    if (!targetNode)
        noViableAlternative("listStatement", node);
    MvValueHolder item, position, scratch;
    bool writable = false;
    expression(itemNode, item);
    MvValueHolder& target = identifierExpression(targetNode, writable, scratch);
    if (node->tokenType == MV_TOK_INSERT) {
        if (!targetNode->sibling())
            noViableAlternative("listStatement", node);
        expression(targetNode->sibling(), position);
    }
    checkWritable(writable);
    if (node->tokenType == MV_TOK_APPEND)
        target->Append(item);
    else if (node->tokenType == MV_TOK_PREPEND)
        target->Prepend(item);
    else
        target->Insert(item, position.get());
    notifyValueChanged(target.get());
}

void MvTreeEval::deleteStatement(const MvAST* node) {
    const MvAST* target = node->child();
    if (!target)
        noViableAlternative("deleteStatement", node);
    switch (target->tokenType) {
    case MV_TOK_LOCAL:
    case MV_TOK_GLOBAL: {
        MvAST* id = target->child();
        if (!id)
            noViableAlternative("deleteStatement", target);
        scopeFor(target)->deleteVariable(id->identifierBucket, id->text);
        return;
    }
    case MV_TOK_LOCAL_WINDOW:
    case MV_TOK_GLOBAL_WINDOW: {
        std::string name = windowName(target->sibling());
        MvTreeEval* scope = target->tokenType == MV_TOK_GLOBAL_WINDOW ? globalScope() : this;
        scope->deleteWindowVariable(MvAST::bucketOf(name), name);
        return;
    }
    case MV_TOK_FILE: {
        MvValueHolder path;
        expression(target->child(), path);
        std::string name = path->GetText();
        MvScriptFolderScope inScriptFolder(session_);
        std::error_code error;
        if (!std::filesystem::remove(name, error))
            MvRaise("file \"" + name + "\" cannot be deleted.");
        return;
    }
    case MV_TOK_OF: {
        const MvAST* property = target->child();
        MvValueHolder object;
        expression(property->sibling(), object);
        object->DeleteProperty(object->GetPropertyId(property->text.c_str()));
        notifyValueChanged(object.get());
        return;
    }
    case MV_TOK_LINDEX: {
        MvValueHolder container, index;
        expression(target->child(), container);
        expression(target->child()->sibling(), index);
        container->DeleteElement(index.get());
        notifyValueChanged(container.get());
        return;
    }
    default:
        noViableAlternative("deleteStatement", target);
    }
}

void MvTreeEval::commandStatement(const MvAST* node) {
    switch (node->tokenType) {
    case MV_TOK_PRINT: {
        MvValueHolder value;
        expression(node->child(), value);
        MvSession::of(session_)->writeToConsole(value->GetText() + "\n");
        checkInterrupt();
        return;
    }
    case MV_TOK_WAIT: {
        MvValueHolder value;
        expression(node->child(), value);
        if (value->GetType() == MvTypeNumber) {
            sleepSeconds(value->GetNumber());
        } else if (value->GetType() == MvTypeDate) {
            MvDateTime now;
            sleepSeconds(MvDateTime::difference(*value->GetDate(), now));
        } else {
            MvRaise("wait expects either a number or a date");
        }
        return;
    }
    case MV_TOK_BEEP:
        MvPlatform::beep();
        checkInterrupt();
        return;
    default:   // an embedded script block
        if (node->script)
            MvRaise("AppleScript not available on x86 machines");
        checkInterrupt();
        return;
    }
}
