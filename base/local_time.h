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

}  // namespace horalis
