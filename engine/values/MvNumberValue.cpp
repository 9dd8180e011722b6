// Numbers: arithmetic into a result holder, comparisons, math functions.
#include "MvNumberValue.h"

#include "MvColorValue.h"
#include "MvVectorValue.h"
#include "MvEntryGuard.h"
#include "morvane/MvException.h"
#include "morvane/MvScalarApi.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <istream>
#include <ostream>

namespace {

// The dispatcher hands over a holder that already holds a number; anyone
// calling the operation directly with another holder still gets a number.
void storeResult(MvValueHolder& result, double v) {
    if (result.get() && result->GetType() == MvTypeNumber)
        static_cast<MvNumberValue*>(result.get())->value = v;
    else
        result = new MvNumberValue(v);
}

bool isNumber(MvValue* v) { return v && v->GetType() == MvTypeNumber; }

} // namespace

MvNumberValue::MvNumberValue(std::istream& in) : value(0.0) {
    unsigned char bytes[8];
    if (!in.read(reinterpret_cast<char*>(bytes), 8))
        throw new MvFileException("Reading number data failed.");
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | bytes[i];
    std::memcpy(&value, &bits, sizeof value);
}

MvValue* MvNumberValue::Clone() { return new MvNumberValue(value); }

MvTypeEnum MvNumberValue::GetType() { return MvTypeNumber; }

// A vector of the one number, or the grey whose channels are all of it.
void MvNumberValue::Coerce(MvValueHolder& result, MvTypeEnum target) {
    if (target == MvTypeVector) {
        result = new MvVectorValue({value});
        return;
    }
    if (target == MvTypeColor) {
        result = new MvColorValue(MvColor{value, value, value});
        return;
    }
    MvValue::Coerce(result, target);
}

void MvNumberValue::Write(std::ostream& out) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = char((bits >> (8 * i)) & 0xFF);
    out.write(bytes, 8);
}

std::string MvNumberValue::format(double v) {
    // The same text as inserting the double into a stream with default
    // settings (general notation, 6 significant digits).
    char buffer[32];
    int length = std::snprintf(buffer, sizeof buffer, "%g", v);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string MvNumberValue::GetText() { return format(value); }

double MvNumberValue::GetNumber() { return value; }

MvValue* MvNumberValue::Negate() { return new MvNumberValue(-value); }
MvValue* MvNumberValue::Sin() { return new MvNumberValue(std::sin(value)); }
MvValue* MvNumberValue::Cos() { return new MvNumberValue(std::cos(value)); }
MvValue* MvNumberValue::Tan() { return new MvNumberValue(std::tan(value)); }
MvValue* MvNumberValue::Asin() { return new MvNumberValue(std::asin(value)); }
MvValue* MvNumberValue::Acos() { return new MvNumberValue(std::acos(value)); }
MvValue* MvNumberValue::Atan() { return new MvNumberValue(std::atan(value)); }
MvValue* MvNumberValue::Sqrt() { return new MvNumberValue(std::sqrt(value)); }
MvValue* MvNumberValue::Exp() { return new MvNumberValue(std::exp(value)); }
MvValue* MvNumberValue::Log() { return new MvNumberValue(std::log10(value)); }
MvValue* MvNumberValue::Ln() { return new MvNumberValue(std::log(value)); }
MvValue* MvNumberValue::Floor() { return new MvNumberValue(std::floor(value)); }
MvValue* MvNumberValue::Ceil() { return new MvNumberValue(std::ceil(value)); }
MvValue* MvNumberValue::Abs() { return new MvNumberValue(std::fabs(value)); }

// Halves round up: 2.5 gives 3 and -2.5 gives -2.
double MvNumberValue::roundHalfUp(double v) {
    double fraction = v - std::floor(v);
    return fraction >= 0.5 ? std::ceil(v) : std::floor(v);
}

MvValue* MvNumberValue::Round() { return new MvNumberValue(roundHalfUp(value)); }

MvValue* MvNumberValue::Pow(MvValue* exponent) {
    return new MvNumberValue(std::pow(value, exponent->GetNumber()));
}

// The squared relative difference; 1 when the other value is not a number.
MvValue* MvNumberValue::Difference(MvValue* other, double, bool) {
    if (!isNumber(other))
        return new MvNumberValue(1.0);
    double o = other->GetNumber();
    double d = o - value;
    double s = o + value;
    return new MvNumberValue((d * d) / (s * s));
}

void MvNumberValue::Add(MvValueHolder& result, MvValueHolder& operand) {
    if (!isNumber(operand.get()))
        return MvValue::Add(result, operand);
    storeResult(result, value + operand->GetNumber());
}

void MvNumberValue::Subtract(MvValueHolder& result, MvValueHolder& operand) {
    if (!isNumber(operand.get()))
        return MvValue::Subtract(result, operand);
    storeResult(result, value - operand->GetNumber());
}

void MvNumberValue::Multiply(MvValueHolder& result, MvValueHolder& operand) {
    if (!isNumber(operand.get()))
        return MvValue::Multiply(result, operand);
    storeResult(result, value * operand->GetNumber());
}

void MvNumberValue::Divide(MvValueHolder& result, MvValueHolder& operand) {
    if (!isNumber(operand.get()))
        return MvValue::Divide(result, operand);
    double divisor = operand->GetNumber();
    if (divisor == 0.0)
        MvRaise("Attempt to divide by zero");
    storeResult(result, value / divisor);
}

bool MvNumberValue::IsEqual(MvValue* other) {
    double o = other->GetNumber();
    return !(value < o) && !(value > o);
}

bool MvNumberValue::IsNotEqual(MvValue* other) {
    double o = other->GetNumber();
    return value < o || value > o;
}

bool MvNumberValue::IsLess(MvValue* other) { return value < other->GetNumber(); }
bool MvNumberValue::IsLessOrEqual(MvValue* other) { return value <= other->GetNumber(); }
bool MvNumberValue::IsGreater(MvValue* other) { return value > other->GetNumber(); }
bool MvNumberValue::IsGreaterOrEqual(MvValue* other) { return value >= other->GetNumber(); }

MvValue* MvNumberCreate(double value) { MV_GUARDED_ENTRY(nullptr, return new MvNumberValue(value);); }

// Raises a type error for any other kind (a script error when a native
// function asks).
double MvNumberGetDoubleValue(MvValue* value) {
    MV_RAISING_ENTRY(
        if (!isNumber(value))
            throw new MvTypeException("number");
        return static_cast<MvNumberValue*>(value)->value;);
}

void MvNumberDelete(MvValue* value) { delete value; }
