#include "MvIndex.h"

#include "morvane/MvException.h"

#include <cmath>

std::int64_t MvIndexFromValue(MvValue* index) {
    if (!index)
        MvRaise("Operation attempted on NULL value. Function may not have returned a result.");
    double number = std::floor(index->GetNumber());
    if (std::isnan(number))
        MvRaise("Index is not a number.");
    // 2^62 is far beyond any container yet small enough to convert safely.
    constexpr double kLimit = 4611686018427387904.0;
    if (number > kLimit)
        return static_cast<std::int64_t>(kLimit);
    if (number < -kLimit)
        return -static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(number);
}
