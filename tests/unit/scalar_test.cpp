// Numbers, booleans, texts and the no-value, driven through the flat
// creation functions and the virtual operations of the value interface.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

MvValueHolder number(double v) { return MvValueHolder(MvNumberCreate(v)); }
MvValueHolder boolean(bool v) { return MvValueHolder(MvBooleanCreate(v)); }
MvValueHolder text(const char* s) { return MvValueHolder(MvTextCreate(s)); }
MvValueHolder bytes(const std::string& s) {
    return MvValueHolder(MvTextCreateFromPointer(s.data(), static_cast<std::uint32_t>(s.size())));
}

// Takes ownership of a value returned by an operation and reads its number.
double numberOf(MvValue* fresh) {
    MvValueHolder held(fresh);
    return MvNumberGetDoubleValue(held.get());
}

std::string textOf(MvValue* fresh) {
    MvValueHolder held(fresh);
    return held->GetText();
}

// MvTextGetTextPtr takes the text kind, which the public headers only
// declare; the text kind derives from MvValue alone, so the pointer is the same.
MvTextValue* asText(MvValue* v) { return reinterpret_cast<MvTextValue*>(v); }

// ---------------------------------------------------------------- numbers

TEST(NumberText, ListedValues) {
    EXPECT_EQ(number(5)->GetText(), "5");
    EXPECT_EQ(number(0.1)->GetText(), "0.1");
    EXPECT_EQ(number(1.0 / 3.0)->GetText(), "0.333333");
    EXPECT_EQ(number(1e21)->GetText(), "1e+21");
    EXPECT_EQ(number(-0.0)->GetText(), "-0");
    EXPECT_EQ(number(123456789)->GetText(), "1.23457e+08");
    EXPECT_EQ(number(1e-5)->GetText(), "1e-05");
}

TEST(NumberText, SixSignificantDigitBoundaries) {
    EXPECT_EQ(number(0)->GetText(), "0");
    EXPECT_EQ(number(-7)->GetText(), "-7");
    EXPECT_EQ(number(999999)->GetText(), "999999");
    EXPECT_EQ(number(1e6)->GetText(), "1e+06");
    EXPECT_EQ(number(0.0001)->GetText(), "0.0001");
    EXPECT_EQ(number(2.5)->GetText(), "2.5");
    EXPECT_EQ(number(1234567)->GetText(), "1.23457e+06");
}

TEST(NumberText, AgreesWithDefaultStreamInsertion) {
    const double samples[] = {1e-300, -1.5e-7, 0.5, 999999.5, 12345.678, 1e100,
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::denorm_min(), -42.125};
    for (double v : samples) {
        std::ostringstream expected;
        expected << v;
        EXPECT_EQ(number(v)->GetText(), expected.str()) << v;
    }
}

TEST(NumberValue, TypeAndNumberReadBack) {
    MvValueHolder n = number(-3.25);
    EXPECT_EQ(MvValueGetMvType(n.get()), MvTypeNumber);
    EXPECT_EQ(n->GetType(), MvTypeNumber);
    EXPECT_EQ(MvNumberGetDoubleValue(n.get()), -3.25);
    EXPECT_EQ(n->GetNumber(), -3.25);
}

TEST(NumberValue, GetDoubleValueOfOtherKindsIsATypeError) {
    const char* expected = "Type mismatch error, expecting (number)";
    MvValueHolder t = text("5");
    EXPECT_EQ(messageOf([&] { MvNumberGetDoubleValue(t.get()); }), expected);
    MvValueHolder b = boolean(true);
    EXPECT_EQ(messageOf([&] { MvNumberGetDoubleValue(b.get()); }), expected);
    MvValueHolder none(MvNoValueCreate());
    EXPECT_EQ(messageOf([&] { MvNumberGetDoubleValue(none.get()); }), expected);
}

TEST(NumberRound, HalvesRoundTowardsPlusInfinity) {
    EXPECT_EQ(numberOf(number(0.5)->Round()), 1.0);
    EXPECT_EQ(numberOf(number(-2.5)->Round()), -2.0);
    EXPECT_EQ(numberOf(number(1.49999)->Round()), 1.0);
    EXPECT_EQ(numberOf(number(2.5)->Round()), 3.0);
    EXPECT_EQ(numberOf(number(-0.5)->Round()), 0.0);
    EXPECT_EQ(numberOf(number(-1.5)->Round()), -1.0);
    EXPECT_EQ(numberOf(number(-3.7)->Round()), -4.0);
    EXPECT_EQ(numberOf(number(-3.2)->Round()), -3.0);
    EXPECT_EQ(numberOf(number(7)->Round()), 7.0);
    EXPECT_EQ(numberOf(number(1e300)->Round()), 1e300);
}

TEST(NumberMath, LogarithmsAndExponential) {
    EXPECT_DOUBLE_EQ(numberOf(number(100)->Log()), 2.0);
    EXPECT_DOUBLE_EQ(numberOf(number(1000)->Log()), 3.0);
    EXPECT_DOUBLE_EQ(numberOf(number(std::exp(1.0))->Ln()), 1.0);
    EXPECT_EQ(numberOf(number(0)->Exp()), 1.0);
    EXPECT_DOUBLE_EQ(numberOf(number(1)->Exp()), std::exp(1.0));
    // No domain check: IEEE results come through.
    EXPECT_EQ(numberOf(number(0)->Log()), -HUGE_VAL);
    EXPECT_TRUE(std::isnan(numberOf(number(-1)->Ln())));
}

TEST(NumberMath, FloorCeilAbsNegate) {
    EXPECT_EQ(numberOf(number(-1.5)->Floor()), -2.0);
    EXPECT_EQ(numberOf(number(1.5)->Floor()), 1.0);
    EXPECT_EQ(numberOf(number(-1.5)->Ceil()), -1.0);
    EXPECT_EQ(numberOf(number(1.2)->Ceil()), 2.0);
    EXPECT_EQ(numberOf(number(-3)->Abs()), 3.0);
    EXPECT_EQ(numberOf(number(3)->Abs()), 3.0);
    EXPECT_FALSE(std::signbit(numberOf(number(-0.0)->Abs())));
    EXPECT_EQ(numberOf(number(5)->Negate()), -5.0);
    EXPECT_EQ(numberOf(number(-5)->Negate()), 5.0);
    EXPECT_EQ(textOf(number(0)->Negate()), "-0");
}

TEST(NumberMath, TrigonometryInRadiansWithoutDomainCheck) {
    const double pi = std::acos(-1.0);
    EXPECT_DOUBLE_EQ(numberOf(number(pi / 2)->Sin()), 1.0);
    EXPECT_DOUBLE_EQ(numberOf(number(0)->Cos()), 1.0);
    EXPECT_DOUBLE_EQ(numberOf(number(pi / 4)->Tan()), 1.0);
    EXPECT_DOUBLE_EQ(numberOf(number(1)->Asin()), pi / 2);
    EXPECT_DOUBLE_EQ(numberOf(number(-1)->Acos()), pi);
    EXPECT_DOUBLE_EQ(numberOf(number(1)->Atan()), pi / 4);
    EXPECT_EQ(numberOf(number(16)->Sqrt()), 4.0);
    EXPECT_TRUE(std::isnan(numberOf(number(2)->Asin())));
    EXPECT_TRUE(std::isnan(numberOf(number(-1)->Sqrt())));
}

TEST(NumberMath, Pow) {
    MvValueHolder ten = number(10), minusOne = number(-1), half = number(0.5), zero = number(0);
    EXPECT_EQ(numberOf(number(2)->Pow(ten.get())), 1024.0);
    EXPECT_EQ(numberOf(number(2)->Pow(minusOne.get())), 0.5);
    EXPECT_EQ(numberOf(number(9)->Pow(half.get())), 3.0);
    EXPECT_EQ(numberOf(number(0)->Pow(zero.get())), 1.0);
    MvValueHolder t = text("2");
    EXPECT_EQ(messageOf([&] { MvValueHolder r(number(2)->Pow(t.get())); }),
              "Type mismatch error, expecting (number)");
}

TEST(NumberMath, Difference) {
    MvValueHolder one = number(1), three = number(3), zero = number(0), two = number(2);
    // d = 3 - 1, s = 3 + 1: 4 / 16.
    EXPECT_DOUBLE_EQ(numberOf(one->Difference(three.get(), 0, false)), 0.25);
    EXPECT_DOUBLE_EQ(numberOf(three->Difference(one.get(), 0, false)), 0.25);
    EXPECT_EQ(numberOf(two->Difference(two.get(), 0, false)), 0.0);
    EXPECT_TRUE(std::isnan(numberOf(zero->Difference(zero.get(), 0, false))));
    MvValueHolder t = text("3"), b = boolean(true);
    EXPECT_EQ(numberOf(one->Difference(t.get(), 0, false)), 1.0);
    EXPECT_EQ(numberOf(one->Difference(b.get(), 0, false)), 1.0);
}

TEST(NumberArithmetic, IntoANumberResultHolder) {
    MvValueHolder seven = number(7), two = number(2);
    MvValueHolder result = number(0);
    seven->Add(result, two);
    EXPECT_EQ(MvNumberGetDoubleValue(result.get()), 9.0);
    seven->Subtract(result, two);
    EXPECT_EQ(MvNumberGetDoubleValue(result.get()), 5.0);
    seven->Multiply(result, two);
    EXPECT_EQ(MvNumberGetDoubleValue(result.get()), 14.0);
    seven->Divide(result, two);
    EXPECT_EQ(MvNumberGetDoubleValue(result.get()), 3.5);
}

TEST(NumberArithmetic, DivideByZero) {
    MvValueHolder seven = number(7), zero = number(0), minusZero = number(-0.0),
                  tiny = number(0.0000001);
    MvValueHolder result = number(123);
    EXPECT_EQ(messageOf([&] { seven->Divide(result, zero); }), "Attempt to divide by zero");
    EXPECT_EQ(messageOf([&] { seven->Divide(result, minusZero); }), "Attempt to divide by zero");
    EXPECT_EQ(MvNumberGetDoubleValue(result.get()), 123.0);
    EXPECT_EQ(messageOf([&] { seven->Divide(result, tiny); }), kNoException);
    EXPECT_DOUBLE_EQ(MvNumberGetDoubleValue(result.get()), 7e7);
}

TEST(NumberCompare, OrderingAndEquality) {
    MvValueHolder a = number(1), b = number(2), a2 = number(1);
    EXPECT_TRUE(a->IsEqual(a2.get()));
    EXPECT_FALSE(a->IsEqual(b.get()));
    EXPECT_TRUE(a->IsNotEqual(b.get()));
    EXPECT_FALSE(a->IsNotEqual(a2.get()));
    EXPECT_TRUE(a->IsLess(b.get()));
    EXPECT_FALSE(b->IsLess(a.get()));
    EXPECT_FALSE(a->IsLess(a2.get()));
    EXPECT_TRUE(a->IsLessOrEqual(a2.get()));
    EXPECT_TRUE(b->IsGreater(a.get()));
    EXPECT_FALSE(a->IsGreater(a2.get()));
    EXPECT_TRUE(a->IsGreaterOrEqual(a2.get()));
    EXPECT_FALSE(a->IsGreaterOrEqual(b.get()));
    MvValueHolder zero = number(0), minusZero = number(-0.0);
    EXPECT_TRUE(zero->IsEqual(minusZero.get()));
}

// Equality is "neither less nor greater", so an unordered NaN counts as equal.
TEST(NumberCompare, EqualityIsDefinedThroughOrdering) {
    MvValueHolder nan = number(std::nan("")), five = number(5);
    EXPECT_TRUE(nan->IsEqual(five.get()));
    EXPECT_FALSE(nan->IsNotEqual(five.get()));
}

TEST(NumberCompare, WithATextIsATypeError) {
    MvValueHolder n = number(5), t = text("5");
    const char* expected = "Type mismatch error, expecting (number)";
    EXPECT_EQ(messageOf([&] { n->IsEqual(t.get()); }), expected);
    EXPECT_EQ(messageOf([&] { n->IsNotEqual(t.get()); }), expected);
    EXPECT_EQ(messageOf([&] { n->IsLess(t.get()); }), expected);
    EXPECT_EQ(messageOf([&] { n->IsGreaterOrEqual(t.get()); }), expected);
}

TEST(NumberCoerce, ToNumberIsTheSameObjectToTextIsNew) {
    MvValueHolder n = number(5);
    {
        MvValueHolder same;
        n->Coerce(same, MvTypeNumber);
        EXPECT_EQ(same.get(), n.get());
        EXPECT_EQ(n->refCount, 2u);
    }
    EXPECT_EQ(n->refCount, 1u);
    MvValueHolder asText;
    n->Coerce(asText, MvTypeText);
    ASSERT_TRUE(asText);
    EXPECT_NE(asText.get(), n.get());
    EXPECT_EQ(asText->GetType(), MvTypeText);
    EXPECT_EQ(asText->GetText(), "5");
}

TEST(NumberCoerce, ToVectorAndColor) {
    MvValueHolder n = number(2.5);
    MvValueHolder vector;
    n->Coerce(vector, MvTypeVector);
    ASSERT_TRUE(vector);
    EXPECT_EQ(vector->GetType(), MvTypeVector);
    EXPECT_EQ(*vector->GetVector(), std::vector<double>{2.5});
    MvValueHolder color;
    n->Coerce(color, MvTypeColor);
    ASSERT_TRUE(color);
    EXPECT_EQ(color->GetType(), MvTypeColor);
    MvColor c = color->GetColor();
    EXPECT_EQ(c.red, 2.5);
    EXPECT_EQ(c.green, 2.5);
    EXPECT_EQ(c.blue, 2.5);
}

TEST(NumberCoerce, ToAListIsNotPossible) {
    MvValueHolder n = number(1), result;
    EXPECT_EQ(messageOf([&] { n->Coerce(result, MvTypeList); }),
              "Coercion from (number) to (list) is not possible.");
    EXPECT_FALSE(result);
}

// ---------------------------------------------------------------- booleans

TEST(BooleanValue, TextTypeAndReadBack) {
    EXPECT_EQ(boolean(true)->GetText(), "true");
    EXPECT_EQ(boolean(false)->GetText(), "false");
    EXPECT_EQ(MvValueGetMvType(boolean(true).get()), MvTypeBoolean);
    EXPECT_TRUE(boolean(true)->GetBoolean());
    EXPECT_FALSE(boolean(false)->GetBoolean());
}

TEST(BooleanValue, AndOrNot) {
    MvValueHolder t = boolean(true), f = boolean(false);
    EXPECT_TRUE(t->And(t.get()));
    EXPECT_FALSE(t->And(f.get()));
    EXPECT_FALSE(f->And(t.get()));
    EXPECT_FALSE(f->And(f.get()));
    EXPECT_TRUE(t->Or(f.get()));
    EXPECT_TRUE(f->Or(t.get()));
    EXPECT_TRUE(t->Or(t.get()));
    EXPECT_FALSE(f->Or(f.get()));
    EXPECT_FALSE(t->Not());
    EXPECT_TRUE(f->Not());
}

TEST(BooleanValue, IsEqual) {
    MvValueHolder t = boolean(true), t2 = boolean(true), f = boolean(false);
    EXPECT_TRUE(t->IsEqual(t2.get()));
    EXPECT_FALSE(t->IsEqual(f.get()));
    EXPECT_TRUE(f->IsEqual(f.get()));
    EXPECT_TRUE(t->IsNotEqual(f.get()));
    EXPECT_FALSE(t->IsNotEqual(t2.get()));
}

// The other operand is asked for its boolean even when the result is
// already known from this one (no short-circuit).
TEST(BooleanValue, OtherOperandMustBeABoolean) {
    const char* expected = "Type mismatch error, expecting (boolean)";
    MvValueHolder t = boolean(true), f = boolean(false), one = number(1), s = text("true");
    EXPECT_EQ(messageOf([&] { t->IsEqual(one.get()); }), expected);
    EXPECT_EQ(messageOf([&] { t->IsEqual(s.get()); }), expected);
    EXPECT_EQ(messageOf([&] { f->And(one.get()); }), expected);
    EXPECT_EQ(messageOf([&] { t->Or(one.get()); }), expected);
}

TEST(BooleanCoerce, OnlyToText) {
    MvValueHolder b = boolean(true);
    MvValueHolder asText;
    b->Coerce(asText, MvTypeText);
    ASSERT_TRUE(asText);
    EXPECT_EQ(asText->GetType(), MvTypeText);
    EXPECT_EQ(asText->GetText(), "true");
    MvValueHolder asNumber;
    EXPECT_EQ(messageOf([&] { b->Coerce(asNumber, MvTypeNumber); }),
              "Coercion from (boolean) to (number) is not possible.");
    EXPECT_FALSE(asNumber);
}

// ---------------------------------------------------------------- texts

TEST(TextValue, TypeAndText) {
    MvValueHolder t = text("abc");
    EXPECT_EQ(MvValueGetMvType(t.get()), MvTypeText);
    EXPECT_EQ(t->GetText(), "abc");
    EXPECT_STREQ(MvTextGetTextPtr(asText(t.get())), "abc");
}

TEST(TextValue, EmptyTextPointerIsAnEmptyString) {
    MvValueHolder empty = text("");
    const char* p = MvTextGetTextPtr(asText(empty.get()));
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "");
    MvValueHolder fromPointer(MvTextCreateFromPointer("xyz", 0));
    p = MvTextGetTextPtr(asText(fromPointer.get()));
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "");
    EXPECT_EQ(fromPointer->GetText(), "");
}

TEST(TextValue, CreateFromPointerCopiesExactlyLengthBytes) {
    const char source[] = {'a', '\0', 'b', '\0', 'c', 'X', 'Y'};
    MvValueHolder t(MvTextCreateFromPointer(source, 5));
    EXPECT_EQ(t->GetText(), std::string("a\0b\0c", 5));
    const char* p = MvTextGetTextPtr(asText(t.get()));
    EXPECT_EQ(std::memcmp(p, "a\0b\0c", 5), 0);
    EXPECT_EQ(p[5], '\0');
    MvValueHolder length(t->GetProperty(t->GetPropertyId("length")));
    EXPECT_EQ(MvNumberGetDoubleValue(length.get()), 5.0);
}

TEST(TextValue, CreateCopiesTheSource) {
    char buffer[] = "abc";
    MvValueHolder t = text(buffer);
    buffer[0] = 'z';
    EXPECT_EQ(t->GetText(), "abc");
}

TEST(TextValue, EqualityIsBytewiseAndCaseSensitive) {
    MvValueHolder abc = text("abc"), abc2 = text("abc"), upper = text("ABC"), longer = text("abcd");
    EXPECT_TRUE(abc->IsEqual(abc2.get()));
    EXPECT_FALSE(abc->IsEqual(upper.get()));
    EXPECT_FALSE(abc->IsEqual(longer.get()));
    EXPECT_FALSE(longer->IsEqual(abc.get()));
    EXPECT_TRUE(abc->IsNotEqual(upper.get()));
    MvValueHolder z1 = bytes(std::string("a\0b", 3)), z2 = bytes(std::string("a\0c", 3)),
                  z3 = bytes(std::string("a\0b", 3)), a = text("a");
    EXPECT_FALSE(z1->IsEqual(z2.get()));
    EXPECT_TRUE(z1->IsEqual(z3.get()));
    EXPECT_FALSE(z1->IsEqual(a.get()));
    MvValueHolder five = text("5"), n = number(5);
    EXPECT_TRUE(five->IsEqual(n.get()));
}

TEST(TextValue, HasNoOrdering) {
    MvValueHolder a = text("a"), b = text("b");
    EXPECT_NE(messageOf([&] { a->IsLess(b.get()); }), kNoException);
    EXPECT_NE(messageOf([&] { a->IsGreaterOrEqual(b.get()); }), kNoException);
}

TEST(TextProperties, LengthAndType) {
    MvValueHolder t = text("abcdef");
    EXPECT_EQ(t->GetPropertyId("length"), 7);
    EXPECT_EQ(t->GetPropertyId("type"), 1);
    EXPECT_EQ(t->GetPropertyId("width"), 0);
    EXPECT_EQ(t->GetPropertyId("no such property"), 0);
    MvValueHolder length(t->GetProperty(7));
    EXPECT_EQ(MvValueGetMvType(length.get()), MvTypeNumber);
    EXPECT_EQ(MvNumberGetDoubleValue(length.get()), 6.0);
    MvValueHolder emptyLength(text("")->GetProperty(7));
    EXPECT_EQ(MvNumberGetDoubleValue(emptyLength.get()), 0.0);
    MvValueHolder type(t->GetProperty(1));
    EXPECT_EQ(MvValueGetMvType(type.get()), MvTypeText);
    EXPECT_EQ(type->GetText(), "text");
    EXPECT_EQ(messageOf([&] { MvValueHolder r(t->GetProperty(3)); }), "Invalid Property Requested");
}

TEST(TextProperties, LengthIsReadOnly) {
    MvValueHolder t = text("abc"), n = number(1);
    EXPECT_EQ(messageOf([&] { t->SetProperty(7, n.get()); }),
              "The property \"length\" can not be written.");
    EXPECT_EQ(messageOf([&] { t->DeleteProperty(7); }),
              "The property \"length\" can not be deleted.");
    EXPECT_EQ(t->GetText(), "abc");
}

TEST(ScalarProperties, OnlyTextsHaveALength) {
    MvValueHolder n = number(5), b = boolean(true), none(MvNoValueCreate());
    EXPECT_EQ(n->GetPropertyId("length"), 0);
    EXPECT_EQ(b->GetPropertyId("length"), 0);
    EXPECT_EQ(n->GetPropertyId("type"), 1);
    EXPECT_EQ(messageOf([&] { MvValueHolder r(n->GetProperty(7)); }), "Invalid Property Requested");
    EXPECT_EQ(textOf(n->GetProperty(1)), "number");
    EXPECT_EQ(textOf(b->GetProperty(1)), "boolean");
    EXPECT_EQ(textOf(none->GetProperty(1)), "undefined");
}

class TextIndexing : public ::testing::Test {
protected:
    MvValueHolder abcdef = text("abcdef");

    std::string at(double i) { return abcdef->GetElement(number(i).get(), false)->GetText(); }
    std::string at(double i, double j) {
        return abcdef->GetElement2(number(i).get(), number(j).get())->GetText();
    }
    std::string errorAt(double i) {
        return messageOf([&] { abcdef->GetElement(number(i).get(), false); });
    }
    std::string errorAt(double i, double j) {
        return messageOf([&] { abcdef->GetElement2(number(i).get(), number(j).get()); });
    }
};

TEST_F(TextIndexing, SingleIndex) {
    EXPECT_EQ(at(0), "a");
    EXPECT_EQ(at(5), "f");
    // A negative index i is taken as i + n - 1.
    EXPECT_EQ(at(-1), "e");
    EXPECT_EQ(at(-5), "a");
    MvValueHolder element = abcdef->GetElement(number(2).get(), false);
    EXPECT_EQ(element->GetType(), MvTypeText);
    EXPECT_NE(element.get(), abcdef.get());
    EXPECT_EQ(abcdef->GetText(), "abcdef");
}

TEST_F(TextIndexing, SingleIndexErrors) {
    EXPECT_EQ(errorAt(6), "Text index (6) out of range.");
    EXPECT_EQ(errorAt(100), "Text index (100) out of range.");
    EXPECT_EQ(errorAt(-6), "Text index is negative!");
    EXPECT_EQ(errorAt(-1000), "Text index is negative!");
}

TEST_F(TextIndexing, FractionsAreRoundedDown) {
    EXPECT_EQ(at(1.9), "b");
    EXPECT_EQ(at(0.999), "a");
    EXPECT_EQ(at(5.5), "f");
    // floor(-0.5) is -1, which counts from the end.
    EXPECT_EQ(at(-0.5), "e");
    EXPECT_EQ(errorAt(6.1), "Text index (6) out of range.");
    EXPECT_EQ(at(1.5, 3.9), "bcd");
}

TEST_F(TextIndexing, Substrings) {
    EXPECT_EQ(at(2, 4), "cde");
    EXPECT_EQ(at(5, 5), "f");
    EXPECT_EQ(at(1, 1), "b");
    // A second index of 0 means "to the end".
    EXPECT_EQ(at(2, 0), "cdef");
    EXPECT_EQ(at(0, 0), "abcdef");
    EXPECT_EQ(at(0, 5), "abcdef");
    EXPECT_EQ(at(-1, 0), "ef");
    EXPECT_EQ(at(0, -1), "abcde");
    EXPECT_EQ(at(-3, -1), "cde");
    // -5 moves to 0, which then means the end.
    EXPECT_EQ(at(0, -5), "abcdef");
}

TEST_F(TextIndexing, SubstringErrors) {
    EXPECT_EQ(errorAt(4, 2), "Second index must be smaller than the first.");
    EXPECT_EQ(errorAt(0, -6), "Second index must be smaller than the first.");
    EXPECT_EQ(errorAt(3, 9), "Text index (3,9) out of range.");
    EXPECT_EQ(errorAt(5, 6), "Text index (5,6) out of range.");
    EXPECT_EQ(errorAt(6, 6), "Text index (6,6) out of range.");
    EXPECT_EQ(errorAt(-10, 2), "Text index is negative!");
    EXPECT_EQ(abcdef->GetText(), "abcdef");
}

TEST(TextIndex, EmptyText) {
    MvValueHolder empty = text("");
    EXPECT_EQ(messageOf([&] { empty->GetElement(number(0).get(), false); }),
              "Text index (0) out of range.");
    EXPECT_EQ(messageOf([&] { empty->GetElement(number(-1).get(), false); }),
              "Text index is negative!");
}

TEST(TextIndex, IndexMustBeANumber) {
    MvValueHolder t = text("abc"), index = text("1");
    EXPECT_EQ(messageOf([&] { t->GetElement(index.get(), false); }),
              "Type mismatch error, expecting (number)");
    EXPECT_EQ(messageOf([&] { t->SetElement(index.get(), text("x").get()); }),
              "Type mismatch error, expecting (number)");
    EXPECT_EQ(t->GetText(), "abc");
}

class TextEditing : public ::testing::Test {
protected:
    MvValueHolder abc = text("abc");

    std::string set(double i, MvValueHolder v) {
        abc->SetElement(number(i).get(), v.get());
        return abc->GetText();
    }
    std::string insert(MvValueHolder v, double i) {
        abc->Insert(v, number(i).get());
        return abc->GetText();
    }
};

TEST_F(TextEditing, SetElementBeyondTheEndPadsWithBlanks) {
    EXPECT_EQ(set(8, text("X")), "abc     X");
}

TEST_F(TextEditing, SetElementAtTheEndAppends) { EXPECT_EQ(set(3, text("X")), "abcX"); }

TEST_F(TextEditing, SetElementReplacesOneCharacterByTheWholeText) {
    EXPECT_EQ(set(1, text("XYZ")), "aXYZc");
}

TEST_F(TextEditing, SetElementOfTheLastCharacter) { EXPECT_EQ(set(2, text("X")), "abX"); }

TEST_F(TextEditing, SetElementToAnEmptyTextDeletesTheCharacter) {
    EXPECT_EQ(set(1, text("")), "ac");
    EXPECT_EQ(set(0, text("")), "c");
}

TEST_F(TextEditing, SetElementTakesTheTextOfAnyValue) {
    EXPECT_EQ(set(1, number(5)), "a5c");
    EXPECT_EQ(set(0, boolean(false)), "false5c");
}

TEST_F(TextEditing, SetElementWithFractionalIndex) { EXPECT_EQ(set(1.9, text("X")), "aXc"); }

TEST_F(TextEditing, SetElementOfAValueWithoutTextLeavesTheTextAlone) {
    MvValueHolder none(MvNoValueCreate());
    EXPECT_EQ(messageOf([&] { abc->SetElement(number(1).get(), none.get()); }),
              "Type mismatch error, expecting (text)");
    EXPECT_EQ(abc->GetText(), "abc");
}

TEST_F(TextEditing, NegativeIndexIsRejected) {
    MvValueHolder x = text("X");
    for (double i : {-1.0, -0.5, -3.0, -100.0}) {
        EXPECT_NE(messageOf([&] { abc->SetElement(number(i).get(), x.get()); }), kNoException) << i;
        EXPECT_EQ(abc->GetText(), "abc") << i;
        EXPECT_NE(messageOf([&] { abc->Insert(x, number(i).get()); }), kNoException) << i;
        EXPECT_EQ(abc->GetText(), "abc") << i;
    }
}

TEST_F(TextEditing, InsertBeforeAPosition) {
    EXPECT_EQ(insert(text("X"), 0), "Xabc");
    EXPECT_EQ(insert(text("YZ"), 3), "XabYZc");
}

TEST_F(TextEditing, InsertAtTheEnd) { EXPECT_EQ(insert(text("X"), 3), "abcX"); }

TEST_F(TextEditing, InsertBeyondTheEndPads) { EXPECT_EQ(insert(text("X"), 5), "abc  X"); }

TEST_F(TextEditing, InsertTakesTheTextOfAnyValue) { EXPECT_EQ(insert(number(0.5), 1), "a0.5bc"); }

TEST_F(TextEditing, InsertEmptyTextChangesNothingInside) { EXPECT_EQ(insert(text(""), 1), "abc"); }

TEST_F(TextEditing, AppendAndPrepend) {
    MvValueHolder d = text("de"), z = text("z"), n = number(5), empty = text("");
    abc->Append(d);
    EXPECT_EQ(abc->GetText(), "abcde");
    abc->Prepend(z);
    EXPECT_EQ(abc->GetText(), "zabcde");
    abc->Append(n);
    EXPECT_EQ(abc->GetText(), "zabcde5");
    abc->Prepend(n);
    EXPECT_EQ(abc->GetText(), "5zabcde5");
    abc->Append(empty);
    abc->Prepend(empty);
    EXPECT_EQ(abc->GetText(), "5zabcde5");
    EXPECT_STREQ(MvTextGetTextPtr(asText(abc.get())), "5zabcde5");
}

TEST_F(TextEditing, AppendToItself) {
    abc->Append(abc);
    EXPECT_EQ(abc->GetText(), "abcabc");
}

TEST_F(TextEditing, AppendOfAValueWithoutTextLeavesTheTextAlone) {
    MvValueHolder none(MvNoValueCreate());
    EXPECT_EQ(messageOf([&] { abc->Append(none); }), "Type mismatch error, expecting (text)");
    EXPECT_EQ(messageOf([&] { abc->Prepend(none); }), "Type mismatch error, expecting (text)");
    EXPECT_EQ(abc->GetText(), "abc");
}

TEST(TextAdd, ConcatenatesIntoTheResultHolder) {
    MvValueHolder abc = text("abc"), five = number(5), t = boolean(true), de = text("de");
    MvValueHolder result = text("");
    abc->Add(result, five);
    EXPECT_EQ(result->GetText(), "abc5");
    abc->Add(result, t);
    EXPECT_EQ(result->GetText(), "abctrue");
    abc->Add(result, de);
    EXPECT_EQ(result->GetText(), "abcde");
    EXPECT_EQ(abc->GetText(), "abc");
}

TEST(TextCoerce, ToNumberTakesTheLongestNumericPrefix) {
    struct Case {
        const char* source;
        double expected;
    } cases[] = {{"3.5", 3.5}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"  7", 7}, {"-2e3x", -2000}};
    for (const Case& c : cases) {
        MvValueHolder t = text(c.source);
        MvValueHolder result;
        t->Coerce(result, MvTypeNumber);
        ASSERT_TRUE(result) << c.source;
        EXPECT_EQ(MvValueGetMvType(result.get()), MvTypeNumber) << c.source;
        EXPECT_EQ(MvNumberGetDoubleValue(result.get()), c.expected) << c.source;
        EXPECT_EQ(t->GetText(), c.source);
    }
}

TEST(TextCoerce, ToVectorReadsNumbersUntilOneFails) {
    struct Case {
        const char* source;
        std::vector<double> expected;
    } cases[] = {{"1 2 3", {1, 2, 3}}, {"1 2 x 4", {1, 2}}, {"", {}}, {"x", {}},
                 {" -1.5\n2e2\t7 ", {-1.5, 200, 7}}};
    for (const Case& c : cases) {
        MvValueHolder t = text(c.source), result;
        t->Coerce(result, MvTypeVector);
        ASSERT_TRUE(result) << c.source;
        EXPECT_EQ(result->GetType(), MvTypeVector) << c.source;
        EXPECT_EQ(*result->GetVector(), c.expected) << c.source;
    }
}

TEST(TextCoerce, ToListSplitsWords) {
    MvValueHolder t = text("a  bb\nc"), result;
    t->Coerce(result, MvTypeList);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetType(), MvTypeList);
    MvValueHolder count(result->GetProperty(result->GetPropertyId("length")));
    ASSERT_EQ(MvNumberGetDoubleValue(count.get()), 3.0);
    const char* words[] = {"a", "bb", "c"};
    for (int i = 0; i < 3; ++i) {
        MvValueHolder element = result->GetElement(number(i).get(), false);
        EXPECT_EQ(element->GetType(), MvTypeText) << i;
        EXPECT_EQ(element->GetText(), words[i]) << i;
    }
    MvValueHolder blank = text("   "), empty;
    blank->Coerce(empty, MvTypeList);
    ASSERT_TRUE(empty);
    MvValueHolder none(empty->GetProperty(7));
    EXPECT_EQ(MvNumberGetDoubleValue(none.get()), 0.0);
}

TEST(TextCoerce, ToTextIsTheSameObject) {
    MvValueHolder t = text("abc");
    MvValueHolder same;
    t->Coerce(same, MvTypeText);
    EXPECT_EQ(same.get(), t.get());
    EXPECT_EQ(t->refCount, 2u);
    EXPECT_EQ(t->holderCount, 2u);
}

// ---------------------------------------------------------------- the no-value

TEST(NoValue, TypeIsUndefined) {
    MvValueHolder none(MvNoValueCreate());
    EXPECT_EQ(MvValueGetMvType(none.get()), MvTypeUndefined);
    EXPECT_EQ(none->GetType(), MvTypeUndefined);
}

TEST(NoValue, CloneNamesTheMissingResult) {
    MvValueHolder none(MvNoValueCreate());
    EXPECT_EQ(messageOf([&] { MvValueHolder copy(none->Clone()); }),
              "Operation attempted on NULL value. Function may not have returned a result.");
    EXPECT_EQ(none->refCount, 1u);
}

TEST(NoValue, HasNoTextNumberOrBoolean) {
    MvValueHolder none(MvNoValueCreate());
    EXPECT_EQ(messageOf([&] { none->GetText(); }), "Type mismatch error, expecting (text)");
    EXPECT_EQ(messageOf([&] { none->GetNumber(); }), "Type mismatch error, expecting (number)");
    EXPECT_EQ(messageOf([&] { none->GetBoolean(); }), "Type mismatch error, expecting (boolean)");
}

// ---------------------------------------------------------------- clones and lifetime

TEST(ScalarClone, NumberCopyIsIndependent) {
    MvValueHolder original = number(7);
    MvValueHolder copy(original->Clone());
    ASSERT_NE(copy.get(), original.get());
    EXPECT_EQ(copy->GetType(), MvTypeNumber);
    EXPECT_EQ(copy->refCount, 1u);
    EXPECT_EQ(copy->holderCount, 1u);
    // Writing a result into the original must not show in the copy.
    MvValueHolder two = number(2);
    original->Add(original, two);
    EXPECT_EQ(MvNumberGetDoubleValue(original.get()), 9.0);
    EXPECT_EQ(MvNumberGetDoubleValue(copy.get()), 7.0);
}

TEST(ScalarClone, BooleanCopy) {
    for (bool v : {true, false}) {
        MvValueHolder original = boolean(v);
        MvValueHolder copy(original->Clone());
        ASSERT_NE(copy.get(), original.get());
        EXPECT_EQ(copy->GetType(), MvTypeBoolean);
        EXPECT_EQ(copy->GetBoolean(), v);
        EXPECT_EQ(copy->refCount, 1u);
    }
}

TEST(ScalarClone, TextCopyIsIndependent) {
    MvValueHolder original = bytes(std::string("a\0b", 3));
    MvValueHolder copy(original->Clone());
    ASSERT_NE(copy.get(), original.get());
    EXPECT_EQ(copy->GetType(), MvTypeText);
    EXPECT_EQ(copy->GetText(), std::string("a\0b", 3));
    MvValueHolder more = text("c");
    original->Append(more);
    original->SetElement(number(0).get(), more.get());
    EXPECT_EQ(original->GetText(), std::string("c\0bc", 4));
    EXPECT_EQ(copy->GetText(), std::string("a\0b", 3));
    copy->Prepend(more);
    EXPECT_EQ(original->GetText(), std::string("c\0bc", 4));
}

TEST(ScalarLifetime, CreatedValuesStartUnheldWithOneReference) {
    MvValue* values[] = {MvNumberCreate(1), MvBooleanCreate(true), MvTextCreate("x"),
                         MvTextCreateFromPointer("xy", 2), MvNoValueCreate()};
    for (MvValue* v : values) {
        EXPECT_EQ(v->refCount, 1u);
        EXPECT_EQ(v->holderCount, 0u);
    }
    MvNumberDelete(values[0]);
    MvNumberDelete(values[1]);
    MvTextDelete(values[2]);
    MvTextDelete(values[3]);
    MvTextDelete(values[4]);
}

TEST(ScalarLifetime, OperationResultsAreNewUnheldValues) {
    MvValueHolder n = number(2);
    MvValue* results[] = {n->Negate(), n->Abs(), n->Round(), n->Clone()};
    for (MvValue* r : results) {
        EXPECT_NE(r, n.get());
        EXPECT_EQ(r->refCount, 1u);
        EXPECT_EQ(r->holderCount, 0u);
        MvNumberDelete(r);
    }
}

TEST(ScalarLifetime, DeleteIgnoresNull) {
    MvNumberDelete(nullptr);
    MvTextDelete(nullptr);
}

} // namespace
