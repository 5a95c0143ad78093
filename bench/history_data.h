#pragma once
// Folders for the history page, written by the program's own writers: day
// records in Days\ as the fold leaves them (built minute by minute, as the
// journal's blocks add up), daily pairs for days from before the journal.
// A year of large days for the benchmark, and a few weeks of an ordinary
// office worker on two computers for the picture in the README.
#include <algorithm>
#include <random>

#include "bench/bench_data.h"
#include "reports/daily_reports.h"
#include "reports/day_record.h"
#include "reports/history.h"
#include "storage/replacing_file.h"
#include "storage/file_io.h"

namespace horalis::bench {

constexpr int kSamplesPerMinute = 120;

// Writes the pair that holds heldDay (named after the day after it), titles on.
inline bool writePairHolding(const String& folder, int64_t heldDay, const UsageRecords& records) {
    return writeDailyPair(folder, dateOfDayNumber(heldDay), dateOfDayNumber(heldDay + 1), records, Settings()) ==
           DailyPairResult::Written;
}

inline bool writeDayRecord(const String& folder, const DayRecord& record) {
    createDirectory(dayRecordFolder(folder));
    std::string bytes;
    appendDayRecord(record, bytes);
    return writeFileReplacing(dayRecordFolder(folder) + u"\\" +
                                  dayRecordFileName(record.day, RecordOwner{record.computer, record.user}),
                              bytes);
}

inline DayRecord emptyRecord(int64_t day, const RecordOwner& owner) {
    DayRecord record;
    record.day = dateOfDayNumber(day);
    record.computer = owner.computer;
    record.user = owner.user;
    return record;
}

// One minute of the journal: samples of one application, split over titles.
inline void addMinute(DayRecord& record, int minuteOfDay, StringView path,
                      const std::vector<std::pair<String, int64_t>>& titles) {
    JournalBlock block;
    block.day = record.day;
    block.minuteOfDay = minuteOfDay;
    JournalApplication application{String(path), 0, {}};
    for (const auto& [title, samples] : titles) {
        application.samples += samples;
        application.titles.push_back(JournalTitle{title, samples});
    }
    block.applications.push_back(std::move(application));
    record.add(block);
}

// applications applications sharing titles titles, a different mix each day,
// about ten hours from 08:00: each application's time in runs of 2 to 7
// minutes in a shuffled order, five minutes away after each hour of work.
inline DayRecord largeDayRecord(int64_t day, size_t applications, size_t titles, const RecordOwner& owner) {
    std::mt19937 random(static_cast<uint32_t>(day));
    std::vector<std::vector<std::pair<String, int64_t>>> byApplication(applications);
    for (size_t t = 0; t < titles; ++t)
        byApplication[(t + static_cast<size_t>(day)) % applications].emplace_back(
            titleOf(t + static_cast<size_t>(day % 5) * titles), 20 + random() % 104);

    // Each application's samples cut into minutes, the minutes into runs.
    using Minute = std::vector<std::pair<String, int64_t>>;
    struct Run {
        size_t application;
        std::vector<Minute> minutes;
    };
    std::vector<Run> runs;
    for (size_t a = 0; a < applications; ++a) {
        std::vector<Minute> minutes(1);
        int64_t room = kSamplesPerMinute;
        for (auto [title, samples] : byApplication[a]) {
            while (samples > 0) {
                const int64_t part = std::min(samples, room);
                minutes.back().emplace_back(title, part);
                samples -= part;
                room -= part;
                if (room == 0) {
                    minutes.emplace_back();
                    room = kSamplesPerMinute;
                }
            }
        }
        if (minutes.back().empty()) minutes.pop_back();
        for (size_t m = 0; m < minutes.size();) {
            const size_t length = std::min<size_t>(minutes.size() - m, 2 + random() % 6);
            runs.push_back(Run{a, {minutes.begin() + static_cast<ptrdiff_t>(m),
                                   minutes.begin() + static_cast<ptrdiff_t>(m + length)}});
            m += length;
        }
    }
    std::shuffle(runs.begin(), runs.end(), random);

    DayRecord record = emptyRecord(day, owner);
    int minute = 8 * 60;
    int worked = 0;
    for (const Run& run : runs) {
        for (const Minute& titlesOfMinute : run.minutes) {
            if (minute >= kMinutesPerDay) break;
            addMinute(record, minute++, pathOf(run.application), titlesOfMinute);
        }
        if ((worked += static_cast<int>(run.minutes.size())) < 60) continue;
        worked = 0;
        for (int away = 0; away < 5 && minute < kMinutesPerDay; ++away)
            addMinute(record, minute++, kIdleTimeKey, {{String(), kSamplesPerMinute}});
    }
    return record;
}

// An office worker's day: weekdays of five to eight hours from about 08:30
// with a lunch break, short weekends, one day off. Titles include markup and
// characters outside Windows-1251, which the page must show as they are.
// What the day holds goes to use(minuteOfDay, path, title, samples).
template <class Use>
inline bool sampleDay(int64_t day, Use use) {
    struct Program {
        const char16_t* path;
        int minutes;
        std::vector<const char16_t*> titles;
    };
    static const std::vector<Program> programs = {
        {u"C:\\Program Files\\Web Browser\\browser.exe", 140,
         {u"Pull request #412: faster list refresh - Code Review - Web Browser",
          u"<script>alert('history')</script> & friends - Web Browser", u"Team calendar - Web Browser",
          u"\u039a\u03b1\u03b9\u03c1\u03cc\u03c2 \u2014 \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \U0001F600 - Web Browser"}},
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
    const int weekday = weekdayOf(day);
    if (day % 17 == 15) return false;  // a day off: nothing
    std::mt19937 random(static_cast<uint32_t>(day * 7919));
    const bool weekend = weekday == 0 || weekday == 6;
    // Each program's minutes in pieces of 3 to 25 minutes, shuffled through the day.
    std::vector<std::pair<size_t, int>> pieces;
    for (size_t p = 0; p < programs.size(); ++p) {
        if (weekend && p > 1 && p != 4 && p != 10) continue;
        const int spread = static_cast<int>(random() % 61) - 30;  // +-30 %
        int minutes = std::max(1, programs[p].minutes * (weekend ? 1 : 3) / (weekend ? 4 : 3) * (100 + spread) / 100);
        while (minutes > 0) {
            const int piece = std::min(minutes, 3 + static_cast<int>(random() % 23));
            pieces.emplace_back(p, piece);
            minutes -= piece;
        }
    }
    std::shuffle(pieces.begin(), pieces.end(), random);
    int minute = (weekend ? 10 * 60 : 8 * 60 + 30) + static_cast<int>(random() % 30);
    const int lunch = 12 * 60 + static_cast<int>(random() % 45);
    int awaySince = 0;
    for (const auto& [p, length] : pieces) {
        if (!weekend && minute >= lunch && minute < lunch + 45) minute = lunch + 45;  // not counted: Horalis paused
        for (int m = 0; m < length && minute < kMinutesPerDay; ++m, ++minute) {
            const auto& titles = programs[p].titles;
            // The first title takes most of the time.
            const size_t t = m % 5 < 2 ? 0 : static_cast<size_t>(m) % titles.size();
            use(minute, StringView(programs[p].path), StringView(titles[t]), kSamplesPerMinute);
        }
        if ((awaySince += length) > 50 + static_cast<int>(random() % 40)) {
            awaySince = 0;
            const int away = 5 + static_cast<int>(random() % 15);
            for (int m = 0; m < away && minute < kMinutesPerDay; ++m, ++minute)
                use(minute, kIdleTimeKey, StringView(), kSamplesPerMinute);
        }
    }
    return true;
}

}  // namespace horalis::bench
