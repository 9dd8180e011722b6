#include "MvElementIndex.h"

#include "morvane/MvException.h"

#include <cmath>
#include <limits>

std::uint32_t MvElementIndexFromValue(MvValue* index) {
    if (!index)
        MvRaise("Operation attempted on NULL value. Function may not have returned a result.");
    double number = std::trunc(index->GetNumber());
    if (std::isnan(number))
        MvRaise("Index is not a number.");
    // Beyond the 32-bit range the index stays "very large" instead of
    // wrapping round to a small, valid position.
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::uint32_t>::max();
    if (number < kLowest)
        number = kLowest;
    if (number > kHighest)
        number = kHighest;
    if (number < 0)
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(number));
    return static_cast<std::uint32_t>(number);
}
