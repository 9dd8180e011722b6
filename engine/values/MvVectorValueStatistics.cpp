// Vector statistics: mean, sample standard deviation and the extremes.
#include "MvVectorValue.h"

#include "MvNumberValue.h"
#include "MvVectorKernels.h"

#include <cmath>
#include <cstdint>

namespace {

// The starting points of the extreme searches: what an empty vector gives.
constexpr double kBelowEverything = -9e99;
constexpr double kAboveEverything = 9e99;

} // namespace

// An empty vector gives the IEEE quotient 0 / 0.
double MvVectorValue::average() const {
    return MvVectorKernels::sum(values.data(), values.size()) / static_cast<double>(values.size());
}

// The divisor n - 1 is taken in unsigned 32-bit arithmetic: an empty vector
// divides 0 by 4294967295 and gives 0; one element gives 0 / 0.
double MvVectorValue::sdev() const {
    const std::size_t n = values.size();
    const std::uint32_t divisor = static_cast<std::uint32_t>(n) - 1u;
    double squares = MvVectorKernels::sumOfSquaredDeviations(values.data(), average(), n);
    return std::sqrt(squares / static_cast<double>(divisor));
}

// Only a strictly greater element replaces the best so far: the first of
// equal extremes wins.
double MvVectorValue::max(std::size_t& position) const {
    double best = kBelowEverything;
    position = 0;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] > best) {
            best = values[i];
            position = i;
        }
    return best;
}

double MvVectorValue::min(std::size_t& position) const {
    double best = kAboveEverything;
    position = 0;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] < best) {
            best = values[i];
            position = i;
        }
    return best;
}

MvValue* MvVectorValue::Average() { return new MvNumberValue(average()); }

MvValue* MvVectorValue::Sdev() { return new MvNumberValue(sdev()); }

MvValue* MvVectorValue::Max() {
    std::size_t position;
    return new MvNumberValue(max(position));
}

MvValue* MvVectorValue::Min() {
    std::size_t position;
    return new MvNumberValue(min(position));
}
