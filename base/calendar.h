#pragma once
// Days as numbers, so that periods and weekdays are plain arithmetic: day 0
// is 1 January 1970, in the proleptic Gregorian calendar (no time zone: a
// LocalTime's date names its day wherever it was taken).
#include <cstdint>

#include "base/local_time.h"

namespace horalis {

inline int64_t dayNumberOf(const LocalTime& date) {
    const int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The date alone (time fields 0).
inline LocalTime dateOfDayNumber(int64_t day) {
    const int64_t z = day + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    LocalTime date;
    date.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    date.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

// 0 Sunday .. 6 Saturday; 1 January 1970 was a Thursday.
inline int weekdayOf(int64_t day) { return static_cast<int>(((day % 7) + 11) % 7); }

}  // namespace horalis
