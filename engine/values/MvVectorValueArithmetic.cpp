// Vector arithmetic: element-wise with a number or a vector of the same
// length, written into the result holder the dispatcher prepared.
#include "MvVectorValue.h"

#include "MvNumberValue.h"
#include "MvVectorKernels.h"
#include "morvane/MvException.h"

#include <cmath>

namespace {

using VectorKernel = void (*)(const double*, const double*, double*, std::size_t);
using ScalarKernel = void (*)(const double*, double, double*, std::size_t);

bool isVector(MvValue* v) { return v && v->GetType() == MvTypeVector; }
bool isNumber(MvValue* v) { return v && v->GetType() == MvTypeNumber; }

// The storage that receives a result of n elements. The dispatcher hands
// over a vector of that length (possibly the left operand itself, for the
// in-place statements); any other holder gets a new vector.
std::vector<double>& resultStorage(MvValueHolder& result, std::size_t n) {
    MvValue* held = result.get();
    if (!isVector(held) || held->GetVector()->size() != n)
        result = new MvVectorValue(std::vector<double>(n));
    return static_cast<MvVectorValue*>(result.get())->values;
}

void applyScalar(MvValueHolder& result, const std::vector<double>& a, double x,
                 ScalarKernel kernel) {
    std::vector<double>& out = resultStorage(result, a.size());
    kernel(a.data(), x, out.data(), a.size());
}

void applyVector(MvValueHolder& result, const std::vector<double>& a, MvValue* operand,
                 const char* sizeError, VectorKernel kernel) {
    const std::vector<double>& b = *operand->GetVector();
    if (a.size() != b.size())
        MvRaise(sizeError);
    std::vector<double>& out = resultStorage(result, a.size());
    kernel(a.data(), b.data(), out.data(), a.size());
}

[[noreturn]] void raiseDivisionByZero() { MvRaise("Attempt to divide by zero"); }

} // namespace

void MvVectorValue::Add(MvValueHolder& result, MvValueHolder& operand) {
    MvValue* o = operand.get();
    if (isNumber(o))
        applyScalar(result, values, o->GetNumber(), MvVectorKernels::addScalar);
    else if (isVector(o))
        applyVector(result, values, o, "Vectors must be the same size to be added",
                    MvVectorKernels::add);
    else
        MvValue::Add(result, operand);
}

// v - x is computed as v + (-x): IEEE subtraction is exactly that sum.
void MvVectorValue::Subtract(MvValueHolder& result, MvValueHolder& operand) {
    MvValue* o = operand.get();
    if (isNumber(o))
        applyScalar(result, values, -o->GetNumber(), MvVectorKernels::addScalar);
    else if (isVector(o))
        applyVector(result, values, o, "Vectors must be the same size to be subtracted",
                    MvVectorKernels::subtract);
    else
        MvValue::Subtract(result, operand);
}

void MvVectorValue::Multiply(MvValueHolder& result, MvValueHolder& operand) {
    MvValue* o = operand.get();
    if (isNumber(o))
        applyScalar(result, values, o->GetNumber(), MvVectorKernels::multiplyScalar);
    else if (isVector(o))
        applyVector(result, values, o, "Vectors must be the same size to be multiplied",
                    MvVectorKernels::multiply);
    else
        MvValue::Multiply(result, operand);
}

// By a number: every element is multiplied by the reciprocal. By a vector:
// the elements before the first zero divisor are written, then the zero
// raises the error.
void MvVectorValue::Divide(MvValueHolder& result, MvValueHolder& operand) {
    MvValue* o = operand.get();
    if (isNumber(o)) {
        double x = o->GetNumber();
        if (x == 0.0)
            raiseDivisionByZero();
        applyScalar(result, values, 1.0 / x, MvVectorKernels::multiplyScalar);
        return;
    }
    if (!isVector(o))
        return MvValue::Divide(result, operand);
    const std::vector<double>& b = *o->GetVector();
    if (values.size() != b.size())
        MvRaise("Vectors must be the same size to be divided");
    std::vector<double>& out = resultStorage(result, values.size());
    std::size_t zero = MvVectorKernels::firstZero(b.data(), b.size());
    MvVectorKernels::divide(values.data(), b.data(), out.data(), zero);
    if (zero < b.size())
        raiseDivisionByZero();
}

MvValue* MvVectorValue::Negate() {
    MvVectorValue* negated = new MvVectorValue(std::vector<double>(values.size()));
    MvVectorKernels::multiplyScalar(values.data(), -1.0, negated->values.data(), values.size());
    return negated;
}

bool MvVectorValue::CanHoldResult(MvTypeEnum resultType, MvValue* left) {
    return resultType == MvTypeVector && isVector(left) &&
           left->GetVector()->size() == values.size();
}

// The root of the summed squared differences relative to the largest
// square of any element of either vector; 1 when the shapes do not match.
MvValue* MvVectorValue::Difference(MvValue* other, double, bool) {
    if (!isVector(other) || other->GetVector()->size() != values.size())
        return new MvNumberValue(1.0);
    const std::vector<double>& b = *other->GetVector();
    const std::size_t n = values.size();
    double largest = std::fmax(MvVectorKernels::largestSquare(values.data(), n),
                               MvVectorKernels::largestSquare(b.data(), n));
    double s = MvVectorKernels::sumOfSquaredDifferences(values.data(), b.data(), n);
    return new MvNumberValue(largest > 0.0 ? std::sqrt(s / largest) : 0.0);
}
