// The plain date-time record behind date values.
//
// fields is the C library's broken-down local time, owned by the record and
// copied with it. timeOnly marks a time of day rather than a calendar date
// (the day of month is 0). ticks is a millisecond clock reading taken when
// the record was set to "now"; it gives two captured dates a difference
// finer than whole seconds, and is 0 once any field was changed by hand.
#ifndef MORVANE_MVDATETIME_H
#define MORVANE_MVDATETIME_H

#include "MvExport.h"

#include <cstdint>
#include <ctime>
#include <string>

struct MV_EXPORT MvDateTime {
    MvDateTime();   // now
    MvDateTime(const MvDateTime& other);
    MvDateTime& operator=(const MvDateTime& other);
    ~MvDateTime();

    // The current local time, with a fresh clock reading.
    void setToNow();

    // Moves the record by whole seconds (x truncated), normalising the
    // fields through the C library; the clock reading moves along with it.
    void addSeconds(double seconds);

    // "%d %b %Y, %H:%M:%S", or "%X" for a time of day.
    std::string text() const;

    // a - b in seconds. Normalises the fields of both records. Two records
    // that both carry clock readings differ by those readings (milliseconds).
    static double difference(MvDateTime& a, MvDateTime& b);

    std::tm* fields;
    std::int32_t timeOnly = 0;
    std::uint32_t ticks = 0;
};

#endif
