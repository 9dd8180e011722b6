// The date-time record: "now", moving by seconds, text and difference, all
// through the C library's local time.
#include "morvane/MvDateTime.h"

#include "platform/MvPlatform.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// 0 means "no clock reading": a reading that happens to be 0 (the first
// millisecond of the process) is taken as 1.
std::uint32_t clockReading() { return std::max<std::uint32_t>(MvPlatform::elapsedMilliseconds(), 1); }

// x truncated to a whole number and held within +-limit, so that no double
// (huge, infinite or not a number) makes the conversion overflow.
long long truncatedWithin(double x, long long limit) {
    if (std::isnan(x))
        return 0;
    const double bound = static_cast<double>(limit);
    return static_cast<long long>(std::clamp(std::trunc(x), -bound, bound));
}

constexpr long long kIntMax = std::numeric_limits<int>::max();

} // namespace

MvDateTime::MvDateTime() : fields(new std::tm()) { setToNow(); }

MvDateTime::MvDateTime(const MvDateTime& other)
    : fields(new std::tm(*other.fields)), timeOnly(other.timeOnly), ticks(other.ticks) {}

MvDateTime& MvDateTime::operator=(const MvDateTime& other) {
    *fields = *other.fields;
    timeOnly = other.timeOnly;
    ticks = other.ticks;
    return *this;
}

MvDateTime::~MvDateTime() { delete fields; }

void MvDateTime::setToNow() {
    MvPlatform::localTime(std::time(nullptr), *fields);
    timeOnly = 0;
    ticks = clockReading();
}

void MvDateTime::addSeconds(double seconds) {
    long long sum = static_cast<long long>(fields->tm_sec) + truncatedWithin(seconds, kIntMax);
    fields->tm_sec = static_cast<int>(std::clamp(sum, -kIntMax, kIntMax));
    std::time_t when = std::mktime(fields);
    if (when != static_cast<std::time_t>(-1))
        MvPlatform::localTime(when, *fields);
    if (ticks != 0)
        ticks += static_cast<std::uint32_t>(truncatedWithin(seconds * 1000.0, 1LL << 62));
}

std::string MvDateTime::text() const {
    char buffer[255];
    const char* format = timeOnly == 1 ? "%X" : "%d %b %Y, %H:%M:%S";
    std::size_t length = std::strftime(buffer, sizeof buffer, format, fields);
    return std::string(buffer, length);
}

double MvDateTime::difference(MvDateTime& a, MvDateTime& b) {
    double seconds = std::difftime(std::mktime(a.fields), std::mktime(b.fields));
    if (seconds < 0)
        return -difference(b, a);
    if (a.ticks != 0 && b.ticks != 0 && a.ticks != b.ticks) {
        // The readings may have wrapped round between the two captures.
        std::int32_t elapsed = static_cast<std::int32_t>(a.ticks - b.ticks);
        return elapsed * 0.001;
    }
    return seconds;
}
