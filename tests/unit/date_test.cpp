// Dates: millisecond differences of captured dates, seconds arithmetic,
// normalisation, calendar properties, comparisons and the value-file body.
// Tests that read calendar fields run in a fixed time zone.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <thread>

namespace {

// Sets TZ for the life of the object and restores the previous setting.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        const char* previous = std::getenv("TZ");
        hadZone_ = previous != nullptr;
        if (hadZone_)
            previous_ = previous;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (hadZone_)
            setenv("TZ", previous_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    bool hadZone_ = false;
    std::string previous_;
};

MvValueHolder number(double v) { return MvValueHolder(MvNumberCreate(v)); }
MvValueHolder now() { return MvValueHolder(MvDateTimeValueCreate(nullptr)); }

void set(MvValueHolder& date, const char* property, double v) {
    date->SetProperty(date->GetPropertyId(property), number(v).get());
}

double get(MvValueHolder& date, const char* property) {
    return MvValueHolder(date->GetProperty(date->GetPropertyId(property)))->GetNumber();
}

MvValueHolder dateAt(int year, int month, int day, int hour, int minute, int second) {
    MvValueHolder date = now();
    set(date, "year", year);
    set(date, "month", month);
    set(date, "day_of_month", day);
    set(date, "hour", hour);
    set(date, "minute", minute);
    set(date, "second", second);
    return date;
}

using Dispatch = void (*)(MvValueHolder&, MvValueHolder&, MvValueHolder&, bool);

MvValueHolder compute(Dispatch op, MvValueHolder a, MvValueHolder b) {
    MvValueHolder r;
    op(r, a, b, false);
    return r;
}

// ------------------------------------------------------------ clock

TEST(DateClock, CapturedDatesDifferByMilliseconds) {
    MvValueHolder earlier = now();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    MvValueHolder later = now();
    double elapsed = compute(SubtractValues, later, earlier)->GetNumber();
    EXPECT_GE(elapsed, 0.029);
    EXPECT_LT(elapsed, 0.9);
    EXPECT_DOUBLE_EQ(compute(SubtractValues, earlier, later)->GetNumber(), -elapsed);
    EXPECT_TRUE(earlier->IsLess(later.get()));
    EXPECT_TRUE(later->IsGreater(earlier.get()));
    EXPECT_TRUE(earlier->IsNotEqual(later.get()));
    EXPECT_FALSE(earlier->IsEqual(later.get()));
}

TEST(DateClock, ReadingFollowsAddedSecondsUntilAFieldIsSet) {
    MvValueHolder start = now();
    MvValueHolder half = compute(AddValues, start, number(0.5));
    EXPECT_DOUBLE_EQ(compute(SubtractValues, half, start)->GetNumber(), 0.5);

    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    MvValueHolder later = now();
    set(later, "second", get(later, "second"));
    double elapsed = compute(SubtractValues, later, start)->GetNumber();
    EXPECT_EQ(elapsed, std::floor(elapsed));
}

// ------------------------------------------------------------ text and arithmetic

TEST(DateText, CalendarDateAndTimeOfDay) {
    TimeZone utc("UTC");
    MvValueHolder date = dateAt(2026, 12, 4, 21, 35, 33);
    EXPECT_EQ(date->GetText(), "04 Dec 2026, 21:35:33");
    set(date, "day_of_month", 0);
    EXPECT_EQ(date->GetText(), "21:35:33");
    set(date, "day_of_month", 1);
    EXPECT_EQ(date->GetText(), "01 Dec 2026, 21:35:33");
}

TEST(DateArithmetic, SecondsForwardAndBack) {
    TimeZone utc("UTC");
    MvValueHolder date = dateAt(2026, 12, 4, 21, 35, 33);
    EXPECT_EQ(compute(AddValues, date, number(90))->GetText(), "04 Dec 2026, 21:37:03");
    EXPECT_EQ(compute(AddValues, date, number(90.9))->GetText(), "04 Dec 2026, 21:37:03");
    MvValueHolder before = compute(SubtractValues, date, number(60));
    EXPECT_EQ(before->GetText(), "04 Dec 2026, 21:34:33");
    EXPECT_EQ(compute(SubtractValues, date, before)->GetNumber(), 60);
    EXPECT_EQ(date->GetText(), "04 Dec 2026, 21:35:33");
    MvValueHolder lastSecond = dateAt(2026, 12, 31, 23, 59, 30);
    EXPECT_EQ(compute(AddValues, lastSecond, number(45))->GetText(), "01 Jan 2027, 00:00:15");
}

TEST(DateArithmetic, TextSumsAndOtherKinds) {
    TimeZone utc("UTC");
    MvValueHolder date = dateAt(2026, 12, 4, 21, 35, 33);
    EXPECT_EQ(compute(AddValues, date, MvValueHolder(MvTextCreate("!")))->GetText(),
              "04 Dec 2026, 21:35:33!");
    MvValueHolder r;
    MvValueHolder grey(MvColorValueCreate(0, 0, 0));
    EXPECT_EQ(messageOf([&] { SubtractValues(r, date, grey, false); }),
              "Can't execute \"date - color\" : incompatible types.");
}

// ------------------------------------------------------------ properties

TEST(DateProperties, MonthThirteenNormalisesOnComparison) {
    TimeZone utc("UTC");
    MvValueHolder date = dateAt(2026, 3, 15, 12, 0, 0);
    set(date, "month", 13);
    EXPECT_EQ(get(date, "month"), 13);
    EXPECT_TRUE(date->IsEqual(date.get()));
    EXPECT_EQ(get(date, "month"), 1);
    EXPECT_EQ(get(date, "year"), 2027);
    EXPECT_EQ(date->GetText(), "15 Jan 2027, 12:00:00");
}

TEST(DateProperties, CalendarFields) {
    TimeZone utc("UTC");
    MvValueHolder sunday = dateAt(2026, 12, 6, 8, 9, 10);
    EXPECT_TRUE(sunday->IsEqual(sunday.get()));
    EXPECT_EQ(get(sunday, "day_of_week"), 0);
    EXPECT_EQ(get(sunday, "month"), 12);
    EXPECT_EQ(get(sunday, "year"), 2026);
}

TEST(DateProperties, IdsAndSettersAtTheirLimits) {
    MvValueHolder date = now();
    const char* names[] = {"second", "minute", "hour", "day_of_week", "day_of_month", "month", "year"};
    const int ids[] = {23, 24, 25, 26, 27, 29, 30};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(date->GetPropertyId(names[i]), ids[i]) << names[i];
    EXPECT_EQ(date->GetPropertyId("red"), 0);
    EXPECT_EQ(date->GetPropertyId("type"), 1);
    EXPECT_EQ(messageOf([&] { date->SetProperty(8, number(1).get()); }),
              "The property \"red\" can not be written.");

    set(date, "second", 65536 + 5);
    EXPECT_EQ(get(date, "second"), 5);
    set(date, "second", 32768);
    EXPECT_EQ(get(date, "second"), -32768);
    set(date, "minute", -7.9);
    EXPECT_EQ(get(date, "minute"), -7);
    // A stored year (years since 1900) at or above 1900 is read as it is.
    set(date, "year", 3900);
    EXPECT_EQ(get(date, "year"), 2000);
}

// ------------------------------------------------------------ comparisons, coercion

TEST(DateComparison, OtherKindsRaiseTheOperatorError) {
    MvValueHolder date = now();
    MvValueHolder zero = number(0);
    auto error = [](const char* op) {
        return std::string("Operator (") + op + ") used with incompatible types";
    };
    EXPECT_EQ(messageOf([&] { date->IsEqual(zero.get()); }), error("=="));
    EXPECT_EQ(messageOf([&] { date->IsNotEqual(zero.get()); }), error("!="));
    EXPECT_EQ(messageOf([&] { date->IsLess(zero.get()); }), error("<"));
    EXPECT_EQ(messageOf([&] { date->IsLessOrEqual(zero.get()); }), error("<="));
    EXPECT_EQ(messageOf([&] { date->IsGreater(zero.get()); }), error(">"));
    EXPECT_EQ(messageOf([&] { date->IsGreaterOrEqual(zero.get()); }), error(">="));
}

TEST(DateCoercion, OnlyToText) {
    TimeZone utc("UTC");
    MvValueHolder date = dateAt(2026, 12, 4, 21, 35, 33);
    MvValueHolder r;
    date->Coerce(r, MvTypeText);
    EXPECT_EQ(r->GetText(), "04 Dec 2026, 21:35:33");
    EXPECT_EQ(messageOf([&] { date->Coerce(r, MvTypeNumber); }),
              "Coercion from (date) to (number) is not possible.");
}

// ------------------------------------------------------------ record

// "dd Mon yyyy, hh:mm:ss": digits, letters and punctuation in their places.
bool hasDateShape(const std::string& s) {
    const std::string shape = "99 Aaa 9999, 99:99:99";
    if (s.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        bool fits = shape[i] == '9'   ? std::isdigit(c) != 0
                    : shape[i] == 'A' ? std::isupper(c) != 0
                    : shape[i] == 'a' ? std::islower(c) != 0
                                      : s[i] == shape[i];
        if (!fits)
            return false;
    }
    return true;
}

TEST(DateRecord, FlatFunctionsAndOwnRecord) {
    MvDateTime* record = MvDateTimeCreate();
    MvValueHolder text(MvDateTimeToString(record));
    EXPECT_TRUE(hasDateShape(text->GetText())) << text->GetText();
    MvDateTimeDelete(record);
    MvDateTimeDelete(nullptr);

    TimeZone utc("UTC");
    MvValueHolder date = dateAt(2026, 12, 4, 21, 35, 33);
    date->GetDate()->fields->tm_hour = 22;
    EXPECT_EQ(date->GetText(), "04 Dec 2026, 22:35:33");
    MvValueHolder copy(date->Clone());
    date->GetDate()->fields->tm_hour = 23;
    EXPECT_EQ(copy->GetText(), "04 Dec 2026, 22:35:33");
}

// ------------------------------------------------------------ value-file body

std::string littleEndian32(std::int32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

TEST(DateFileBody, CalendarFieldsAndTimeOnlyFlag) {
    TimeZone utc("UTC");
    MvValueHolder date = dateAt(2026, 12, 4, 21, 35, 33);
    EXPECT_TRUE(date->IsEqual(date.get()));   // normalises: day of week and of year
    std::ostringstream out;
    date->Write(out);
    std::string expected;
    for (int field : {33, 35, 21, 4, 11, 126, 5, 337, 0, 0})
        expected += littleEndian32(field);
    EXPECT_EQ(out.str(), expected);

    std::istringstream in(littleEndian32(MvTypeDate) + out.str());
    MvValueHolder loaded(ReadValue(in));
    EXPECT_TRUE(loaded->IsEqual(date.get()));
    EXPECT_EQ(loaded->GetText(), "04 Dec 2026, 21:35:33");

    std::string timeOnly = out.str();
    timeOnly[36] = 1;
    std::istringstream flagged(littleEndian32(MvTypeDate) + timeOnly);
    EXPECT_EQ(MvValueHolder(ReadValue(flagged))->GetText(), "21:35:33");

    std::istringstream cut(littleEndian32(MvTypeDate) + out.str().substr(0, 39));
    EXPECT_EQ(messageOf([&] { delete ReadValue(cut); }), "File error(Reading date data failed.)");
}

TEST(DateFileBody, ALoadedDateCarriesNoClockReading) {
    MvValueHolder captured = now();
    std::ostringstream out;
    captured->Write(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::istringstream in(littleEndian32(MvTypeDate) + out.str());
    MvValueHolder loaded(ReadValue(in));
    EXPECT_TRUE(loaded->IsEqual(captured.get()));
}

} // namespace
