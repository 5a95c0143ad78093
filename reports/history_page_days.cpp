// The last week on the page: a row per day with its totals and bar, and a
// strip per day by the time of day.
#include <algorithm>
#include <cstdio>

#include "reports/history_html.h"

namespace horalis::history_html {

namespace {

void appendSegmentName(std::string& out, const HistorySummary& summary, int colour) {
    if (colour == kNoColour)
        out += "others";
    else
        appendText(out, fileNameOf(summary.colourPaths[static_cast<size_t>(colour)]));
}

void appendDayCell(std::string& out, const HistoryDayRow& row, bool hasReport) {
    out += hasReport ? "<tr><td class=day>" : "<tr class=none><td class=day>";
    appendDay(out, row.day);
    out += "</td>";
}

// A minute of the day as a share of it, for a CSS position.
void appendMinuteShare(std::string& out, int minute) {
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%.4g%%", 100.0 * minute / kMinutesPerDay);
    out.append(text, static_cast<size_t>(n));
}

}  // namespace

void appendDayRows(std::string& out, const HistorySummary& summary) {
    int64_t widest = 0;
    for (const HistoryDayRow& row : summary.lastDays) widest = std::max(widest, row.active + row.away);

    out += "<h2>The last 7 days</h2>\n";
    appendLegend(out, summary);
    out += "<table class=days><tr><th>Day</th><th class=n>Active</th><th class=n>Away</th>"
           "<th>Where the active time went</th></tr>\n";
    for (const HistoryDayRow& row : summary.lastDays) {
        appendDayCell(out, row, row.hasReport);
        if (!row.hasReport) {
            out += "<td class=n>&ndash;</td><td class=n>&ndash;</td><td>no report for this day</td></tr>\n";
            continue;
        }
        out += "<td class=n>";
        appendDuration(out, row.active);
        out += "</td><td class=n>";
        appendDuration(out, row.away);
        out += "</td><td><div class=bar>";
        for (const HistorySegment& segment : row.segments) {
            std::string tooltip;
            appendSegmentName(tooltip, summary, segment.colour);
            tooltip += ' ';
            appendDuration(tooltip, segment.seconds);
            appendBarPart(out, segment.colour, segment.seconds, widest, tooltip);
        }
        if (row.away > 0) {
            out += "<span class=gap></span><span class=away title=\"away ";
            appendDuration(out, row.away);
            out += "\" style=\"width:";
            appendPercent(out, row.away, widest);
            out += "\"></span>";
        }
        out += "</div><div class=parts>";
        // The bar's numbers as text: the three largest parts.
        std::vector<HistorySegment> largest = row.segments;
        std::stable_sort(largest.begin(), largest.end(),
                         [](const HistorySegment& a, const HistorySegment& b) { return a.seconds > b.seconds; });
        if (largest.size() > 3) largest.resize(3);
        for (size_t i = 0; i < largest.size(); ++i) {
            if (i > 0) out += " &middot; ";
            appendSegmentName(out, summary, largest[i].colour);
            out += ' ';
            appendDuration(out, largest[i].seconds);
        }
        out += "</div></td></tr>\n";
    }
    out += "</table>\n";
}

void appendTimelines(std::string& out, const HistorySummary& summary) {
    out += "<h2>The last 7 days by the time of day</h2>\n"
           "<table class=times><tr><th class=day></th><th><div class=hours>";
    for (int hour = 0; hour <= 24; hour += 3) {
        out += "<span style=\"left:";
        appendMinuteShare(out, hour * 60);
        char text[16];
        const int n = std::snprintf(text, sizeof text, "\">%02d:00</span>", hour);
        out.append(text, static_cast<size_t>(n));
    }
    out += "</div></th></tr>\n";
    for (const HistoryDayRow& row : summary.lastDays) {
        appendDayCell(out, row, row.hasTimes);
        if (!row.hasReport) {
            out += "<td>no report for this day</td></tr>\n";
            continue;
        }
        if (!row.hasTimes) {
            out += "<td>no times of day: this day's report is from before Horalis kept them</td></tr>\n";
            continue;
        }
        out += "<td><div class=tl>";
        for (const HistorySpan& span : row.spans) {
            if (span.away) {
                out += "<span class=away";
            } else if (span.colour == kNoColour) {
                out += "<span class=others";
            } else {
                out += "<span class=c";
                appendNumber(out, span.colour);
            }
            out += " style=\"left:";
            appendMinuteShare(out, span.firstMinute);
            out += ";width:";
            appendMinuteShare(out, span.endMinute - span.firstMinute);
            out += "\" title=\"";
            appendText(out, timelineTooltip(span.firstMinute, span.endMinute,
                                            span.away ? StringView(u"away") : fileNameOf(span.path), span.title));
            out += "\"></span>";
        }
        out += "</div></td></tr>\n";
    }
    out += "</table>\n";
}

}  // namespace horalis::history_html
