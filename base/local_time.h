#pragma once
#include <cstdint>

namespace horalis {

// Calendar fields of a local time; month 1..12, year four digits.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The date alone, the time fields 0.
inline LocalTime dateOf(const LocalTime& t) {
    LocalTime date;
    date.year = t.year;
    date.month = t.month;
    date.day = t.day;
    return date;
}

// Negative, 0 or positive as a's date is before, equal to or after b's.
inline int compareDates(const LocalTime& a, const LocalTime& b) {
    if (a.year != b.year) return a.year < b.year ? -1 : 1;
    if (a.month != b.month) return a.month < b.month ? -1 : 1;
    if (a.day != b.day) return a.day < b.day ? -1 : 1;
    return 0;
}

// Gregorian; month 1..12.
inline int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[(month + 11) % 12];
}

// The date of the day after t.
inline LocalTime nextDay(const LocalTime& t) {
    LocalTime next = dateOf(t);
    if (++next.day > daysInMonth(next.year, next.month)) {
        next.day = 1;
        if (++next.month > 12) {
            next.month = 1;
            ++next.year;
        }
    }
    return next;
}

}  // namespace horalis
