#include "MvCallArguments.h"

#include "MvTreeEval.h"
#include "MvValueContainer.h"

#include "frontend/MvAST.h"
#include "morvane/MvTokens.h"
#include "values/MvNumberValue.h"

void MvCallArgument::makeValue() {
    if (!isNumber)
        return;
    slot.value = new MvNumberValue(number);
    isNumber = false;
}

MvValue* MvCallArgument::value() const {
    if (slot.kind == MvArgumentSlot::Reference)
        return slot.container->readSlot().get();
    return slot.value.get();
}

MvArgumentNode MvReadArgument(MvTreeEval& caller, const MvAST* node) {
    MvArgumentNode written;
    const MvAST* value = node;
    if (node->tokenType == MV_TOK_PARAM_ASSIGN) {
        const MvAST* name = node->child();
        if (!name)
            caller.noViableAlternative("parameterExpression", node);
        written.name = &name->text;
        value = name->sibling();
    }
    if (!value)
        caller.noViableAlternative("parameterValueExpression", node);
    if (value->tokenType == MV_TOK_REF_PARAMETER) {
        const MvAST* variable = value->child();
        if (!variable || !variable->child())
            caller.noViableAlternative("parameterRefParameter", value);
        written.variable = variable;
        return written;
    }
    written.expression = value->tokenType == MV_TOK_NO_REF_PARAMETER ? value->child() : value;
    return written;
}

void MvCollectArgument(MvTreeEval& caller, const MvArgumentNode& written,
                       MvCallArgument& argument) {
    argument.name = written.name;
    if (written.variable) {
        const MvAST* id = written.variable->child();
        MvTreeEval* scope =
            written.variable->tokenType == MV_TOK_GLOBAL ? caller.globalScope() : &caller;
        argument.slot.container = scope->findVariable(id->identifierBucket, id->text);
        argument.slot.kind = MvArgumentSlot::Reference;
        return;
    }
    argument.isNumber = caller.numberExpression(written.expression, argument.number);
    if (!argument.isNumber)
        caller.expression(written.expression, argument.slot.value);
    argument.slot.kind = MvArgumentSlot::Value;
}
