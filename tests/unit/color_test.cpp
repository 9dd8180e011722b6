// Colours: the record and its flat functions, channel arithmetic with
// numbers, vectors and colours, intensity comparisons, coercions and the
// value-file body.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

MvValueHolder number(double v) { return MvValueHolder(MvNumberCreate(v)); }
MvValueHolder color(double r, double g, double b) {
    return MvValueHolder(MvColorValueCreate(r, g, b));
}
MvValueHolder vectorOf(std::initializer_list<double> numbers) {
    MvValue* vector = MvVectorCreate();
    for (double v : numbers)
        MvVectorAppend(MvValueAsVector(vector), v);
    return MvValueHolder(vector);
}

double numberOf(MvValue* fresh) { return MvNumberGetDoubleValue(MvValueHolder(fresh).get()); }

void expectChannels(MvValue* c, double r, double g, double b) {
    MvColor got = c->GetColor();
    EXPECT_NEAR(got.red, r, 1e-12);
    EXPECT_NEAR(got.green, g, 1e-12);
    EXPECT_NEAR(got.blue, b, 1e-12);
}

// ------------------------------------------------------------ record and value

TEST(ColorRecord, FlatFunctions) {
    MvColor source{0.1, 0.2, 0.3};
    MvColor* copy = MvColorCreate(&source);
    source.red = 9;
    EXPECT_EQ(MvColorGetRed(copy), 0.1);
    EXPECT_EQ(MvColorGetGreen(copy), 0.2);
    EXPECT_EQ(MvColorGetBlue(copy), 0.3);
    MvColorDelete(copy);
    MvColorDelete(nullptr);

    MvValueHolder c = color(0.5, -1, 2);
    EXPECT_EQ(MvColorValueGetGreen(MvValueAsColor(c.get())), -1);
    EXPECT_EQ(MvValueAsColor(number(1).get()), nullptr);
}

TEST(ColorValue, IntensityTextAndProperties) {
    MvValueHolder c = color(0.2, 0.4, 0.6);
    EXPECT_NEAR(numberOf(c->GetProperty(c->GetPropertyId("intensity"))), 0.4, 1e-15);
    EXPECT_EQ(c->GetText(), "0.2 0.4 0.6");
    EXPECT_EQ(c->GetPropertyId("red"), 8);
    EXPECT_EQ(c->GetPropertyId("green"), 9);
    EXPECT_EQ(c->GetPropertyId("blue"), 10);
    EXPECT_EQ(c->GetPropertyId("intensity"), 11);
    EXPECT_EQ(c->GetPropertyId("length"), 0);
    EXPECT_EQ(numberOf(c->GetProperty(10)), 0.6);
    EXPECT_EQ(messageOf([&] { c->SetProperty(8, number(1).get()); }),
              "The property \"red\" can not be written.");
    MvValueHolder black(ShallowConstruct(MvTypeColor, nullptr));
    EXPECT_EQ(black->GetText(), "0 0 0");
}

// ------------------------------------------------------------ arithmetic

MvValueHolder compute(void (*op)(MvValueHolder&, MvValueHolder&, MvValueHolder&, bool),
                      MvValueHolder a, MvValueHolder b) {
    MvValueHolder r;
    op(r, a, b, false);
    return r;
}

TEST(ColorArithmetic, WithNumbersVectorsAndColors) {
    MvValueHolder c = color(0.2, 0.4, 0.6);
    expectChannels(compute(AddValues, c, number(0.1)).get(), 0.3, 0.5, 0.7);
    expectChannels(compute(MultiplyValues, c, vectorOf({1, 0, 2})).get(), 0.2, 0, 1.2);
    expectChannels(compute(MultiplyValues, number(2), c).get(), 0.4, 0.8, 1.2);
    expectChannels(compute(SubtractValues, c, color(0.2, 0.2, 0.2)).get(), 0, 0.2, 0.4);
    expectChannels(compute(DivideValues, c, vectorOf({2, 4, 6})).get(), 0.1, 0.1, 0.1);
    MvValueHolder q = compute(DivideValues, c, number(0));
    EXPECT_TRUE(std::isinf(q->GetColor().red));
    expectChannels(MvValueHolder(c->Negate()).get(), -0.2, -0.4, -0.6);
    EXPECT_EQ(compute(AddValues, c, MvValueHolder(MvTextCreate("!")))->GetText(), "0.2 0.4 0.6!");
}

TEST(ColorArithmetic, VectorsNeedThreeComponents) {
    const std::string expected =
        "The vector {1\t2}\n\tNeeds three components to represent a color.\n";
    MvValueHolder c = color(0.2, 0.4, 0.6);
    MvValueHolder r;
    MvValueHolder two = vectorOf({1, 2}), four = vectorOf({1, 2, 3, 4});
    EXPECT_EQ(messageOf([&] { AddValues(r, c, two, false); }), expected);
    EXPECT_EQ(messageOf([&] { SubtractValues(r, c, four, false); }),
              "The vector {1\t2\t3\t4}\n\tNeeds three components to represent a color.\n");
    EXPECT_EQ(messageOf([&] { two->GetColor(); }), expected);
}

// ------------------------------------------------------------ comparisons

TEST(ColorComparison, OrderByIntensityEqualityByChannels) {
    MvValueHolder dim = color(0.1, 0.1, 0.1), blue = color(0, 0, 0.9);
    EXPECT_TRUE(dim->IsLess(blue.get()));
    EXPECT_FALSE(dim->IsGreaterOrEqual(blue.get()));
    MvValueHolder red = color(0.3, 0, 0), green = color(0, 0.3, 0);
    EXPECT_FALSE(red->IsEqual(green.get()));
    EXPECT_TRUE(red->IsNotEqual(green.get()));
    EXPECT_TRUE(red->IsLessOrEqual(green.get()));
    EXPECT_TRUE(red->IsGreaterOrEqual(green.get()));
    EXPECT_FALSE(red->IsLess(green.get()));
    EXPECT_FALSE(red->IsGreater(green.get()));
    EXPECT_TRUE(red->IsEqual(color(0.3, 0, 0).get()));
}

TEST(ColorComparison, OtherKindsRaiseTheOperatorError) {
    MvValueHolder c = color(0, 0, 0);
    MvValueHolder zero = number(0);
    MvValue* n = zero.get();
    auto error = [](const char* op) {
        return std::string("Operator (") + op + ") used with incompatible types";
    };
    EXPECT_EQ(messageOf([&] { c->IsEqual(n); }), error("equality"));
    EXPECT_EQ(messageOf([&] { c->IsNotEqual(n); }), error("!="));
    EXPECT_EQ(messageOf([&] { c->IsLess(n); }), error("<"));
    EXPECT_EQ(messageOf([&] { c->IsLessOrEqual(n); }), error("<="));
    EXPECT_EQ(messageOf([&] { c->IsGreater(n); }), error(">"));
    EXPECT_EQ(messageOf([&] { c->IsGreaterOrEqual(n); }), error(">="));
}

TEST(ColorDifference, IntensityOfSquaredRelativeDifference) {
    MvValueHolder c = color(1, 1, 1);
    EXPECT_EQ(numberOf(c->Difference(number(1).get(), 0, false)), 1);
    // Channels (1,1,1) against (3,1,1): (2/4)^2 = 0.25 in one channel.
    EXPECT_NEAR(numberOf(c->Difference(color(3, 1, 1).get(), 0, false)), 0.25 / 3, 1e-15);
    EXPECT_EQ(numberOf(c->Difference(color(1, 1, 1).get(), 0, false)), 0);
}

// ------------------------------------------------------------ coercion and file body

TEST(ColorCoercion, NumberVectorItselfAndText) {
    MvValueHolder c = color(0.2, 0.4, 0.6);
    MvValueHolder r;
    c->Coerce(r, MvTypeNumber);
    EXPECT_NEAR(MvNumberGetDoubleValue(r.get()), 0.4, 1e-15);
    c->Coerce(r, MvTypeVector);
    EXPECT_EQ(*r->GetVector(), (std::vector<double>{0.2, 0.4, 0.6}));
    c->Coerce(r, MvTypeColor);
    EXPECT_EQ(r.get(), c.get());
    c->Coerce(r, MvTypeText);
    EXPECT_EQ(r->GetText(), "0.2 0.4 0.6");
    EXPECT_EQ(messageOf([&] { c->Coerce(r, MvTypeList); }),
              "Coercion from (color) to (list) is not possible.");
}

TEST(ColorFileBody, ThreeDoublesAndTruncation) {
    std::ostringstream out;
    color(1, 2.5, 0)->Write(out);
    EXPECT_EQ(out.str(), std::string("\0\0\0\0\0\0\xf0\x3f"
                                     "\0\0\0\0\0\0\x04\x40"
                                     "\0\0\0\0\0\0\0\0",
                                     24));
    const std::string head("\x05\0\0\0", 4);
    std::istringstream whole(head + out.str());
    MvValueHolder loaded(ReadValue(whole));
    EXPECT_TRUE(loaded->IsEqual(color(1, 2.5, 0).get()));
    std::istringstream cut(head + out.str().substr(0, 23));
    EXPECT_EQ(messageOf([&] { delete ReadValue(cut); }), "File error(Reading color data failed.)");
}

} // namespace
