#pragma once
// A day by the time of day: the minutes of its records in cells of five
// minutes, each cell given to the application with the most samples in it,
// neighbouring cells of one application joined into a span.
#include <cstdint>
#include <vector>

#include "base/string.h"

namespace horalis {

constexpr int kMinutesPerDay = 24 * 60;
constexpr int kTimelineCell = 5;  // minutes

struct TimelineMinute {
    int minuteOfDay = 0;       // 0..1439; anything else is left out
    uint32_t application = 0;  // a number naming it
    int64_t samples = 0;
};

struct TimelineSpan {
    int firstMinute = 0;  // a multiple of kTimelineCell
    int endMinute = 0;    // after its last minute; 1440 for a span up to 24:00
    uint32_t application = 0;
};

// Spans by time; cells without samples (paused, nothing running) are in
// none. A tie in a cell goes to the smaller application number, so the
// caller numbers applications in the order a tie should take. Minutes may
// repeat (two records of a day, a clock set back): their samples add up.
std::vector<TimelineSpan> timelineSpans(std::vector<TimelineMinute> minutes);

// "17:05–17:20 editor.exe", then on a line of its own the title (cut to a
// tooltip's length) when there is one.
String timelineTooltip(int firstMinute, int endMinute, StringView program, StringView title);

}  // namespace horalis
