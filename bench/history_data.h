#pragma once
// Folders of daily pairs for the history page, written by the program's own
// daily writer: a year of large days for the benchmark, and a few weeks of an
// ordinary office worker for the picture in the README.
#include <random>

#include "bench/bench_data.h"
#include "reports/daily_reports.h"
#include "reports/history.h"

namespace horalis::bench {

// Writes the pair that holds heldDay (named after the day after it), titles on.
inline bool writePairHolding(const String& folder, int64_t heldDay, const UsageRecords& records) {
    return writeDailyReports(folder, dateOfDayNumber(heldDay), dateOfDayNumber(heldDay + 1), records, Settings()) ==
           DailyPairResult::Written;
}

// applications applications sharing titles titles; a different mix each day.
inline UsageRecords largeDay(int64_t day, size_t applications, size_t titles) {
    UsageRecords records;
    std::mt19937 random(static_cast<uint32_t>(day));
    for (size_t t = 0; t < titles; ++t) {
        const size_t application = (t + static_cast<size_t>(day)) % applications;
        const String title = titleOf(t + static_cast<size_t>(day % 5) * titles);
        for (uint32_t s = 1 + random() % 16; s > 0; --s) records.addSample(pathOf(application), title);
    }
    for (uint32_t s = 200 + random() % 400; s > 0; --s) records.addSample(kIdleTimeKey, u"");
    return records;
}

// An office worker's day: weekdays of five to eight hours, short weekends,
// one day off without a report. Titles include markup and characters
// outside Windows-1251, which the page must show as text.
inline bool sampleDay(int64_t day, UsageRecords& records) {
    struct Use {
        const char16_t* path;
        int minutes;
        std::vector<const char16_t*> titles;
    };
    static const std::vector<Use> uses = {
        {u"C:\\Program Files\\Web Browser\\browser.exe", 140,
         {u"Pull request #412: faster list refresh - Code Review - Web Browser",
          u"<script>alert('history')</script> & friends - Web Browser", u"Team calendar - Web Browser",
          u"Weather for the week - Web Browser"}},
        {u"C:\\Program Files\\Code Editor\\editor.exe", 120,
         {u"history.cpp - horalis - Code Editor", u"list_models.cpp - horalis - Code Editor",
          u"README.md - horalis - Code Editor"}},
        {u"C:\\Program Files\\Office\\mail.exe", 70, {u"Inbox - Mail", u"RE: Budget for 2027 - Mail"}},
        {u"C:\\Program Files\\Office\\sheets.exe", 45,
         {u"Budget 2027.xlsx - Sheets", u"\u041E\u0442\u0447\u0451\u0442 \u0437\u0430 \u043D\u0435\u0434\u0435\u043B\u044E.xlsx - Sheets"}},
        {u"C:\\Program Files\\Chat\\chat.exe", 40, {u"General - Team Chat", u"Call with Ana \u2713 - Team Chat"}},
        {u"C:\\Program Files\\Office\\writer.exe", 30, {u"Quarterly report.docx - Writer"}},
        {u"C:\\Program Files\\Terminal\\terminal.exe", 25, {u"build: ctest - Terminal"}},
        {u"C:\\Windows\\explorer.exe", 12, {u"Downloads", u"Documents"}},
        {u"C:\\Windows\\System32\\notepad.exe", 8, {u"todo.txt - Notepad"}},
        {u"C:\\Program Files\\Paint\\paint.exe", 6, {u"diagram.png - Paint"}},
        {u"C:\\Program Files\\Music\\player.exe", 5, {u"Focus playlist - Player"}},
        {u"C:\\Windows\\System32\\calc.exe", 2, {u"Calculator"}},
    };
    const int64_t weekday = ((day % 7) + 11) % 7;  // 0 Sunday
    if (day % 17 == 15) return false;             // a day off: no pair
    std::mt19937 random(static_cast<uint32_t>(day * 7919));
    const bool weekend = weekday == 0 || weekday == 6;
    for (size_t u = 0; u < uses.size(); ++u) {
        if (weekend && u > 1 && u != 4 && u != 10) continue;
        const int minutes = uses[u].minutes * (weekend ? 1 : 3) / (weekend ? 4 : 3);
        const int spread = static_cast<int>(random() % 61) - 30;  // +-30 %
        const int samples = std::max(1, minutes * (100 + spread) / 100) * 120;
        const auto& titles = uses[u].titles;
        for (int s = 0; s < samples; ++s) {
            // The first title takes most of the time.
            const size_t t = s % 5 < 2 ? 0 : static_cast<size_t>(s) % titles.size();
            records.addSample(uses[u].path, titles[t]);
        }
    }
    const int away = (weekend ? 20 : 50) + static_cast<int>(random() % 40);
    for (int s = 0; s < away * 120; ++s) records.addSample(kIdleTimeKey, u"");
    return true;
}

}  // namespace horalis::bench
