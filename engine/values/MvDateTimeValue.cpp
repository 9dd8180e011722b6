// Dates: seconds arithmetic, comparison by difference, calendar properties
// and the value-file body.
#include "MvDateTimeValue.h"

#include "MvLittleEndian.h"
#include "MvNumberValue.h"
#include "morvane/MvException.h"
#include "morvane/MvProperties.h"

#include <cmath>
#include <limits>

namespace {

bool isDate(MvValue* v) { return v && v->GetType() == MvTypeDate; }
bool isNumber(MvValue* v) { return v && v->GetType() == MvTypeNumber; }

// The dispatcher hands over a holder with a date (possibly this one, for
// the in-place statements); any other holder gets a new date.
MvDateTime& resultDate(MvValueHolder& result) {
    if (!isDate(result.get()))
        result = new MvDateTimeValue();
    return *result->GetDate();
}

void storeNumber(MvValueHolder& result, double v) {
    if (isNumber(result.get()))
        static_cast<MvNumberValue*>(result.get())->value = v;
    else
        result = new MvNumberValue(v);
}

// A property value as the record stores it: truncated to a whole number and
// then to 16 bits (numbers beyond any int wrap as their low 16 bits would).
int sixteenBits(MvValue* value) {
    double x = std::trunc(value->GetNumber());
    if (std::isnan(x))
        x = 0;
    constexpr double kLimit = static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2);
    x = std::fmax(-kLimit, std::fmin(kLimit, x));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::int64_t>(x)));
}

// The value-file body is ten 32-bit little-endian signed integers, 40 bytes:
//   offset  0  seconds          offset 20  years since 1900
//   offset  4  minutes          offset 24  day of week (0 = Sunday)
//   offset  8  hours            offset 28  day of year
//   offset 12  day of month     offset 32  daylight-saving flag
//   offset 16  month (0..11)    offset 36  time-only flag (0 or 1)
// The clock reading is not stored: it means nothing once the program ends.
constexpr int kFieldCount = 9;

int* fieldSlots(std::tm& t, int index) {
    int* const slots[kFieldCount] = {&t.tm_sec,  &t.tm_min,  &t.tm_hour,
                                     &t.tm_mday, &t.tm_mon,  &t.tm_year,
                                     &t.tm_wday, &t.tm_yday, &t.tm_isdst};
    return slots[index];
}

[[noreturn]] void raiseReadFailure() { throw new MvFileException("Reading date data failed."); }

} // namespace

MvDateTimeValue::MvDateTimeValue(std::istream& in) {
    std::tm fields{};
    for (int i = 0; i < kFieldCount; ++i) {
        std::int32_t v;
        if (!MvLittleEndian::readI32(in, v))
            raiseReadFailure();
        *fieldSlots(fields, i) = v;
    }
    std::int32_t timeOnly;
    if (!MvLittleEndian::readI32(in, timeOnly))
        raiseReadFailure();
    *date.fields = fields;
    date.timeOnly = timeOnly != 0 ? 1 : 0;
    date.ticks = 0;
}

void MvDateTimeValue::Write(std::ostream& out) {
    for (int i = 0; i < kFieldCount; ++i)
        MvLittleEndian::writeI32(out, *fieldSlots(*date.fields, i));
    MvLittleEndian::writeI32(out, date.timeOnly);
}

MvValue* MvDateTimeValue::Clone() { return new MvDateTimeValue(date); }

MvTypeEnum MvDateTimeValue::GetType() { return MvTypeDate; }

std::string MvDateTimeValue::GetText() { return date.text(); }

MvDateTime* MvDateTimeValue::GetDate() { return &date; }

void MvDateTimeValue::Add(MvValueHolder& result, MvValueHolder& operand) {
    if (!isNumber(operand.get()))
        return MvValue::Add(result, operand);
    double seconds = operand->GetNumber();
    MvDateTime& sum = resultDate(result);
    sum = date;
    sum.addSeconds(seconds);
}

void MvDateTimeValue::Subtract(MvValueHolder& result, MvValueHolder& operand) {
    MvValue* o = operand.get();
    if (isNumber(o)) {
        double seconds = o->GetNumber();
        MvDateTime& moved = resultDate(result);
        moved = date;
        moved.addSeconds(-seconds);
        return;
    }
    if (isDate(o))
        return storeNumber(result, MvDateTime::difference(date, *o->GetDate()));
    MvValue::Subtract(result, operand);
}

double MvDateTimeValue::secondsAfter(MvValue* other, const char* op) {
    if (!isDate(other))
        throw new MvOperatorException(op);
    return MvDateTime::difference(date, *other->GetDate());
}

bool MvDateTimeValue::IsEqual(MvValue* other) { return secondsAfter(other, "==") == 0; }
bool MvDateTimeValue::IsNotEqual(MvValue* other) { return secondsAfter(other, "!=") != 0; }
bool MvDateTimeValue::IsLess(MvValue* other) { return secondsAfter(other, "<") < 0; }
bool MvDateTimeValue::IsLessOrEqual(MvValue* other) { return secondsAfter(other, "<=") <= 0; }
bool MvDateTimeValue::IsGreater(MvValue* other) { return secondsAfter(other, ">") > 0; }
bool MvDateTimeValue::IsGreaterOrEqual(MvValue* other) { return secondsAfter(other, ">=") >= 0; }

int MvDateTimeValue::GetPropertyId(const char* name) {
    switch (int id = MvPropertyIdFromName(name)) {
    case MvPropSecond:
    case MvPropMinute:
    case MvPropHour:
    case MvPropDayOfWeek:
    case MvPropDayOfMonth:
    case MvPropMonth:
    case MvPropYear:
        return id;
    default:
        return MvValue::GetPropertyId(name);
    }
}

MvValue* MvDateTimeValue::GetProperty(int propertyId) {
    const std::tm& f = *date.fields;
    switch (propertyId) {
    case MvPropSecond:
        return new MvNumberValue(f.tm_sec);
    case MvPropMinute:
        return new MvNumberValue(f.tm_min);
    case MvPropHour:
        return new MvNumberValue(f.tm_hour);
    case MvPropDayOfWeek:
        return new MvNumberValue(f.tm_wday);
    case MvPropDayOfMonth:
        return new MvNumberValue(f.tm_mday);
    case MvPropMonth:
        return new MvNumberValue(f.tm_mon + 1.0);
    case MvPropYear:
        // A year stored in full (at or above 1900) is returned as it is.
        return new MvNumberValue(f.tm_year >= 1900 ? f.tm_year : f.tm_year + 1900.0);
    default:
        return MvValue::GetProperty(propertyId);
    }
}

// The fields are not normalised here: the next arithmetic or comparison
// does it, so "month 13" becomes January of the next year then.
void MvDateTimeValue::SetProperty(int propertyId, MvValue* newValue) {
    std::tm& f = *date.fields;
    switch (propertyId) {
    case MvPropSecond:
        f.tm_sec = sixteenBits(newValue);
        break;
    case MvPropMinute:
        f.tm_min = sixteenBits(newValue);
        break;
    case MvPropHour:
        f.tm_hour = sixteenBits(newValue);
        break;
    case MvPropDayOfWeek:
        f.tm_wday = sixteenBits(newValue);
        break;
    case MvPropDayOfMonth:
        f.tm_mday = sixteenBits(newValue);
        date.timeOnly = f.tm_mday == 0 ? 1 : 0;
        break;
    case MvPropMonth:
        f.tm_mon = sixteenBits(newValue) - 1;
        break;
    case MvPropYear:
        f.tm_year = sixteenBits(newValue) - 1900;
        break;
    default:
        return MvValue::SetProperty(propertyId, newValue);
    }
    date.ticks = 0;
}
