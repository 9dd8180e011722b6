// The arithmetic dispatch (result holder preparation, swapping, in-place
// rules, copy on write), coercion through the value interface, and the
// default errors a value kind reports for operations it lacks.
#include "thrown_message.h"
#include "morvane/MvListApi.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

MvValueHolder num(double x) { return MvValueHolder(MvNumberCreate(x)); }
MvValueHolder txt(const char* s) { return MvValueHolder(MvTextCreate(s)); }
MvValueHolder boolean(bool b) { return MvValueHolder(MvBooleanCreate(b)); }
MvValueHolder none() { return MvValueHolder(MvNoValueCreate()); }
MvValueHolder vector(std::initializer_list<double> elements) {
    MvValueHolder v(MvVectorCreate());
    for (double e : elements)
        MvVectorAppend(MvValueAsVector(v.get()), e);
    return v;
}

using Dispatch = void (*)(MvValueHolder&, MvValueHolder&, MvValueHolder&, bool);

// "left op right" into a fresh result holder.
MvValueHolder compute(Dispatch op, MvValueHolder left, MvValueHolder right) {
    MvValueHolder result;
    op(result, left, right, false);
    return result;
}

std::string computeError(Dispatch op, MvValueHolder left, MvValueHolder right) {
    return thrownMessage([&] {
        MvValueHolder result;
        op(result, left, right, false);
    });
}

// The in-place statement form: the variable is both result and left operand.
std::string inPlaceError(Dispatch op, MvValueHolder& variable, MvValueHolder right) {
    return thrownMessage([&] { op(variable, variable, right, true); });
}

// ---------------------------------------------------------------------------
// Numbers with numbers

TEST(DispatchNumbers, FourOperations) {
    MvValueHolder r = compute(AddValues, num(2), num(3));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetType(), MvTypeNumber);
    EXPECT_DOUBLE_EQ(r->GetNumber(), 5);
    EXPECT_DOUBLE_EQ(compute(SubtractValues, num(3), num(5))->GetNumber(), -2);
    EXPECT_DOUBLE_EQ(compute(MultiplyValues, num(6), num(7))->GetNumber(), 42);
    EXPECT_DOUBLE_EQ(compute(DivideValues, num(7), num(2))->GetNumber(), 3.5);
}

TEST(DispatchNumbers, NonCommutativeOrderIsKept) {
    EXPECT_DOUBLE_EQ(compute(SubtractValues, num(10), num(4))->GetNumber(), 6);
    EXPECT_DOUBLE_EQ(compute(DivideValues, num(1), num(4))->GetNumber(), 0.25);
}

TEST(DispatchNumbers, FreshResultIsOwnedByTheHolderAlone) {
    MvValueHolder r = compute(AddValues, num(1), num(1));
    EXPECT_EQ(r->refCount, 1u);
    EXPECT_EQ(r->holderCount, 1u);
}

TEST(DispatchNumbers, OperandsAreUnchanged) {
    MvValueHolder a = num(2), b = num(3), r;
    MultiplyValues(r, a, b, false);
    EXPECT_DOUBLE_EQ(a->GetNumber(), 2);
    EXPECT_DOUBLE_EQ(b->GetNumber(), 3);
    EXPECT_NE(r.get(), a.get());
    EXPECT_NE(r.get(), b.get());
    EXPECT_EQ(a->refCount, 1u);
    EXPECT_EQ(b->refCount, 1u);
}

TEST(DispatchNumbers, DivideByZero) {
    EXPECT_EQ(computeError(DivideValues, num(7), num(0)), "Attempt to divide by zero");
    EXPECT_EQ(computeError(DivideValues, num(0), num(0)), "Attempt to divide by zero");
    // Negative zero equals 0.0 as well.
    EXPECT_EQ(computeError(DivideValues, num(7), num(-0.0)), "Attempt to divide by zero");
}

TEST(DispatchNumbers, DivideByTinyNumberIsFine) {
    MvValueHolder r;
    MvValueHolder a = num(7), b = num(0.0000001);
    EXPECT_NO_THROW(DivideValues(r, a, b, false));
    ASSERT_TRUE(r);
    EXPECT_NEAR(r->GetNumber(), 7e7, 1e-3);
}

TEST(DispatchNumbers, FailedDivisionLeavesResultAlone) {
    MvValueHolder r = num(99);
    MvValue* before = r.get();
    MvValueHolder a = num(7), b = num(0);
    EXPECT_EQ(thrownMessage([&] { DivideValues(r, a, b, false); }), "Attempt to divide by zero");
    EXPECT_EQ(r.get(), before);
    EXPECT_DOUBLE_EQ(r->GetNumber(), 99);

    MvValueHolder x = num(5);
    EXPECT_EQ(inPlaceError(DivideValues, x, num(0)), "Attempt to divide by zero");
    EXPECT_DOUBLE_EQ(x->GetNumber(), 5);
}

// ---------------------------------------------------------------------------
// Texts and mixed additions

TEST(DispatchText, NumberPlusTextConcatenates) {
    MvValueHolder r = compute(AddValues, num(5), txt("abc"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetType(), MvTypeText);
    EXPECT_EQ(r->GetText(), "5abc");
    EXPECT_EQ(compute(AddValues, num(0.5), txt("x"))->GetText(), "0.5x");
    EXPECT_EQ(compute(AddValues, num(1.0 / 3.0), txt(""))->GetText(), "0.333333");
}

TEST(DispatchText, TextPlusNumberConcatenates) {
    MvValueHolder r = compute(AddValues, txt("abc"), num(5));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetType(), MvTypeText);
    EXPECT_EQ(r->GetText(), "abc5");
}

TEST(DispatchText, TextWithTextAndBooleans) {
    EXPECT_EQ(compute(AddValues, txt("ab"), txt("cd"))->GetText(), "abcd");
    EXPECT_EQ(compute(AddValues, txt(""), txt(""))->GetText(), "");
    EXPECT_EQ(compute(AddValues, txt("abc"), txt(""))->GetText(), "abc");
    EXPECT_EQ(compute(AddValues, txt("is "), boolean(true))->GetText(), "is true");
    EXPECT_EQ(compute(AddValues, boolean(false), txt("!"))->GetText(), "false!");
}

TEST(DispatchText, OperandsOfConcatenationAreUnchanged) {
    MvValueHolder a = num(5), b = txt("abc"), r;
    AddValues(r, a, b, false);
    EXPECT_EQ(a->GetType(), MvTypeNumber);
    EXPECT_DOUBLE_EQ(a->GetNumber(), 5);
    EXPECT_EQ(b->GetText(), "abc");
    EXPECT_EQ(r->refCount, 1u);
    EXPECT_EQ(r->holderCount, 1u);
}

TEST(DispatchText, UndefinedCombinationsNameOperandsInOriginalOrder) {
    // Neither order is defined: the error names the operands as given.
    EXPECT_EQ(computeError(AddValues, boolean(true), num(1)),
              "Can't execute \"boolean + number\" : incompatible types.");
    EXPECT_EQ(computeError(AddValues, num(1), boolean(true)),
              "Can't execute \"number + boolean\" : incompatible types.");
    EXPECT_EQ(computeError(AddValues, boolean(true), boolean(false)),
              "Can't execute \"boolean + boolean\" : incompatible types.");
    EXPECT_EQ(computeError(AddValues, none(), num(1)),
              "Can't execute \"undefined + number\" : incompatible types.");
    EXPECT_EQ(computeError(MultiplyValues, txt("a"), num(2)),
              "Can't execute \"text * number\" : incompatible types.");
    EXPECT_EQ(computeError(MultiplyValues, num(2), txt("a")),
              "Can't execute \"number * text\" : incompatible types.");
}

TEST(DispatchText, SubtractAndDivideNeverSwap) {
    EXPECT_EQ(computeError(SubtractValues, num(3), txt("a")),
              "Can't execute \"number - text\" : incompatible types.");
    EXPECT_EQ(computeError(SubtractValues, txt("a"), num(3)),
              "Can't execute \"text - number\" : incompatible types.");
    EXPECT_EQ(computeError(SubtractValues, txt("a"), txt("b")),
              "Can't execute \"text - text\" : incompatible types.");
    EXPECT_EQ(computeError(DivideValues, txt("a"), num(3)),
              "Can't execute \"text / number\" : incompatible types.");
    EXPECT_EQ(computeError(DivideValues, num(3), boolean(true)),
              "Can't execute \"number / boolean\" : incompatible types.");
}

TEST(DispatchText, FailedDispatchLeavesCountsAlone) {
    MvValueHolder a = boolean(true), b = num(1), r = num(8);
    MvValue* before = r.get();
    thrownMessage([&] { AddValues(r, a, b, false); });
    EXPECT_EQ(r.get(), before);
    EXPECT_DOUBLE_EQ(r->GetNumber(), 8);
    EXPECT_EQ(a->refCount, 1u);
    EXPECT_EQ(a->holderCount, 1u);
    EXPECT_EQ(b->refCount, 1u);
    EXPECT_EQ(b->holderCount, 1u);
    EXPECT_EQ(r->refCount, 1u);
}

// ---------------------------------------------------------------------------
// In-place forms

TEST(DispatchInPlace, NumberChangesTheVeryObject) {
    MvValueHolder x = num(10);
    MvValue* object = x.get();
    MvValueHolder one = num(1);
    AddValues(x, x, one, true);
    EXPECT_EQ(x.get(), object);
    EXPECT_DOUBLE_EQ(x->GetNumber(), 11);
    MvValueHolder four = num(4), eight = num(8);
    SubtractValues(x, x, one, true);
    MultiplyValues(x, x, four, true);
    DivideValues(x, x, eight, true);
    EXPECT_EQ(x.get(), object);
    EXPECT_DOUBLE_EQ(x->GetNumber(), 5);
}

TEST(DispatchInPlace, SharedObjectIsChangedWithoutCopy) {
    MvValueHolder x = num(10);
    MvValueHolder other = x;  // a second holder of the same number
    MvValue* object = x.get();
    MvValueHolder five = num(5);
    AddValues(x, x, five, true);
    EXPECT_EQ(x.get(), object);
    EXPECT_EQ(other.get(), object);
    EXPECT_DOUBLE_EQ(other->GetNumber(), 15);
    EXPECT_EQ(object->refCount, 2u);
    EXPECT_EQ(object->holderCount, 2u);
}

TEST(DispatchInPlace, TextAppendsInPlace) {
    MvValueHolder s = txt("abc");
    MvValue* object = s.get();
    MvValueHolder five = num(5), de = txt("de");
    AddValues(s, s, five, true);
    EXPECT_EQ(s.get(), object);
    EXPECT_EQ(s->GetText(), "abc5");
    AddValues(s, s, de, true);
    EXPECT_EQ(s.get(), object);
    EXPECT_EQ(s->GetText(), "abc5de");
}

TEST(DispatchInPlace, ChangeOfKindIsRefused) {
    MvValueHolder x = num(1);
    MvValue* object = x.get();
    EXPECT_EQ(inPlaceError(AddValues, x, txt("abc")),
              "Can't execute \"number add text\" : incompatible types.");
    EXPECT_EQ(x.get(), object);
    EXPECT_EQ(x->GetType(), MvTypeNumber);
    EXPECT_DOUBLE_EQ(x->GetNumber(), 1);

    MvValueHolder b = boolean(true);
    EXPECT_EQ(inPlaceError(AddValues, b, txt("x")),
              "Can't execute \"boolean add text\" : incompatible types.");
}

TEST(DispatchInPlace, UndefinedResultUsesTheInPlaceText) {
    // The result kind (undefined) differs from the variable's kind, so the
    // in-place text is used, not the operator symbol.
    MvValueHolder x = num(3);
    EXPECT_EQ(inPlaceError(SubtractValues, x, txt("a")),
              "Can't execute \"number surgical - text\" : incompatible types.");
    MvValueHolder s = txt("abc");
    EXPECT_EQ(inPlaceError(SubtractValues, s, txt("b")),
              "Can't execute \"text surgical - text\" : incompatible types.");
    EXPECT_EQ(inPlaceError(DivideValues, s, txt("b")),
              "Can't execute \"text surgical / text\" : incompatible types.");
    EXPECT_EQ(inPlaceError(MultiplyValues, s, num(2)),
              "Can't execute \"text * number\" : incompatible types.");
    EXPECT_EQ(inPlaceError(AddValues, x, boolean(true)),
              "Can't execute \"number add boolean\" : incompatible types.");
    EXPECT_EQ(s->GetText(), "abc");
}

TEST(DispatchInPlace, NoValueVariableGetsTheOperatorSymbol) {
    // For the no-value the variable's kind equals the (undefined) result
    // kind, so the kind-change check passes and the symbol is named.
    MvValueHolder v = none();
    EXPECT_EQ(inPlaceError(AddValues, v, none()),
              "Can't execute \"undefined + undefined\" : incompatible types.");
    EXPECT_EQ(inPlaceError(SubtractValues, v, num(1)),
              "Can't execute \"undefined - number\" : incompatible types.");
    EXPECT_EQ(inPlaceError(MultiplyValues, v, txt("t")),
              "Can't execute \"undefined * text\" : incompatible types.");
    EXPECT_EQ(inPlaceError(DivideValues, v, boolean(false)),
              "Can't execute \"undefined / boolean\" : incompatible types.");
}

TEST(DispatchInPlace, ResultHolderThatCannotReceiveIsRefused) {
    MvValueHolder a = num(2), b = num(3);
    MvValueHolder empty;
    EXPECT_EQ(thrownMessage([&] { AddValues(empty, a, b, true); }),
              "Type mismatch in addition - information would be lost");
    EXPECT_FALSE(empty);
    EXPECT_EQ(thrownMessage([&] { SubtractValues(empty, a, b, true); }),
              "Type mismatch in subtract - information would be lost");
    EXPECT_EQ(thrownMessage([&] { DivideValues(empty, a, b, true); }),
              "Type mismatch in divide - information would be lost");
    bool multiplyRefused = false;
    try {
        MultiplyValues(empty, a, b, true);
    } catch (MvException* e) {
        multiplyRefused = true;
        delete e;
    }
    EXPECT_TRUE(multiplyRefused);
    EXPECT_FALSE(empty);

    // A holder of another kind cannot receive the number either, and is
    // left as it was.
    MvValueHolder wrong = txt("keep");
    MvValue* object = wrong.get();
    EXPECT_EQ(thrownMessage([&] { AddValues(wrong, a, b, true); }),
              "Type mismatch in addition - information would be lost");
    EXPECT_EQ(wrong.get(), object);
    EXPECT_EQ(wrong->GetText(), "keep");
}

TEST(DispatchInPlace, KindChangeIsCheckedBeforeTheHolder) {
    MvValueHolder a = num(2), empty;
    MvValueHolder t = txt("x");
    EXPECT_EQ(thrownMessage([&] { AddValues(empty, a, t, true); }),
              "Can't execute \"number add text\" : incompatible types.");
}

// ---------------------------------------------------------------------------
// Preparing the result holder outside the in-place form

TEST(DispatchResultHolder, UniqueHolderOfRightKindIsReused) {
    MvValueHolder r = num(0);
    MvValue* object = r.get();
    MvValueHolder a = num(4), b = num(5);
    AddValues(r, a, b, false);
    EXPECT_EQ(r.get(), object);
    EXPECT_DOUBLE_EQ(r->GetNumber(), 9);
    EXPECT_EQ(r->refCount, 1u);
}

TEST(DispatchResultHolder, SharedHolderIsCopiedFirst) {
    MvValueHolder r = num(100);
    MvValueHolder other = r;
    MvValue* object = r.get();
    MvValueHolder a = num(4), b = num(5);
    AddValues(r, a, b, false);
    EXPECT_NE(r.get(), object);
    EXPECT_DOUBLE_EQ(r->GetNumber(), 9);
    EXPECT_EQ(other.get(), object);
    EXPECT_DOUBLE_EQ(other->GetNumber(), 100);
    // The old value lost the result holder's reference.
    EXPECT_EQ(object->refCount, 1u);
    EXPECT_EQ(object->holderCount, 1u);
    EXPECT_EQ(r->refCount, 1u);
    EXPECT_EQ(r->holderCount, 1u);
}

TEST(DispatchResultHolder, ResultSharingTheLeftOperandLeavesItAlone) {
    // "set r to x - 1" where r and x hold the same number.
    MvValueHolder x = num(10);
    MvValueHolder r = x;
    MvValueHolder one = num(1);
    SubtractValues(r, x, one, false);
    EXPECT_DOUBLE_EQ(x->GetNumber(), 10);
    EXPECT_DOUBLE_EQ(r->GetNumber(), 9);
    EXPECT_NE(r.get(), x.get());
}

TEST(DispatchResultHolder, SharedTextHolderIsCopiedFirst) {
    MvValueHolder r = txt("old");
    MvValueHolder other = r;
    MvValueHolder a = num(5), b = txt("abc");
    AddValues(r, a, b, false);
    EXPECT_EQ(r->GetText(), "5abc");
    EXPECT_EQ(other->GetText(), "old");
    EXPECT_NE(r.get(), other.get());
    EXPECT_EQ(other->refCount, 1u);
}

TEST(DispatchResultHolder, WrongKindIsReplaced) {
    MvValueHolder r = txt("zz");
    MvValueHolder other = r;
    MvValue* object = r.get();
    MvValueHolder a = num(4), b = num(5);
    AddValues(r, a, b, false);
    EXPECT_NE(r.get(), object);
    EXPECT_EQ(r->GetType(), MvTypeNumber);
    EXPECT_DOUBLE_EQ(r->GetNumber(), 9);
    EXPECT_EQ(other->GetText(), "zz");
    EXPECT_EQ(object->refCount, 1u);
    EXPECT_EQ(object->holderCount, 1u);

    // A number holder for a text result is replaced too.
    MvValueHolder n = num(1);
    MvValueHolder five = num(5), abc = txt("abc");
    AddValues(n, five, abc, false);
    EXPECT_EQ(n->GetType(), MvTypeText);
    EXPECT_EQ(n->GetText(), "5abc");
}

TEST(DispatchResultHolder, HolderAliasingLeftOperandNotInPlace) {
    // The result holder is the left operand's own holder and unique: the
    // number is reused and overwritten.
    MvValueHolder x = num(3);
    MvValue* object = x.get();
    MvValueHolder three = num(3);
    MultiplyValues(x, x, three, false);
    EXPECT_EQ(x.get(), object);
    EXPECT_DOUBLE_EQ(x->GetNumber(), 9);
}

TEST(DispatchResultHolder, HolderAliasingRightOperand) {
    // "set y to x - y" and "set s to t + s": the right operand must be read
    // before the result, which is the right operand's own object, is written.
    MvValueHolder x = num(2), y = num(3);
    MvValue* object = y.get();
    SubtractValues(y, x, y, false);
    EXPECT_EQ(y.get(), object);
    EXPECT_DOUBLE_EQ(y->GetNumber(), -1);
    EXPECT_DOUBLE_EQ(x->GetNumber(), 2);

    MvValueHolder t = txt("x"), s = txt("abc");
    AddValues(s, t, s, false);
    EXPECT_EQ(s->GetText(), "xabc");
    EXPECT_EQ(t->GetText(), "x");

    MvValueHolder n = num(4);
    MvValueHolder u = txt("u");
    AddValues(u, n, u, false);
    EXPECT_EQ(u->GetText(), "4u");
}

TEST(DispatchResultHolder, OneHolderAsAllThree) {
    MvValueHolder x = num(6);
    AddValues(x, x, x, true);
    EXPECT_DOUBLE_EQ(x->GetNumber(), 12);
    DivideValues(x, x, x, false);
    EXPECT_DOUBLE_EQ(x->GetNumber(), 1);

    MvValueHolder s = txt("ab");
    AddValues(s, s, s, true);
    EXPECT_EQ(s->GetText(), "abab");
    AddValues(s, s, s, false);
    EXPECT_EQ(s->GetText(), "abababab");
}

TEST(DispatchResultHolder, CanHoldResultDefault) {
    MvValueHolder n = num(1), t = txt("t");
    EXPECT_TRUE(n->CanHoldResult(MvTypeNumber, n.get()));
    EXPECT_FALSE(n->CanHoldResult(MvTypeText, n.get()));
    EXPECT_TRUE(t->CanHoldResult(MvTypeText, n.get()));
    EXPECT_FALSE(t->CanHoldResult(MvTypeNumber, t.get()));
}

// ---------------------------------------------------------------------------
// ShallowConstruct

TEST(ShallowConstructTest, NumberAndText) {
    MvValueHolder shape = num(12);
    MvValueHolder n(ShallowConstruct(MvTypeNumber, shape.get()));
    ASSERT_TRUE(n);
    EXPECT_EQ(n->GetType(), MvTypeNumber);
    EXPECT_DOUBLE_EQ(n->GetNumber(), 0);
    EXPECT_NE(n.get(), shape.get());
    EXPECT_EQ(n->refCount, 1u);
    EXPECT_EQ(n->holderCount, 1u);

    MvValueHolder t(ShallowConstruct(MvTypeText, shape.get()));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->GetType(), MvTypeText);
    EXPECT_EQ(t->GetText(), "");
}

TEST(ShallowConstructTest, KindsWithoutBlankRaiseCoercionError) {
    const std::string suffix = "  doesn't have ShallowConstruct implemented.";
    MvValueHolder shape = num(1);
    for (auto [kind, name] : std::vector<std::pair<MvTypeEnum, std::string>>{
             {MvTypeBoolean, "boolean"}, {MvTypeList, "list"}, {MvTypeUndefined, "undefined"}}) {
        std::string message = thrownMessage([&] { ShallowConstruct(kind, shape.get()); });
        // The source kind is not fixed; the target and the suffix are.
        EXPECT_EQ(message.rfind("Coercion from (", 0), 0u) << message;
        const std::string tail = ") to (" + name + ")" + suffix;
        ASSERT_GE(message.size(), tail.size()) << message;
        EXPECT_EQ(message.substr(message.size() - tail.size()), tail) << message;
    }
}

// ---------------------------------------------------------------------------
// Coercion through the value interface

TEST(CoerceValues, NumberToNumberIsTheSameObject) {
    MvValueHolder x = num(3);
    MvValueHolder r;
    x->Coerce(r, MvTypeNumber);
    EXPECT_EQ(r.get(), x.get());
    EXPECT_EQ(x->refCount, 2u);
    EXPECT_EQ(x->holderCount, 2u);
    r.release();
    EXPECT_EQ(x->refCount, 1u);
}

TEST(CoerceValues, NumberToTextIsANewText) {
    MvValueHolder x = num(2.5);
    MvValueHolder r;
    x->Coerce(r, MvTypeText);
    ASSERT_TRUE(r);
    EXPECT_NE(r.get(), x.get());
    EXPECT_EQ(r->GetType(), MvTypeText);
    EXPECT_EQ(r->GetText(), "2.5");
    EXPECT_EQ(r->refCount, 1u);
    EXPECT_EQ(x->refCount, 1u);
}

TEST(CoerceValues, PreviousContentOfResultIsReleased) {
    MvValueHolder x = num(7);
    MvValueHolder old = txt("old");
    MvValueHolder r = old;
    x->Coerce(r, MvTypeText);
    EXPECT_EQ(r->GetText(), "7");
    EXPECT_EQ(old->refCount, 1u);
    EXPECT_EQ(old->holderCount, 1u);
}

TEST(CoerceValues, NotPossible) {
    MvValueHolder r;
    EXPECT_EQ(thrownMessage([&] { num(1)->Coerce(r, MvTypeList); }),
              "Coercion from (number) to (list) is not possible.");
    EXPECT_EQ(thrownMessage([&] { num(1)->Coerce(r, MvTypeBoolean); }),
              "Coercion from (number) to (boolean) is not possible.");
    EXPECT_EQ(thrownMessage([&] { num(1)->Coerce(r, MvTypeUndefined); }),
              "Coercion from (number) to (undefined) is not possible.");
    EXPECT_EQ(thrownMessage([&] { boolean(true)->Coerce(r, MvTypeNumber); }),
              "Coercion from (boolean) to (number) is not possible.");
    EXPECT_EQ(thrownMessage([&] { txt("1")->Coerce(r, MvTypeDate); }),
              "Coercion from (text) to (date) is not possible.");
    EXPECT_EQ(thrownMessage([&] { none()->Coerce(r, MvTypeText); }),
              "Coercion from (undefined) to (text) is not possible.");
    EXPECT_FALSE(r);
}

TEST(CoerceValues, ListOfVectorsToImageMono) {
    // Rows are the vectors; the image is as wide as the longest, and the
    // missing pixels of shorter rows are 0. An empty list gives an empty image.
    MvValueHolder r;
    MvValueHolder list(MvListCreate());
    list->Coerce(r, MvTypeImageMono);
    EXPECT_EQ(r->GetType(), MvTypeImageMono);
    EXPECT_EQ(r->GetText().substr(0, 24), "image_mono\n size :\t(0,0)");
    MvValueHolder row1(vector({1, 2, 3}));
    MvValueHolder row2(vector({4}));
    list->Append(row1);
    list->Append(row2);
    list->Coerce(r, MvTypeImageMono);
    EXPECT_EQ(r->GetText().substr(0, 24), "image_mono\n size :\t(3,2)");
    MvValueHolder number(MvNumberCreate(5));
    list->Append(number);
    EXPECT_EQ(thrownMessage([&] { list->Coerce(r, MvTypeImageMono); }),
              "Type mismatch error, expecting (vector)");
}

TEST(CoerceValues, BooleanToText) {
    MvValueHolder r;
    boolean(true)->Coerce(r, MvTypeText);
    EXPECT_EQ(r->GetText(), "true");
    boolean(false)->Coerce(r, MvTypeText);
    EXPECT_EQ(r->GetText(), "false");
}

TEST(CoerceValues, TextToItselfAndNoValueToItself) {
    MvValueHolder s = txt("abc"), r;
    s->Coerce(r, MvTypeText);
    EXPECT_EQ(r.get(), s.get());
    EXPECT_EQ(s->refCount, 2u);

    MvValueHolder v = none(), rv;
    v->Coerce(rv, MvTypeUndefined);
    EXPECT_EQ(rv.get(), v.get());
}

TEST(CoerceValues, TextToNumber) {
    const std::vector<std::pair<const char*, double>> cases = {
        {"3.5", 3.5}, {"12abc", 12}, {"x", 0}, {"", 0}, {"  7", 7}, {"-2.5e2", -250}, {"1 2", 1}};
    for (const auto& [source, expected] : cases) {
        MvValueHolder s = txt(source), r;
        s->Coerce(r, MvTypeNumber);
        ASSERT_TRUE(r) << source;
        EXPECT_NE(r.get(), s.get());
        EXPECT_EQ(r->GetType(), MvTypeNumber) << source;
        EXPECT_DOUBLE_EQ(r->GetNumber(), expected) << '"' << source << '"';
        EXPECT_EQ(s->GetText(), source);
    }
}

// ---------------------------------------------------------------------------
// Comparisons

TEST(NumberComparisons, AroundEquality) {
    MvValueHolder three = num(3), also = num(3), five = num(5);
    EXPECT_TRUE(three->IsEqual(also.get()));
    EXPECT_FALSE(three->IsEqual(five.get()));
    EXPECT_FALSE(three->IsNotEqual(also.get()));
    EXPECT_TRUE(three->IsNotEqual(five.get()));

    EXPECT_TRUE(three->IsLess(five.get()));
    EXPECT_FALSE(three->IsLess(also.get()));
    EXPECT_FALSE(five->IsLess(three.get()));

    EXPECT_TRUE(three->IsLessOrEqual(also.get()));
    EXPECT_TRUE(three->IsLessOrEqual(five.get()));
    EXPECT_FALSE(five->IsLessOrEqual(three.get()));

    EXPECT_TRUE(five->IsGreater(three.get()));
    EXPECT_FALSE(three->IsGreater(also.get()));
    EXPECT_FALSE(three->IsGreater(five.get()));

    EXPECT_TRUE(three->IsGreaterOrEqual(also.get()));
    EXPECT_TRUE(five->IsGreaterOrEqual(three.get()));
    EXPECT_FALSE(three->IsGreaterOrEqual(five.get()));
}

TEST(NumberComparisons, NegativeAndTinyDifferences) {
    MvValueHolder a = num(-1), b = num(-1 + 1e-12), z = num(0), nz = num(-0.0);
    EXPECT_TRUE(a->IsLess(b.get()));
    EXPECT_TRUE(a->IsNotEqual(b.get()));
    EXPECT_TRUE(z->IsEqual(nz.get()));
    EXPECT_FALSE(z->IsNotEqual(nz.get()));
}

TEST(NumberComparisons, EqualityIsNeitherLessNorGreater) {
    // Equality is "neither less nor greater", so a NaN equals every number
    // while the ordering tests are all false.
    MvValueHolder nan = num(std::numeric_limits<double>::quiet_NaN()), one = num(1);
    EXPECT_TRUE(nan->IsEqual(one.get()));
    EXPECT_TRUE(one->IsEqual(nan.get()));
    EXPECT_FALSE(nan->IsNotEqual(one.get()));
    EXPECT_FALSE(nan->IsLess(one.get()));
    EXPECT_FALSE(nan->IsLessOrEqual(one.get()));
    EXPECT_FALSE(nan->IsGreater(one.get()));
    EXPECT_FALSE(nan->IsGreaterOrEqual(one.get()));
}

TEST(NumberComparisons, OtherKindHasNoNumber) {
    MvValueHolder n = num(3), t = txt("3"), b = boolean(true);
    const std::string expecting = "Type mismatch error, expecting (number)";
    EXPECT_EQ(thrownMessage([&] { n->IsLess(t.get()); }), expecting);
    EXPECT_EQ(thrownMessage([&] { n->IsEqual(t.get()); }), expecting);
    EXPECT_EQ(thrownMessage([&] { n->IsNotEqual(t.get()); }), expecting);
    EXPECT_EQ(thrownMessage([&] { n->IsGreaterOrEqual(t.get()); }), expecting);
    EXPECT_EQ(thrownMessage([&] { n->IsGreater(b.get()); }), expecting);
}

TEST(TextComparisons, EqualityUsesTheOtherValuesText) {
    MvValueHolder t = txt("5"), n = num(5), other = txt("5 ");
    EXPECT_TRUE(t->IsEqual(n.get()));
    EXPECT_FALSE(t->IsNotEqual(n.get()));
    EXPECT_FALSE(t->IsEqual(other.get()));
    EXPECT_TRUE(t->IsNotEqual(other.get()));
    MvValueHolder upper = txt("ABC"), lower = txt("abc");
    EXPECT_FALSE(upper->IsEqual(lower.get()));
}

TEST(TextComparisons, TextsHaveNoOrder) {
    MvValueHolder a = txt("a"), b = txt("b");
    EXPECT_EQ(thrownMessage([&] { a->IsLess(b.get()); }),
              "Can't execute \"text < text\" : incompatible types.");
    EXPECT_EQ(thrownMessage([&] { a->IsLessOrEqual(b.get()); }),
              "Can't execute \"text <= text\" : incompatible types.");
    EXPECT_EQ(thrownMessage([&] { a->IsGreater(b.get()); }),
              "Can't execute \"text > text\" : incompatible types.");
    EXPECT_EQ(thrownMessage([&] { a->IsGreaterOrEqual(b.get()); }),
              "Can't execute \"text >= text\" : incompatible types.");
    MvValueHolder n = num(1);
    EXPECT_EQ(thrownMessage([&] { a->IsLess(n.get()); }),
              "Can't execute \"text < number\" : incompatible types.");
}

TEST(DefaultComparisons, NoValueHasNoEquality) {
    MvValueHolder v = none(), n = num(1);
    EXPECT_EQ(thrownMessage([&] { v->IsEqual(n.get()); }),
              "Can't execute \"undefined = number\" : incompatible types.");
    // The default inequality is the negation of the equality, so it fails
    // the same way.
    EXPECT_EQ(thrownMessage([&] { v->IsNotEqual(n.get()); }),
              "Can't execute \"undefined = number\" : incompatible types.");
}

// ---------------------------------------------------------------------------
// Defaults for operations a kind lacks

TEST(DefaultOperations, OneValueFunctionsOfAText) {
    MvValueHolder t = txt("abc");
    const std::vector<std::pair<std::string, std::function<MvValue*()>>> ops = {
        {"sdev", [&] { return t->Sdev(); }},   {"average", [&] { return t->Average(); }},
        {"max", [&] { return t->Max(); }},     {"min", [&] { return t->Min(); }},
        {"sin", [&] { return t->Sin(); }},     {"cos", [&] { return t->Cos(); }},
        {"tan", [&] { return t->Tan(); }},     {"asin", [&] { return t->Asin(); }},
        {"acos", [&] { return t->Acos(); }},   {"atan", [&] { return t->Atan(); }},
        {"sqrt", [&] { return t->Sqrt(); }},   {"exp", [&] { return t->Exp(); }},
        {"log", [&] { return t->Log(); }},     {"ln", [&] { return t->Ln(); }},
        {"round", [&] { return t->Round(); }}, {"floor", [&] { return t->Floor(); }},
        {"ceil", [&] { return t->Ceil(); }},   {"abs", [&] { return t->Abs(); }}};
    for (const auto& [name, op] : ops)
        EXPECT_EQ(thrownMessage([&op = op] { op(); }),
                  "Can't execute \"" + name + "(text)\" : incompatible type.")
            << name;
}

TEST(DefaultOperations, NegateOfATextIsOperatorOnly) {
    MvValueHolder t = txt("abc");
    EXPECT_EQ(thrownMessage([&] { t->Negate(); }), "Operator (-) used with incompatible types");
}

TEST(DefaultOperations, NotOfANumber) {
    MvValueHolder n = num(1);
    EXPECT_EQ(thrownMessage([&] { n->Not(); }), "Can't execute \"!(number)\" : incompatible type.");
}

TEST(DefaultOperations, TwoValueFunctionsOfATextAreOperatorErrors) {
    MvValueHolder t = txt("abc"), n = num(2);
    for (auto [name, op] : std::vector<std::pair<std::string, std::function<void()>>>{
             {"pow", [&] { t->Pow(n.get()); }},
             {"difference", [&] { t->Difference(n.get(), 0, false); }}}) {
        bool operatorError = false;
        try {
            op();
        } catch (MvException* e) {
            operatorError = dynamic_cast<MvOperatorException*>(e) != nullptr;
            EXPECT_NE(e->getMessage().find(name), std::string::npos) << e->getMessage();
            delete e;
        }
        EXPECT_TRUE(operatorError) << name;
    }
}

TEST(DefaultOperations, IndexingAndElementsOfANumber) {
    MvValueHolder n = num(1), i = num(0), j = num(1), v = num(9);
    EXPECT_EQ(thrownMessage([&] { n->GetElement(i.get(), false); }),
              "Operator ([i]) used with incompatible types");
    EXPECT_EQ(thrownMessage([&] { n->GetElement(i.get(), true); }),
              "Operator ([i]) used with incompatible types");
    EXPECT_EQ(thrownMessage([&] { n->GetElement2(i.get(), j.get()); }),
              "Operator ([i,j]) used with incompatible types");
    EXPECT_EQ(thrownMessage([&] { n->SetElement(i.get(), v.get()); }),
              "Cannot set indexed values for this type");
    EXPECT_EQ(thrownMessage([&] { n->SetElement2(i.get(), j.get(), v.get()); }),
              "Cannot set double indexed values for this type");
    EXPECT_EQ(thrownMessage([&] { n->DeleteElement(i.get()); }),
              "Cannot delete elements from values of this type");
    EXPECT_EQ(thrownMessage([&] { n->Append(v); }),
              "Operator (append) used with incompatible types");
    EXPECT_EQ(thrownMessage([&] { n->Prepend(v); }),
              "Operator (prepend) used with incompatible types");
    EXPECT_EQ(thrownMessage([&] { n->Insert(v, i.get()); }),
              "Operator (insert) used with incompatible types");
    EXPECT_DOUBLE_EQ(n->GetNumber(), 1);
}

TEST(DefaultOperations, AccessorsOfOtherKinds) {
    MvValueHolder n = num(1), t = txt("1"), v = none();
    EXPECT_EQ(thrownMessage([&] { t->GetNumber(); }), "Type mismatch error, expecting (number)");
    EXPECT_EQ(thrownMessage([&] { n->GetBoolean(); }), "Type mismatch error, expecting (boolean)");
    EXPECT_EQ(thrownMessage([&] { n->GetVector(); }), "Type mismatch error, expecting (vector)");
    EXPECT_EQ(thrownMessage([&] { n->GetDate(); }), "Type mismatch error, expecting (date)");
    EXPECT_EQ(thrownMessage([&] { n->GetColor(); }), "Type mismatch error, expecting (color)");
    EXPECT_EQ(thrownMessage([&] { v->GetText(); }), "Type mismatch error, expecting (text)");
}

TEST(DefaultProperties, TypePropertyGivesTheTypeName) {
    for (auto [holder, name] : std::vector<std::pair<MvValueHolder, std::string>>{
             {num(1), "number"}, {txt("a"), "text"}, {boolean(true), "boolean"},
             {none(), "undefined"}}) {
        EXPECT_EQ(holder->GetPropertyId("type"), 1) << name;
        MvValueHolder p(holder->GetProperty(1));
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(p->GetType(), MvTypeText);
        EXPECT_EQ(p->GetText(), name);
        EXPECT_NE(p.get(), holder.get());
    }
}

TEST(DefaultProperties, OtherNamesAndIds) {
    MvValueHolder n = num(1);
    EXPECT_EQ(n->GetPropertyId("width"), 0);
    EXPECT_EQ(n->GetPropertyId("length"), 0);
    EXPECT_EQ(n->GetPropertyId("Type"), 0);
    EXPECT_EQ(n->GetPropertyId(""), 0);
    EXPECT_EQ(thrownMessage([&] { n->GetProperty(MvPropWidth); }), "Invalid Property Requested");
    EXPECT_EQ(thrownMessage([&] { n->GetProperty(MvPropInputFormat); }),
              "Invalid Property Requested");
}

TEST(DefaultProperties, WritingAndDeletingAreRefused) {
    MvValueHolder n = num(1), v = num(2);
    EXPECT_EQ(thrownMessage([&] { n->SetProperty(MvPropWidth, v.get()); }),
              "The property \"width\" can not be written.");
    EXPECT_EQ(thrownMessage([&] { n->SetProperty(MvPropType, v.get()); }),
              "The property \"type\" can not be written.");
    EXPECT_EQ(thrownMessage([&] { n->DeleteProperty(MvPropName); }),
              "The property \"name\" can not be deleted.");
    EXPECT_EQ(thrownMessage([&] { n->DeleteProperty(MvPropInputFormat); }),
              "The property \"input_format\" can not be deleted.");
    EXPECT_DOUBLE_EQ(n->GetNumber(), 1);
}

TEST(DefaultOperations, AndOrOfNumbers) {
    MvValueHolder a = num(1), b = num(0);
    EXPECT_EQ(thrownMessage([&] { a->And(b.get()); }),
              "Can't execute \"number and number\" : incompatible types.");
    EXPECT_EQ(thrownMessage([&] { a->Or(b.get()); }),
              "Can't execute \"number or number\" : incompatible types.");
}

} // namespace
