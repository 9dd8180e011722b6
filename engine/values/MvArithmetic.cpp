// The arithmetic dispatch: result kind, result holder, copy on write, swap.
#include "MvColorValue.h"
#include "MvDateTimeValue.h"
#include "MvNumberValue.h"
#include "MvTextValue.h"
#include "MvVectorValue.h"
#include "MvImageMakers.h"
#include "MvValueFileProbes.h"
#include "morvane/MvArithmetic.h"
#include "morvane/MvException.h"

#include <utility>

namespace {

using Operation = void (MvValue::*)(MvValueHolder&, MvValueHolder&);

struct OperatorTraits {
    MvArithmeticOp op;
    bool swaps;                 // a op b may be computed as b op a
    const char* symbol;
    const char* inPlaceSymbol;  // names the operation when a variable would change kind
    const char* lossMessage;    // the variable cannot hold the result
    Operation apply;
};

const OperatorTraits kAddition = {MvArithmeticOp::Add, true, "+", "add",
                                  "Type mismatch in addition - information would be lost",
                                  &MvValue::Add};
const OperatorTraits kSubtraction = {MvArithmeticOp::Subtract, false, "-", "surgical -",
                                     "Type mismatch in subtract - information would be lost",
                                     &MvValue::Subtract};
const OperatorTraits kMultiplication = {
    MvArithmeticOp::Multiply, true, "*", "*",
    "Type mismatch in multiplication - information would be lost", &MvValue::Multiply};
const OperatorTraits kDivision = {MvArithmeticOp::Divide, false, "/", "surgical /",
                                  "Type mismatch in divide - information would be lost",
                                  &MvValue::Divide};

[[noreturn]] void raiseNullOperand() {
    MvRaise("Operation attempted on NULL value. Function may not have returned a result.");
}

bool canReuse(MvValueHolder& result, MvTypeEnum resultType, MvValue* left) {
    return result.get() && result->CanHoldResult(resultType, left);
}

// Gives the holder an object of its own before it is written: a shared
// value is replaced by a copy.
void makeUnique(MvValueHolder& result) {
    if (!result.isSole())
        result = result->Clone();
}

void dispatch(const OperatorTraits& traits, MvValueHolder& result, MvValueHolder& left,
              MvValueHolder& right, bool inPlace) {
    if (!left.get() || !right.get())
        raiseNullOperand();
    MvValueHolder* l = &left;
    MvValueHolder* r = &right;
    MvTypeEnum leftType = left->GetType();
    MvTypeEnum rightType = right->GetType();
    MvTypeEnum resultType = MvResultType(traits.op, leftType, rightType);

    if (inPlace) {
        if (leftType != resultType)
            throw new MvOperatorException(leftType, traits.inPlaceSymbol, rightType);
        if (resultType == MvTypeUndefined)
            throw new MvOperatorException(leftType, traits.symbol, rightType);
        if (!canReuse(result, resultType, l->get()))
            MvRaise(traits.lossMessage);
        (l->get()->*traits.apply)(result, *r);
        return;
    }

    if (resultType == MvTypeUndefined) {
        MvTypeEnum swapped =
            traits.swaps ? MvResultType(traits.op, rightType, leftType) : MvTypeUndefined;
        if (swapped == MvTypeUndefined)
            throw new MvOperatorException(leftType, traits.symbol, rightType);
        std::swap(l, r);
        resultType = swapped;
    }
    if (canReuse(result, resultType, l->get()))
        makeUnique(result);
    else
        result = ShallowConstruct(resultType, l->get());
    (l->get()->*traits.apply)(result, *r);
}

} // namespace

void AddValues(MvValueHolder& result, MvValueHolder& left, MvValueHolder& right, bool inPlace) {
    dispatch(kAddition, result, left, right, inPlace);
}

void SubtractValues(MvValueHolder& result, MvValueHolder& left, MvValueHolder& right,
                    bool inPlace) {
    dispatch(kSubtraction, result, left, right, inPlace);
}

void MultiplyValues(MvValueHolder& result, MvValueHolder& left, MvValueHolder& right,
                    bool inPlace) {
    dispatch(kMultiplication, result, left, right, inPlace);
}

void DivideValues(MvValueHolder& result, MvValueHolder& left, MvValueHolder& right,
                  bool inPlace) {
    dispatch(kDivision, result, left, right, inPlace);
}

MvValue* ShallowConstruct(MvTypeEnum t, MvValue* shape) {
    switch (t) {
    case MvTypeNumber:
        return new MvNumberValue(0.0);
    case MvTypeText:
        return new MvTextValue();
    case MvTypeVector:
        // As many zeros as the shape has elements; a shape that is not a
        // vector raises the type error of its GetVector.
        return new MvVectorValue(std::vector<double>(shape ? shape->GetVector()->size() : 0));
    case MvTypeColor:
        return new MvColorValue();
    case MvTypeDate:
        return new MvDateTimeValue();
    case MvTypeMovie:
        return MvNewMovieValue();
    case MvTypeFrameMono:
    case MvTypeFrame:
    case MvTypeImageMono:
    case MvTypeImage:
        if (MvInstalledImageMakers().ofShape)
            return MvInstalledImageMakers().ofShape(t, shape);
        [[fallthrough]];
    default:
        throw new MvCoercionException(shape ? shape->GetType() : t, t,
                                      " doesn't have ShallowConstruct implemented.");
    }
}
