// Vectors: growth, sub-vectors, element-wise arithmetic with its errors,
// statistics, coercions, text form, search and the value-file body.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Numbers = std::vector<double>;

MvValueHolder number(double v) { return MvValueHolder(MvNumberCreate(v)); }
MvValueHolder text(const char* s) { return MvValueHolder(MvTextCreate(s)); }

MvValueHolder vectorOf(const Numbers& numbers) {
    MvValue* vector = MvVectorCreate();
    for (double v : numbers)
        MvVectorAppend(MvValueAsVector(vector), v);
    return MvValueHolder(vector);
}

Numbers numbersOf(const MvValueHolder& v) { return *v->GetVector(); }
Numbers numbersOf(MvValue* fresh) { return numbersOf(MvValueHolder(fresh)); }
double numberOf(MvValue* fresh) { return MvNumberGetDoubleValue(MvValueHolder(fresh).get()); }

// ------------------------------------------------------------ growth

TEST(VectorGrowth, SetElementBeyondTheEndFillsWithZeros) {
    MvValueHolder v = vectorOf({1, 2});
    v->SetElement(number(5).get(), number(9).get());
    EXPECT_EQ(numbersOf(v), (Numbers{1, 2, 0, 0, 0, 9}));
    v->SetElement(number(6).get(), number(4).get());
    v->SetElement(number(0).get(), number(-1).get());
    EXPECT_EQ(numbersOf(v), (Numbers{-1, 2, 0, 0, 0, 9, 4}));
}

TEST(VectorGrowth, InsertVectorOrNumberAnywhere) {
    MvValueHolder v = vectorOf({1, 2, 3});
    MvValueHolder pair = vectorOf({7, 8});
    v->Insert(pair, number(1).get());
    EXPECT_EQ(numbersOf(v), (Numbers{1, 7, 8, 2, 3}));
    MvValueHolder w = vectorOf({1, 2});
    w->Insert(v, number(2).get());
    MvValueHolder five = number(5);
    w->Insert(five, number(9).get());
    EXPECT_EQ(numbersOf(w), (Numbers{1, 2, 1, 7, 8, 2, 3, 0, 0, 5}));
    w->Prepend(five);
    EXPECT_EQ(numbersOf(w)[0], 5);
}

TEST(VectorGrowth, IntoItselfAndFailures) {
    MvValueHolder v = vectorOf({1, 2});
    v->Append(v);
    EXPECT_EQ(numbersOf(v), (Numbers{1, 2, 1, 2}));
    MvValueHolder word = text("x");
    EXPECT_EQ(messageOf([&] { v->Append(word); }), "Operator (append) used with incompatible types");
    // Beyond the end the zeros are written before the element is read.
    EXPECT_EQ(messageOf([&] { v->Insert(word, number(6).get()); }),
              "Type mismatch error, expecting (number)");
    EXPECT_EQ(numbersOf(v), (Numbers{1, 2, 1, 2, 0, 0}));
    EXPECT_EQ(messageOf([&] { v->SetElement(number(-1).get(), number(1).get()); }),
              "Vector index (4294967295) out of range.");
    EXPECT_EQ(numbersOf(v).size(), 6u);
}

TEST(VectorGrowth, FlatFunctions) {
    MvValueHolder v(MvVectorCreate());
    MvVectorValue* raw = MvValueAsVector(v.get());
    EXPECT_EQ(MvVectorSize(raw), 0);
    MvVectorSetValueAt(raw, 2, 7.5);
    EXPECT_EQ(MvVectorSize(raw), 3);
    EXPECT_EQ(MvVectorGetValueAt(raw, 2), 7.5);
    EXPECT_EQ(MvVectorGetValueAt(raw, 0), 0);
    EXPECT_EQ(MvValueAsVector(number(1).get()), nullptr);
}

// ------------------------------------------------------------ indexing

TEST(VectorIndexing, ElementsAndSubVectors) {
    MvValueHolder v = vectorOf({1, 2, 3});
    EXPECT_EQ(v->GetElement(number(2).get(), false)->GetNumber(), 3);
    EXPECT_EQ(messageOf([&] { v->GetElement(number(3).get(), false); }),
              "Vector index (3) out of range.");
    EXPECT_EQ(numbersOf(v->GetElement2(number(1).get(), number(0).get())), (Numbers{2, 3}));
    EXPECT_EQ(numbersOf(v->GetElement2(number(1).get(), number(1).get())), (Numbers{2}));
    EXPECT_EQ(messageOf([&] { v->GetElement2(number(2).get(), number(1).get()); }),
              "Second index must be smaller than the first.");
    EXPECT_EQ(messageOf([&] { v->GetElement2(number(0).get(), number(3).get()); }),
              "Vector index (0,3) out of range.");
    MvValueHolder empty = vectorOf({});
    EXPECT_EQ(messageOf([&] { empty->GetElement2(number(0).get(), number(0).get()); }),
              "Vector index (0,4294967295) out of range.");
    ASSERT_EQ(v->GetPropertyId("length"), 7);
    EXPECT_EQ(numberOf(v->GetProperty(7)), 3);
}

// ------------------------------------------------------------ arithmetic

using Dispatch = void (*)(MvValueHolder&, MvValueHolder&, MvValueHolder&, bool);

Numbers compute(Dispatch op, MvValueHolder a, MvValueHolder b) {
    MvValueHolder r;
    op(r, a, b, false);
    return numbersOf(r);
}

TEST(VectorArithmetic, ElementWiseWithNumbersAndVectors) {
    EXPECT_EQ(compute(MultiplyValues, vectorOf({1, 2}), number(3)), (Numbers{3, 6}));
    EXPECT_EQ(compute(MultiplyValues, number(3), vectorOf({1, 2})), (Numbers{3, 6}));
    EXPECT_EQ(compute(AddValues, vectorOf({1, 2, 3, 4, 5}), vectorOf({5, 4, 3, 2, 1})),
              (Numbers{6, 6, 6, 6, 6}));
    EXPECT_EQ(compute(SubtractValues, vectorOf({1, 2}), number(0.5)), (Numbers{0.5, 1.5}));
    EXPECT_EQ(compute(SubtractValues, vectorOf({1, 2}), vectorOf({2, 2})), (Numbers{-1, 0}));
    EXPECT_EQ(compute(DivideValues, vectorOf({1, 2}), number(4)), (Numbers{0.25, 0.5}));
    EXPECT_EQ(compute(DivideValues, vectorOf({1, 9}), vectorOf({4, 3})), (Numbers{0.25, 3}));
    EXPECT_EQ(compute(AddValues, vectorOf({}), vectorOf({})), Numbers{});
    EXPECT_EQ(numbersOf(MvValueHolder(vectorOf({1, -2})->Negate())), (Numbers{-1, 2}));
}

TEST(VectorArithmetic, SizeErrorsAndDivisionByZero) {
    MvValueHolder r;
    MvValueHolder two = vectorOf({1, 2}), three = vectorOf({1, 2, 3}), zero = number(0);
    EXPECT_EQ(messageOf([&] { AddValues(r, two, three, false); }),
              "Vectors must be the same size to be added");
    EXPECT_EQ(messageOf([&] { SubtractValues(r, two, three, false); }),
              "Vectors must be the same size to be subtracted");
    EXPECT_EQ(messageOf([&] { MultiplyValues(r, two, three, false); }),
              "Vectors must be the same size to be multiplied");
    EXPECT_EQ(messageOf([&] { DivideValues(r, two, three, false); }),
              "Vectors must be the same size to be divided");
    EXPECT_EQ(messageOf([&] { DivideValues(r, two, zero, false); }), "Attempt to divide by zero");

    // The quotients before the first zero divisor are already in the result.
    MvValueHolder dividend = vectorOf({6, 8, 9}), divisor = vectorOf({2, 0, 3});
    MvValueHolder q;
    EXPECT_EQ(messageOf([&] { DivideValues(q, dividend, divisor, false); }),
              "Attempt to divide by zero");
    EXPECT_EQ(numbersOf(q), (Numbers{3, 0, 0}));
}

TEST(VectorArithmetic, ResultHoldersAndTextSums) {
    MvValueHolder v = vectorOf({1, 2});
    MvValue* own = v.get();
    MvValueHolder one = number(1);
    AddValues(v, v, one, true);
    EXPECT_EQ(v.get(), own);
    EXPECT_EQ(numbersOf(v), (Numbers{2, 3}));

    MvValueHolder longer = vectorOf({0, 0, 0});
    MvValueHolder r = longer;
    AddValues(r, v, one, false);
    EXPECT_NE(r.get(), longer.get());
    EXPECT_EQ(numbersOf(longer), (Numbers{0, 0, 0}));

    MvValueHolder t;
    MvValueHolder abc = text("abc");
    AddValues(t, v, abc, false);
    EXPECT_EQ(t->GetText(), "2\t3abc");
}

// ------------------------------------------------------------ statistics

TEST(VectorStatistics, AverageAndSampleDeviation) {
    MvValueHolder v = vectorOf({2, 4, 4, 4, 5, 5, 7, 9});
    EXPECT_DOUBLE_EQ(numberOf(v->Sdev()), std::sqrt(32.0 / 7.0));
    EXPECT_DOUBLE_EQ(numberOf(v->Average()), 5);
    EXPECT_DOUBLE_EQ(MvVectorSdev(MvValueAsVector(v.get())), std::sqrt(32.0 / 7.0));
    for (int n = 1; n <= 9; ++n) {
        Numbers ramp;
        for (int i = 1; i <= n; ++i)
            ramp.push_back(i);
        EXPECT_DOUBLE_EQ(MvVectorAverage(MvValueAsVector(vectorOf(ramp).get())), (n + 1) / 2.0);
    }
}

TEST(VectorStatistics, EmptyAndSingleVectors) {
    EXPECT_EQ(numberOf(vectorOf({})->Sdev()), 0);
    EXPECT_TRUE(std::isnan(numberOf(vectorOf({})->Average())));
    EXPECT_TRUE(std::isnan(numberOf(vectorOf({3})->Sdev())));
    EXPECT_EQ(numberOf(vectorOf({})->Max()), -9e99);
    EXPECT_EQ(numberOf(vectorOf({})->Min()), 9e99);
}

TEST(VectorStatistics, FirstOfEqualExtremesWins) {
    std::int32_t position = -1;
    double value = 0;
    MvValueHolder v = vectorOf({3, 9, 9});
    MvVectorUnaryMax(MvValueAsVector(v.get()), &position, &value);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(value, 9);
    MvValueHolder w = vectorOf({5, -1, 2, -1});
    MvVectorUnaryMin(MvValueAsVector(w.get()), &position, &value);
    EXPECT_EQ(position, 1);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(MvVectorMax(MvValueAsVector(vectorOf({-5, -3}).get())), -3);
    EXPECT_EQ(MvVectorMin(MvValueAsVector(vectorOf({5, 3}).get())), 3);
}

// ------------------------------------------------------------ coercion, text, equality

TEST(VectorCoercion, ToNumberColorListAndBack) {
    MvValueHolder r;
    vectorOf({5})->Coerce(r, MvTypeNumber);
    EXPECT_EQ(MvNumberGetDoubleValue(r.get()), 5);
    EXPECT_EQ(messageOf([&] { vectorOf({1, 2})->Coerce(r, MvTypeNumber); }),
              "Coercion from (vector) to (number) Vector must have exactly one element.");
    vectorOf({0.5})->Coerce(r, MvTypeColor);
    EXPECT_EQ(r->GetText(), "0.5 0.5 0.5");
    vectorOf({1, 2, 3})->Coerce(r, MvTypeColor);
    EXPECT_EQ(r->GetText(), "1 2 3");
    EXPECT_EQ(messageOf([&] { vectorOf({1, 2})->Coerce(r, MvTypeColor); }),
              "Coercion from (vector) to (color) Vector must have 1 or 3 elements.");
    vectorOf({1, 2})->Coerce(r, MvTypeList);
    EXPECT_EQ(MvValueGetMvType(r.get()), MvTypeList);
    EXPECT_EQ(r->GetText(), "1\n2");
    EXPECT_EQ(messageOf([&] { vectorOf({1})->Coerce(r, MvTypeDate); }),
              "Coercion from (vector) to (date) is not possible.");
}

TEST(VectorCoercion, FromNumbersAndTexts) {
    MvValueHolder r;
    number(4)->Coerce(r, MvTypeVector);
    EXPECT_EQ(numbersOf(r), (Numbers{4}));
    number(0.25)->Coerce(r, MvTypeColor);
    EXPECT_EQ(r->GetText(), "0.25 0.25 0.25");
    text("1 2 3")->Coerce(r, MvTypeVector);
    EXPECT_EQ(numbersOf(r), (Numbers{1, 2, 3}));
    text("1 2 x 4")->Coerce(r, MvTypeVector);
    EXPECT_EQ(numbersOf(r), (Numbers{1, 2}));
    text("")->Coerce(r, MvTypeVector);
    EXPECT_EQ(numbersOf(r), Numbers{});
}

TEST(VectorText, TabSeparated) {
    EXPECT_EQ(vectorOf({1, 2.5})->GetText(), "1\t2.5");
    EXPECT_EQ(vectorOf({})->GetText(), "");
    EXPECT_EQ(vectorOf({1.0 / 3.0})->GetText(), "0.333333");
}

TEST(VectorEquality, SameLengthAndElements) {
    EXPECT_TRUE(vectorOf({1, 2})->IsEqual(vectorOf({1, 2}).get()));
    EXPECT_FALSE(vectorOf({1, 2})->IsEqual(vectorOf({1, 2, 3}).get()));
    EXPECT_TRUE(vectorOf({1, 2})->IsNotEqual(vectorOf({1, 3}).get()));
    EXPECT_EQ(messageOf([&] { vectorOf({1})->IsEqual(number(1).get()); }),
              "Operator (equality) used with incompatible types");
}

TEST(VectorDifference, RelativeToTheLargestSquare) {
    EXPECT_EQ(numberOf(vectorOf({3, 4})->Difference(vectorOf({0, 0}).get(), 0, false)), 1.25);
    EXPECT_EQ(numberOf(vectorOf({1, 2})->Difference(vectorOf({1, 2}).get(), 0, false)), 0);
    EXPECT_EQ(numberOf(vectorOf({0})->Difference(vectorOf({0}).get(), 0, false)), 0);
    EXPECT_EQ(numberOf(vectorOf({1})->Difference(vectorOf({1, 2}).get(), 0, false)), 1);
    EXPECT_EQ(numberOf(vectorOf({1})->Difference(number(1).get(), 0, false)), 1);
}

// ------------------------------------------------------------ search

TEST(VectorFind, NumbersAndWindows) {
    MvValueHolder v = vectorOf({1, 5, 3});
    EXPECT_EQ(numbersOf(FindInVector(v.get(), number(4).get())), (Numbers{1, 1}));
    EXPECT_EQ(numbersOf(FindInVector(v.get(), vectorOf({5, 3}).get())), (Numbers{1, 0}));
    EXPECT_EQ(numbersOf(FindInVector(v.get(), vectorOf({5, 4}).get())), (Numbers{1, 0.5}));
    EXPECT_EQ(numbersOf(FindInVector(vectorOf({1, 3}).get(), number(2).get())), (Numbers{0, 1}));
    EXPECT_EQ(numbersOf(FindInVector(vectorOf({1, 2, 1, 2}).get(), vectorOf({1, 2}).get())),
              (Numbers{0, 0}));
    EXPECT_EQ(numbersOf(FindInVector(v.get(), vectorOf({1, 5, 3, 0}).get())),
              (Numbers{0, 9.999999e105}));
    EXPECT_EQ(messageOf([&] { FindInVector(v.get(), text("x").get()); }),
              "Type mismatch: expect find(vector,(vector | number))");
}

// ------------------------------------------------------------ value-file body

std::string littleEndian32(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

TEST(VectorFileBody, CountThenDoubles) {
    std::ostringstream out;
    vectorOf({1, 2.5})->Write(out);
    EXPECT_EQ(out.str(), littleEndian32(2) + std::string("\0\0\0\0\0\0\xf0\x3f", 8) +
                             std::string("\0\0\0\0\0\0\x04\x40", 8));
    std::istringstream in(littleEndian32(MvTypeVector) + out.str());
    EXPECT_EQ(numbersOf(ReadValue(in)), (Numbers{1, 2.5}));
}

TEST(VectorFileBody, TruncatedBodiesRaiseErrors) {
    const std::string failed = "File error(Reading vector data failed.)";
    const std::string head = littleEndian32(MvTypeVector);
    for (const std::string& body :
         {std::string(), std::string("\x02\x00", 2), littleEndian32(2) + std::string(12, '\0'),
          littleEndian32(0xFFFFFFFF) + std::string(8, '\0')}) {
        std::istringstream in(head + body);
        EXPECT_EQ(messageOf([&] { delete ReadValue(in); }), failed);
    }
}

} // namespace
