// Expressions: every construct calls an operation of the value interface;
// operands are evaluated left to right, each completely, and nothing
// short-circuits.
#include "MvCalls.h"
#include "MvScriptFolderScope.h"
#include "MvTreeEval.h"

#include "media/MvClipboardReader.h"
#include "values/MvValueFileProbes.h"
#include "values/MvBooleanValue.h"

#include "frontend/MvAST.h"
#include "morvane/MvArithmetic.h"
#include "morvane/MvColorApi.h"
#include "morvane/MvDateTimeApi.h"
#include "morvane/MvImageApi.h"
#include "morvane/MvException.h"
#include "morvane/MvListApi.h"
#include "morvane/MvParser.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvTokens.h"
#include "morvane/MvValueFile.h"
#include "morvane/MvVectorApi.h"

#include <cstdlib>

// The second index of a two-index form, whose tree is
// #(RINDEX #(LINDEX a i COMMA j)); a tree with the comma and j beside the
// LINDEX node is read too.
const MvAST* MvSecondIndex(const MvAST* lindex) {
    if (lindex->tokenType != MV_TOK_LINDEX)
        return nullptr;
    const MvAST* i = lindex->child() ? lindex->child()->sibling() : nullptr;
    const MvAST* comma = i ? i->sibling() : nullptr;
    if (!comma)
        comma = lindex->sibling();
    if (!comma || comma->tokenType != MV_TOK_COMMA)
        return nullptr;
    return comma->sibling();
}

namespace {

const MvAST* secondChild(const MvAST* node) {
    return node->child() ? node->child()->sibling() : nullptr;
}

[[noreturn]] void raiseKindNotAvailable(const char* kind) {
    MvRaise(std::string("Values of kind ") + kind + " are not available in this build yet.");
}

} // namespace

void MvTreeEval::expression(const MvAST* node, MvValueHolder& result) {
    if (!node)
        noViableAlternative("expression", nullptr);
    checkStackDepth();
    switch (node->tokenType) {
    case MV_TOK_MULT: case MV_TOK_DIV: case MV_TOK_PLUS: case MV_TOK_MINUS:
    case MV_TOK_UNARY_MINUS:
        return mathExpression(node, result);
    case MV_TOK_LINDEX: case MV_TOK_RINDEX:
        return indexingExpression(node, result);
    case MV_TOK_LOCAL: case MV_TOK_GLOBAL: case MV_TOK_CLIPBOARD: case MV_TOK_FILE:
    case MV_TOK_LOCAL_WINDOW: case MV_TOK_GLOBAL_WINDOW: case MV_TOK_URL: {
        bool writable = false;
        MvValueHolder scratch;
        MvValueHolder& slot = identifierExpression(node, writable, scratch);
        if (&slot == &scratch)
            result = std::move(scratch);
        else
            result = slot;
        return;
    }
    case MV_TOK_EQUAL: case MV_TOK_LT: case MV_TOK_LE: case MV_TOK_GT: case MV_TOK_GE:
    case MV_TOK_NE: case MV_TOK_NOT:
        return booleanExpression(node, result);
    case MV_TOK_AND: case MV_TOK_OR:
        return relationExpression(node, result);
    case MV_TOK_OF:
        return propertyExpression(node, result);
    case MV_TOK_WITH:
        return propertySetExpression(node, result);
    case MV_TOK_DATETIME:
        return timeExpression(node, result);
    case MV_TOK_LLIST:
        return listExpression(node, result);
    case MV_TOK_AS:
        return coercionExpression(node, result);
    case MV_TOK_PERCENT: case MV_TOK_SECOND: case MV_TOK_MINUTE: case MV_TOK_HOUR:
    case MV_TOK_DAY: case MV_TOK_WEEK: case MV_TOK_YEAR:
        return postfixExpression(node, result);
    case MV_TOK_SIN: case MV_TOK_ABS: case MV_TOK_MAX: case MV_TOK_MIN: case MV_TOK_COS:
    case MV_TOK_TAN: case MV_TOK_ASIN: case MV_TOK_ACOS: case MV_TOK_ATAN: case MV_TOK_SQRT:
    case MV_TOK_EXP: case MV_TOK_LOG: case MV_TOK_LN: case MV_TOK_ROUND: case MV_TOK_FLOOR:
    case MV_TOK_CEIL: case MV_TOK_POW: case MV_TOK_PLUGIN_FN:
        functionElement(node, result);
        if (!result || result->GetType() == MvTypeUndefined)
            runtimeError(node, new MvException("Function returned no result."));
        return;
    default:
        return initializeExpression(node, result);
    }
}

// The holder of an operand that can be used where it is, without taking a
// reference of its own: a variable's slot or a number literal. Only valid
// while nothing else runs, so it is used for the right operand (and for the
// left one when the right is borrowed too).
const MvValueHolder* MvTreeEval::borrowedOperand(const MvAST* node) {
    if (!node)
        return nullptr;
    switch (node->tokenType) {
    case MV_TOK_LOCAL:
    case MV_TOK_GLOBAL: {
        if (!node->child())
            return nullptr;
        bool writable;
        return &variableSlot(node, writable);
    }
    case MV_TOK_FLOAT: case MV_TOK_EXP_NUM: case MV_TOK_INT1: case MV_TOK_INT2:
    case MV_TOK_INT4: case MV_TOK_INT_TOK:
        return &node->literalValue;
    default:
        return nullptr;
    }
}

namespace {

bool canBorrow(const MvAST* node) {
    switch (node ? node->tokenType : 0) {
    case MV_TOK_LOCAL: case MV_TOK_GLOBAL: case MV_TOK_FLOAT: case MV_TOK_EXP_NUM:
    case MV_TOK_INT1: case MV_TOK_INT2: case MV_TOK_INT4: case MV_TOK_INT_TOK:
        return true;
    default:
        return false;
    }
}

} // namespace

// Both operands of a binary node, left first. A variable or literal on the
// right is used in place; so is one on the left when the right is one too.
struct MvTreeEval::Operands {
    MvValueHolder leftValue, rightValue;
    MvValueHolder* left = nullptr;
    MvValueHolder* right = nullptr;
};

void MvTreeEval::evaluateOperands(const MvAST* node, Operands& operands) {
    const MvAST* leftNode = node->child();
    const MvAST* rightNode = secondChild(node);
    const bool borrowRight = canBorrow(rightNode);
    if (borrowRight && canBorrow(leftNode)) {
        operands.left = const_cast<MvValueHolder*>(borrowedOperand(leftNode));
    } else {
        expression(leftNode, operands.leftValue);
        operands.left = &operands.leftValue;
    }
    if (borrowRight) {
        operands.right = const_cast<MvValueHolder*>(borrowedOperand(rightNode));
    } else {
        expression(rightNode, operands.rightValue);
        operands.right = &operands.rightValue;
    }
}

void MvTreeEval::mathExpression(const MvAST* node, MvValueHolder& result) {
    if (tryNumberExpression(node, result))
        return;
    if (node->tokenType == MV_TOK_UNARY_MINUS) {
        MvValueHolder operand;
        expression(node->child(), operand);
        result = operand->Negate();
        return;
    }
    Operands operands;
    evaluateOperands(node, operands);
    MvValueHolder& left = *operands.left;
    MvValueHolder& right = *operands.right;
    // The result goes straight into the caller's holder: it is a temporary
    // of the caller's, never one of the operands.
    switch (node->tokenType) {
    case MV_TOK_PLUS:
        AddValues(result, left, right, false);
        break;
    case MV_TOK_MINUS:
        SubtractValues(result, left, right, false);
        break;
    case MV_TOK_MULT:
        MultiplyValues(result, left, right, false);
        break;
    default:
        DivideValues(result, left, right, false);
        break;
    }
}

void MvTreeEval::booleanExpression(const MvAST* node, MvValueHolder& result) {
    if (node->tokenType == MV_TOK_NOT) {
        MvValueHolder operand;
        expression(node->child(), operand);
        result = MvBooleanValue::shared(operand->Not());
        return;
    }
    Operands operands;
    evaluateOperands(node, operands);
    MvValueHolder& left = *operands.left;
    MvValueHolder& right = *operands.right;
    bool answer;
    switch (node->tokenType) {
    case MV_TOK_EQUAL:
        answer = left->IsEqual(right.get());
        break;
    case MV_TOK_LT:
        answer = left->IsLess(right.get());
        break;
    case MV_TOK_LE:
        answer = left->IsLessOrEqual(right.get());
        break;
    case MV_TOK_GT:
        answer = left->IsGreater(right.get());
        break;
    case MV_TOK_GE:
        answer = left->IsGreaterOrEqual(right.get());
        break;
    default:
        answer = left->IsNotEqual(right.get());
        break;
    }
    result = MvBooleanValue::shared(answer);
}

void MvTreeEval::relationExpression(const MvAST* node, MvValueHolder& result) {
    MvValueHolder left, right;
    expression(node->child(), left);
    expression(secondChild(node), right);
    bool answer = node->tokenType == MV_TOK_AND ? left->And(right.get()) : left->Or(right.get());
    result = MvBooleanValue::shared(answer);
}

void MvTreeEval::initializeExpression(const MvAST* node, MvValueHolder& result) {
    switch (node->tokenType) {
    case MV_TOK_FLOAT: case MV_TOK_EXP_NUM: case MV_TOK_INT1: case MV_TOK_INT2:
    case MV_TOK_INT4: case MV_TOK_INT_TOK:
        result = node->literalValue;
        return;
    case MV_TOK_STRINGLIT:
    case MV_TOK_BADSTRING:
        result = MvTextCreateFromPointer(node->text.data(),
                                         static_cast<std::uint32_t>(node->text.size()));
        return;
    case MV_TOK_TRUE:
        result = MvBooleanCreate(true);
        return;
    case MV_TOK_FALSE:
        result = MvBooleanCreate(false);
        return;
    case MV_TOK_NUMBER:
        result = MvNumberCreate(0);
        return;
    case MV_TOK_BOOLEAN:
        result = MvBooleanCreate(false);
        return;
    case MV_TOK_TEXT:
        result = MvTextCreate("");
        return;
    case MV_TOK_VECTOR:
        result = MvVectorCreate();
        return;
    case MV_TOK_DATE:
        result = MvDateTimeValueCreate(nullptr);
        return;
    case MV_TOK_COLOR:
        result = MvColorValueCreate(0, 0, 0);
        return;
    case MV_TOK_LIST:
        result = MvListCreate();
        return;
    case MV_TOK_MOVIE:
        result = MvNewMovieValue();
        return;
    case MV_TOK_VIDEOSOURCE:
        raiseKindNotAvailable("videosource");
    case MV_TOK_VIDEOOUTPUT:
        raiseKindNotAvailable("video_output");
    case MV_TOK_FRAME_MONO:
        result = MvFrameMonoCreate(0, 0);
        return;
    case MV_TOK_FRAME:
        result = MvFrameColorCreate(0, 0);
        return;
    case MV_TOK_IMAGE_MONO:
        result = MvImageMonoCreate(0, 0);
        return;
    case MV_TOK_IMAGE:
        result = MvImageColorCreate(0, 0);
        return;
    default:
        noViableAlternative("expression", node);
    }
}

// A literal of numbers is a vector (the empty literal too), one of vectors a
// grey image, anything else a list.
void MvTreeEval::listExpression(const MvAST* node, MvValueHolder& result) {
    MvValueHolder list(MvListCreate());
    bool allNumbers = true;
    bool allVectors = true;
    for (const MvAST* element = node->child(); element; element = element->sibling()) {
        MvValueHolder value;
        expression(element, value);
        MvTypeEnum type = value->GetType();
        allNumbers = allNumbers && type == MvTypeNumber;
        allVectors = allVectors && type == MvTypeVector;
        list->Append(value);
    }
    if (allNumbers) {
        list->Coerce(result, MvTypeVector);
        return;
    }
    if (allVectors) {
        list->Coerce(result, MvTypeImageMono);
        return;
    }
    result = std::move(list);
}

void MvTreeEval::postfixExpression(const MvAST* node, MvValueHolder& result) {
    MvValueHolder amount;
    expression(node->child(), amount);
    double factor = 1;
    switch (node->tokenType) {
    case MV_TOK_PERCENT:
        factor = 100;
        break;
    case MV_TOK_MINUTE:
        factor = 60;
        break;
    case MV_TOK_HOUR:
        factor = 3600;
        break;
    case MV_TOK_DAY:
        factor = 86400;
        break;
    case MV_TOK_WEEK:
        factor = 604800;
        break;
    case MV_TOK_YEAR:
        factor = 31557600;
        break;
    default:
        break;
    }
    MvValueHolder by(MvNumberCreate(factor));
    MvValueHolder scaled;
    if (node->tokenType == MV_TOK_PERCENT)
        DivideValues(scaled, amount, by, false);
    else
        MultiplyValues(scaled, amount, by, false);
    result = std::move(scaled);
}

void MvTreeEval::propertyExpression(const MvAST* node, MvValueHolder& result) {
    const MvAST* property = node->child();
    MvValueHolder object;
    expression(property->sibling(), object);
    result = object->GetProperty(object->GetPropertyId(property->text.c_str()));
}

// A copy of the target with one property changed; the variable the target
// came from keeps its value.
void MvTreeEval::propertySetExpression(const MvAST* node, MvValueHolder& result) {
    const MvAST* targetNode = node->child();
    const MvAST* property = targetNode->sibling();
    MvValueHolder object, value;
    expression(targetNode, object);
    expression(property->sibling(), value);
    if (!object.isSole())
        object = object->Clone();
    object->SetProperty(object->GetPropertyId(property->text.c_str()), value.get());
    result = std::move(object);
}

void MvTreeEval::indexingExpression(const MvAST* node, MvValueHolder& result) {
    if (node->tokenType == MV_TOK_LINDEX) {
        MvValueHolder container, index;
        const bool forWrite = assignTargetMode_;
        expression(node->child(), container);
        expression(secondChild(node), index);
        result = container->GetElement(index.get(), forWrite);
        return;
    }
    const MvAST* first = node->child();
    const MvAST* second = first ? MvSecondIndex(first) : nullptr;
    if (!second || !secondChild(first))
        noViableAlternative("indexingExpression", node);
    MvValueHolder container, i, j;
    expression(first->child(), container);
    expression(secondChild(first), i);
    expression(second, j);
    result = container->GetElement2(i.get(), j.get());
}

void MvTreeEval::coercionExpression(const MvAST* node, MvValueHolder& result) {
    MvValueHolder value;
    expression(node->child(), value);
    const MvAST* typeWord = secondChild(node);
    MvTypeEnum target = MvType::typeFromName(typeWord ? typeWord->text.c_str() : "");
    MvValueHolder converted;
    value->Coerce(converted, target);
    result = std::move(converted);
}

void MvTreeEval::timeExpression(const MvAST* node, MvValueHolder& result) {
    if (!node->dateValue)
        noViableAlternative("timeExpression", node);
    result = node->dateValue->Clone();
}

void MvTreeEval::functionElement(const MvAST* node, MvValueHolder& result) {
    if (node->tokenType == MV_TOK_PLUGIN_FN)
        return pluginFunctionExpression(node, result);
    if (tryNumberExpression(node, result))
        return;
    // A variable or literal argument is used where it is: nothing runs
    // between reading it and calling the function.
    MvValueHolder evaluated;
    const MvValueHolder* borrowed =
        node->tokenType != MV_TOK_POW && canBorrow(node->child()) ? borrowedOperand(node->child())
                                                                  : nullptr;
    if (!borrowed)
        expression(node->child(), evaluated);
    const MvValueHolder& argument = borrowed ? *borrowed : evaluated;
    switch (node->tokenType) {
    case MV_TOK_SIN: result = argument->Sin(); return;
    case MV_TOK_COS: result = argument->Cos(); return;
    case MV_TOK_TAN: result = argument->Tan(); return;
    case MV_TOK_ASIN: result = argument->Asin(); return;
    case MV_TOK_ACOS: result = argument->Acos(); return;
    case MV_TOK_ATAN: result = argument->Atan(); return;
    case MV_TOK_SQRT: result = argument->Sqrt(); return;
    case MV_TOK_EXP: result = argument->Exp(); return;
    case MV_TOK_LOG: result = argument->Log(); return;
    case MV_TOK_LN: result = argument->Ln(); return;
    case MV_TOK_ROUND: result = argument->Round(); return;
    case MV_TOK_FLOOR: result = argument->Floor(); return;
    case MV_TOK_CEIL: result = argument->Ceil(); return;
    case MV_TOK_ABS: result = argument->Abs(); return;
    case MV_TOK_MAX: result = argument->Max(); return;
    case MV_TOK_MIN: result = argument->Min(); return;
    case MV_TOK_POW: {
        MvValueHolder exponent;
        expression(secondChild(node), exponent);
        result = argument->Pow(exponent.get());
        return;
    }
    default:
        noViableAlternative("functionElement", node);
    }
}

// Native and script-defined functions alike: see MvEvalCalls.cpp.
void MvTreeEval::pluginFunctionExpression(const MvAST* node, MvValueHolder& result) {
    MvCallFunction(*this, node, result);
}

bool MvTreeEval::assignedValue(const MvAST* source, MvValueHolder& value, double& number) {
    if (!source || source->tokenType != MV_TOK_PLUGIN_FN) {
        expression(source, value);
        return false;
    }
    checkStackDepth();   // as expression checks before the call
    if (MvCallFunction(*this, source, value, &number))
        return true;
    if (!value || value->GetType() == MvTypeUndefined)
        runtimeError(source, new MvException("Function returned no result."));
    return false;
}

MvValueHolder& MvTreeEval::identifierExpression(const MvAST* node, bool& writable,
                                                MvValueHolder& scratch) {
    switch (node->tokenType) {
    case MV_TOK_LOCAL:
    case MV_TOK_GLOBAL: {
        if (!node->child())
            noViableAlternative("identifierTokenExpr", node);
        return variableSlot(node, writable);
    }
    case MV_TOK_CLIPBOARD:
        writable = false;
        scratch = MvReadClipboard();
        return scratch;
    case MV_TOK_FILE:
    case MV_TOK_URL: {
        writable = false;
        MvValueHolder name;
        expression(node->child(), name);
        std::string text = name->GetText();
        MvScriptFolderScope inScriptFolder(session_);
        scratch = node->tokenType == MV_TOK_FILE ? LoadValueFromFile(text.c_str())
                                                 : LoadValueFromURL(text.c_str());
        return scratch;
    }
    case MV_TOK_LOCAL_WINDOW:
    case MV_TOK_GLOBAL_WINDOW: {
        std::string name = windowName(node->sibling());
        MvTreeEval* scope = node->tokenType == MV_TOK_GLOBAL_WINDOW ? globalScope() : this;
        return scope->getWindowVariableValue(MvAST::bucketOf(name), name, writable);
    }
    default:
        noViableAlternative("identifierExpression", node);
    }
}
