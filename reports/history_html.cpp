#include "reports/history_html.h"

#include <algorithm>
#include <cstdio>

#include "reports/report_writers.h"
#include "storage/duration.h"

namespace horalis::history_html {

const char* const kColours[kHistoryColours] = {"#3b6fb6", "#e07b39", "#3f9e5a", "#c94c4c", "#8a63b8",
                                               "#2b9fa6", "#c9a227", "#d16ba5", "#7a8a3a", "#8c6d4f"};

namespace {

const char* const kWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

void appendText(std::string& out, StringView text) { appendHtmlBytes(text, out); }

void appendNumber(std::string& out, int64_t value) {
    char digits[32];
    const int n = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    out.append(digits, static_cast<size_t>(n));
}

void appendDuration(std::string& out, int64_t seconds) {
    const int64_t clamped = std::clamp<int64_t>(seconds, 0, INT32_MAX);
    appendText(out, formatDuration(static_cast<int32_t>(clamped), false));
}

void appendDay(std::string& out, int64_t day) {
    const LocalTime date = dateOfDayNumber(day);
    char text[48];
    const int n = std::snprintf(text, sizeof text, "%s %d %s %d", kWeekdays[weekdayOf(day)], date.day,
                                kMonths[(date.month + 11) % 12], date.year);
    out.append(text, static_cast<size_t>(n));
}

void appendPercent(std::string& out, int64_t part, int64_t whole) {
    char text[32];
    const double share = whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
    const int n = std::snprintf(text, sizeof text, "%.1f%%", share);
    out.append(text, static_cast<size_t>(n));
}

void appendShare(std::string& out, int64_t part, int64_t whole) {
    if (whole <= 0 || part <= 0) {
        out += "0%";
        return;
    }
    const int64_t percent = (part * 100 + whole / 2) / whole;
    if (percent == 0) {
        out += "&lt;1%";
        return;
    }
    appendNumber(out, percent);
    out += '%';
}

void appendBarPart(std::string& out, int colour, int64_t seconds, int64_t whole, const std::string& tooltip) {
    if (colour == kNoColour) {
        out += "<span class=others style=\"width:";
    } else {
        out += "<span style=\"background:";
        out += kColours[colour];
        out += ";width:";
    }
    appendPercent(out, seconds, whole);
    out += '"';
    if (!tooltip.empty()) {
        out += " title=\"";
        out += tooltip;
        out += '"';
    }
    out += "></span>";
}

void appendSwatch(std::string& out, int colour) {
    out += "<span class=\"sw";
    if (colour == kNoColour) out += " others";
    out += '"';
    if (colour != kNoColour) {
        out += " style=\"background:";
        out += kColours[colour];
        out += '"';
    }
    out += "></span>";
}

void appendLegend(std::string& out, const HistorySummary& summary) {
    out += "<p class=legend>";
    for (size_t c = 0; c < summary.colourPaths.size(); ++c) {
        out += "<span class=k>";
        appendSwatch(out, static_cast<int>(c));
        appendText(out, fileNameOf(summary.colourPaths[c]));
        out += "</span>";
    }
    out += "<span class=k><span class=\"sw others\"></span>others</span>";
    out += "<span class=k><span class=\"sw away\"></span>away (Idle time)</span></p>\n";
}

}  // namespace horalis::history_html
