#pragma once
// The pieces the history page is written with (history_page*.cpp): texts
// escaped as Windows-1251 HTML, durations, days, bars and their colours.
#include <cstdint>
#include <string>

#include "reports/history.h"

namespace horalis::history_html {

extern const char* const kColours[kHistoryColours];

// Escaped; what Windows-1251 lacks as character references.
void appendText(std::string& out, StringView text);
void appendNumber(std::string& out, int64_t value);
void appendDuration(std::string& out, int64_t seconds);
// "Mon 7 Dec 2026"
void appendDay(std::string& out, int64_t day);
// part of whole in percent with one decimal, for a CSS width.
void appendPercent(std::string& out, int64_t part, int64_t whole);
// The share as it is read: whole percent, "<1%" rather than a misleading 0.
void appendShare(std::string& out, int64_t part, int64_t whole);
// A part of a bar, as wide as its share of whole; tooltip: HTML text already escaped.
void appendBarPart(std::string& out, int colour, int64_t seconds, int64_t whole, const std::string& tooltip);
void appendSwatch(std::string& out, int colour);
void appendLegend(std::string& out, const HistorySummary& summary);

// The last week: a row per day with its bar, then its timeline.
void appendDayRows(std::string& out, const HistorySummary& summary);
void appendTimelines(std::string& out, const HistorySummary& summary);

}  // namespace horalis::history_html
