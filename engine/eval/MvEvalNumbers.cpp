// Expressions made of numbers only: number literals, variables, the four
// operations, unary minus, pow and the functions of one number. They are
// computed as doubles, with no value made for the steps in between.
//
// Such an expression has no side effects. When a variable in it turns out
// not to hold a number, the computation gives up and the general evaluation
// starts over; it reads the same variables in the same order and so reports
// exactly what it would have reported anyway.
#include "MvNodeMemory.h"
#include "MvTreeEval.h"

#include "frontend/MvAST.h"
#include "values/MvNumberValue.h"
#include "morvane/MvException.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvTokens.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool isFunctionOfOneNumber(int type) {
    switch (type) {
    case MV_TOK_SIN: case MV_TOK_COS: case MV_TOK_TAN: case MV_TOK_ASIN: case MV_TOK_ACOS:
    case MV_TOK_ATAN: case MV_TOK_SQRT: case MV_TOK_EXP: case MV_TOK_LOG: case MV_TOK_LN:
    case MV_TOK_ROUND: case MV_TOK_FLOOR: case MV_TOK_CEIL: case MV_TOK_ABS:
        return true;
    default:
        return false;
    }
}

// The same results as the number value's own functions.
double applyFunction(int type, double x) {
    switch (type) {
    case MV_TOK_SIN: return std::sin(x);
    case MV_TOK_COS: return std::cos(x);
    case MV_TOK_TAN: return std::tan(x);
    case MV_TOK_ASIN: return std::asin(x);
    case MV_TOK_ACOS: return std::acos(x);
    case MV_TOK_ATAN: return std::atan(x);
    case MV_TOK_SQRT: return std::sqrt(x);
    case MV_TOK_EXP: return std::exp(x);
    case MV_TOK_LOG: return std::log10(x);
    case MV_TOK_LN: return std::log(x);
    case MV_TOK_ROUND: return MvNumberValue::roundHalfUp(x);
    case MV_TOK_FLOOR: return std::floor(x);
    case MV_TOK_CEIL: return std::ceil(x);
    default: return std::fabs(x);
    }
}

// The comparisons of two numbers; equality is "neither less nor greater".
bool compare(int type, double a, double b) {
    switch (type) {
    case MV_TOK_EQUAL: return !(a < b) && !(a > b);
    case MV_TOK_LT: return a < b;
    case MV_TOK_LE: return a <= b;
    case MV_TOK_GT: return a > b;
    case MV_TOK_GE: return a >= b;
    default: return a < b || a > b;
    }
}

bool isComparison(int type) {
    switch (type) {
    case MV_TOK_EQUAL: case MV_TOK_LT: case MV_TOK_LE: case MV_TOK_GT: case MV_TOK_GE:
    case MV_TOK_NE:
        return true;
    default:
        return false;
    }
}

const MvAST* secondChild(const MvAST* node) {
    return node->child() ? node->child()->sibling() : nullptr;
}

} // namespace

// A node of numbers only remembers its height (1 for a leaf). Taller
// expressions go the general way, which watches the stack; the search
// below a node stops after that many levels, and the nodes above the stop
// are left to the general way too.
constexpr int kMaxNumberHeight = 100;

int MvTreeEval::numberHeight(const MvAST* node, int levelsLeft) {
    if (!node || levelsLeft == 0)
        return -1;
    if (MvNodeMemory::numberShape(node) != 0)
        return MvNodeMemory::numberShape(node);
    const int type = node->tokenType;
    int height = -1;
    if (MvIsNumberLiteral(type)) {
        height = 1;
    } else if (type == MV_TOK_LOCAL || type == MV_TOK_GLOBAL) {
        height = node->child() ? 1 : -1;
    } else if (type == MV_TOK_PLUS || type == MV_TOK_MINUS || type == MV_TOK_MULT ||
               type == MV_TOK_DIV || type == MV_TOK_POW) {
        const int left = numberHeight(node->child(), levelsLeft - 1);
        const int right = left > 0 ? numberHeight(secondChild(node), levelsLeft - 1) : -1;
        height = right > 0 ? std::max(left, right) + 1 : -1;
    } else if (type == MV_TOK_UNARY_MINUS || isFunctionOfOneNumber(type)) {
        const int operand = numberHeight(node->child(), levelsLeft - 1);
        height = operand > 0 ? operand + 1 : -1;
    }
    if (height > kMaxNumberHeight)
        height = -1;
    MvNodeMemory::setNumberShape(node, static_cast<std::int8_t>(height));
    return height;
}

bool MvTreeEval::isNumberShape(const MvAST* node) {
    if (node && MvNodeMemory::numberShape(node) != 0)
        return MvNodeMemory::numberShape(node) > 0;
    return numberHeight(node, kMaxNumberHeight) > 0;
}

// The number a variable node's remembered slot holds (see knownVariable);
// false when the node remembers no slot that is still current, or the
// variable holds no number.
inline bool MvTreeEval::rememberedNumber(const MvAST* node, double& result) {
    const MvAST* id = node->child();
    const MvTreeEval* scope = node->tokenType == MV_TOK_GLOBAL ? globalScope() : this;
    if (MvNodeMemory::variableEpoch(id) != scope->valueMap_.epoch())
        return false;
    MvValue* value = MvNodeMemory::variable(id)->readSlot().get();
    if (!value || value->GetType() != MvTypeNumber)
        return false;
    result = static_cast<MvNumberValue*>(value)->value;
    return true;
}

// A leaf the quick reads in tryOperand did not cover: a variable the node
// does not remember (a read that raises what any read of it raises). Gives
// up (false) when the variable holds no number.
bool MvTreeEval::tryLeaf(const MvAST* node, double& result) {
    MvValue* value = variableValue(node);
    if (value->GetType() != MvTypeNumber)
        return false;
    result = static_cast<MvNumberValue*>(value)->value;
    return true;
}

// The leaves (height 1: number literals and variables) are most of the
// nodes; a literal's number and a remembered variable are read here, in
// place.
inline bool MvTreeEval::tryOperand(const MvAST* node, double& result) {
    if (MvNodeMemory::numberShape(node) != 1)
        return tryNumber(node, result);
    if (MvValue* literal = node->literalValue.get()) {
        result = static_cast<MvNumberValue*>(literal)->value;
        return true;
    }
    const int type = node->tokenType;
    if ((type == MV_TOK_LOCAL || type == MV_TOK_GLOBAL) && rememberedNumber(node, result))
        return true;
    return tryLeaf(node, result);
}

// Only for nodes isNumberShape accepts, whose every node is one of these.
bool MvTreeEval::tryNumber(const MvAST* node, double& result) {
    if (MvNodeMemory::numberShape(node) == 1)
        return tryOperand(node, result);
    double a, b;
    switch (node->tokenType) {
    case MV_TOK_PLUS:
        if (!tryOperands(node, a, b))
            return false;
        result = a + b;
        return true;
    case MV_TOK_MINUS:
        if (!tryOperands(node, a, b))
            return false;
        result = a - b;
        return true;
    case MV_TOK_MULT:
        if (!tryOperands(node, a, b))
            return false;
        result = a * b;
        return true;
    case MV_TOK_DIV:
        if (!tryOperands(node, a, b))
            return false;
        if (b == 0.0)
            MvRaise("Attempt to divide by zero");
        result = a / b;
        return true;
    case MV_TOK_POW:
        if (!tryOperands(node, a, b))
            return false;
        result = std::pow(a, b);
        return true;
    case MV_TOK_UNARY_MINUS:
        if (!tryOperand(node->child(), a))
            return false;
        result = -a;
        return true;
    default:   // a function of one number
        if (!tryOperand(node->child(), a))
            return false;
        result = applyFunction(node->tokenType, a);
        return true;
    }
}

bool MvTreeEval::tryOperands(const MvAST* node, double& left, double& right) {
    const MvAST* first = node->child();
    return tryOperand(first, left) && tryOperand(first->sibling(), right);
}

bool MvTreeEval::tryNumberExpression(const MvAST* node, MvValueHolder& result) {
    double value;
    if (!isNumberShape(node) || !tryNumber(node, value))
        return false;
    if (result && result->GetType() == MvTypeNumber && result.isSole())
        static_cast<MvNumberValue*>(result.get())->value = value;
    else
        result = new MvNumberValue(value);
    return true;
}


// The number a variable holds that nobody else holds (not through a
// reference): assigning a fresh number to the variable comes to changing
// it in place. Null when the variable holds anything else.
MvNumberValue* MvTreeEval::ownNumberOf(MvValueContainer* container) {
    if (container->content() != MvValueContainer::Value)
        return nullptr;
    MvValueHolder& slot = container->readSlot();
    if (!slot || slot->GetType() != MvTypeNumber || !slot.isSole())
        return nullptr;
    return static_cast<MvNumberValue*>(slot.get());
}

bool MvTreeEval::tryAssignNumber(MvValueContainer* container, const MvAST* source) {
    if (!isNumberShape(source))
        return false;
    MvNumberValue* own = ownNumberOf(container);
    double value;
    if (!own || !tryNumber(source, value))
        return false;
    own->value = value;
    container->valueChanged();
    return true;
}

void MvTreeEval::assignNumber(MvValueContainer* container, double number) {
    if (MvNumberValue* own = ownNumberOf(container)) {
        own->value = number;
        container->valueChanged();
        return;
    }
    container->assign(MvValueHolder(new MvNumberValue(number)));
}

bool MvTreeEval::conditionHolds(const MvAST* node) {
    if (node && isComparison(node->tokenType)) {
        const MvAST* left = node->child();
        const MvAST* right = secondChild(node);
        double a, b;
        if (isNumberShape(left) && isNumberShape(right) && tryOperand(left, a) &&
            tryOperand(right, b))
            return compare(node->tokenType, a, b);
    }
    MvValueHolder test;
    expression(node, test);
    return test->GetBoolean();
}
