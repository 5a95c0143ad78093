#include "reports/history_timeline.h"

#include <algorithm>
#include <cstdio>

namespace horalis {

namespace {

// A title longer than this is cut in a tooltip: the span says what it was, the tables say the rest.
constexpr size_t kTooltipTitle = 100;

void appendClock(String& out, int minute) {
    char text[8];
    const int n = std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    out.append(text, text + n);
}

}  // namespace

std::vector<TimelineSpan> timelineSpans(std::vector<TimelineMinute> minutes) {
    std::erase_if(minutes, [](const TimelineMinute& m) {
        return m.minuteOfDay < 0 || m.minuteOfDay >= kMinutesPerDay || m.samples <= 0;
    });
    std::sort(minutes.begin(), minutes.end(), [](const TimelineMinute& a, const TimelineMinute& b) {
        const int ac = a.minuteOfDay / kTimelineCell, bc = b.minuteOfDay / kTimelineCell;
        return ac != bc ? ac < bc : a.application < b.application;
    });
    std::vector<TimelineSpan> spans;
    for (size_t i = 0; i < minutes.size();) {
        const int cell = minutes[i].minuteOfDay / kTimelineCell;
        uint32_t best = 0;
        int64_t bestSamples = 0;
        while (i < minutes.size() && minutes[i].minuteOfDay / kTimelineCell == cell) {
            const uint32_t application = minutes[i].application;
            int64_t samples = 0;
            for (; i < minutes.size() && minutes[i].minuteOfDay / kTimelineCell == cell &&
                   minutes[i].application == application;
                 ++i)
                samples += minutes[i].samples;
            // Applications come in ascending order: a tie keeps the first.
            if (samples > bestSamples) {
                best = application;
                bestSamples = samples;
            }
        }
        const int first = cell * kTimelineCell;
        if (!spans.empty() && spans.back().endMinute == first && spans.back().application == best)
            spans.back().endMinute = first + kTimelineCell;
        else
            spans.push_back(TimelineSpan{first, first + kTimelineCell, best});
    }
    return spans;
}

String timelineTooltip(int firstMinute, int endMinute, StringView program, StringView title) {
    String out;
    appendClock(out, firstMinute);
    out += u'\u2013';
    appendClock(out, endMinute);
    out += u' ';
    out += program;
    if (!title.empty()) {
        out += u'\n';
        if (title.size() <= kTooltipTitle) {
            out += title;
        } else {
            size_t cut = kTooltipTitle;
            if (title[cut - 1] >= 0xD800 && title[cut - 1] <= 0xDBFF) --cut;  // not half a pair
            out += title.substr(0, cut);
            out += u'\u2026';
        }
    }
    return out;
}

}  // namespace horalis
