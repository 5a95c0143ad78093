// The folder behind the history page: which files hold which day, read (or
// taken from the cache) and added up, and the page put in place.
#include <algorithm>
#include <map>

#include "reports/daily_reports.h"
#include "reports/history_cache.h"
#include "reports/history_categories.h"
#include "storage/replacing_file.h"
#include "storage/report_stream.h"

namespace horalis {

namespace {

// The pair writer's own limit, so that no pair it adds to is left out here;
// a day record (UTF-8, with its minutes) of a real day is far below it too.
constexpr size_t kLargestFile = kLargestPair;

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// "2026_07_12.csv", any case of the extension: the shape of a daily CSV's name.
bool looksLikeDailyCsv(StringView name) {
    static constexpr StringView kShape = u"9999_99_99.csv";
    if (name.size() != kShape.size()) return false;
    for (size_t i = 0; i < 10; ++i) {
        if (kShape[i] == u'9' ? !isDigit(name[i]) : name[i] != kShape[i]) return false;
    }
    for (size_t i = 10; i < name.size(); ++i) {
        const char16_t c = name[i] >= u'A' && name[i] <= u'Z' ? static_cast<char16_t>(name[i] + 32) : name[i];
        if (c != kShape[i]) return false;
    }
    return true;
}

struct DayFile {
    String name;  // as the page names it: "2026_08_12.csv", "Days\2026-12-07 PC ann.txt"
    String path;
    int64_t day;
};

// The day of a file, read or from the cache; its reason when it is left out.
template <class Parse>
const HistoryCache::Entry* dayOfFile(HistoryCache& cache, const DayFile& file, bool needMinutes, HistorySkip damaged,
                                     Parse parse) {
    FileStamp stamp;
    if (!fileStamp(file.path, stamp)) return nullptr;  // gone since the listing, or not to be opened
    if (const HistoryCache::Entry* kept = cache.find(file.name, stamp); kept && (kept->day.minutesKept || !needMinutes))
        return kept;
    HistoryCache::Entry entry;
    entry.stamp = stamp;
    std::string bytes;
    if (!readFileBytes(file.path, bytes, kLargestFile + 1)) return nullptr;
    if (bytes.size() > kLargestFile)
        entry.why = HistorySkip::TooLarge;
    else
        entry.read = parse(bytes, entry.day);
    if (!entry.read && entry.why != HistorySkip::TooLarge) entry.why = damaged;
    entry.day.day = file.day;
    return &cache.keep(file.name, std::move(entry));
}

// A day's totals as texts again, for the category rules.
DailyPairTotals categoryTotals(const HistoryDay& day, const HistoryTexts& texts) {
    DailyPairTotals totals;
    std::vector<size_t> at(texts.applications(), SIZE_MAX);
    for (const HistoryTotal& application : day.applications) {
        at[application.id] = totals.applications.size();
        totals.applications.push_back(PairApplicationTotal{texts.path(application.id), secondsOf(day, application.amount), {}});
    }
    for (const HistoryTotal& title : day.titles) {
        const size_t application = at[texts.applicationOf(title.id)];
        if (application == SIZE_MAX) continue;
        totals.applications[application].titles.push_back(
            PairTitleTotal{String(texts.titleText(title.id)), secondsOf(day, title.amount)});
    }
    return totals;
}

}  // namespace

String historyPagePath(const String& dataFolder) { return dataFolder + u"\\history.html"; }

bool writeHistoryPage(const String& dataFolder, const LocalTime& now, const DayRecord* today) {
    static HistoryCache cache;
    return writeHistoryPage(dataFolder, now, today, cache);
}

bool writeHistoryPage(const String& dataFolder, const LocalTime& now, const DayRecord* today, HistoryCache& cache) {
    std::vector<DayFile> pairs, records;
    std::vector<HistorySkippedFile> skipped;
    int64_t newestDay = INT64_MIN;
    std::vector<String> names;
    listFolderFiles(dataFolder, names);
    for (String& name : names) {
        if (!looksLikeDailyCsv(name)) continue;
        LocalTime date;
        if (!parseDailyReportBaseName(StringView(name).substr(0, 10), date)) {
            skipped.push_back(HistorySkippedFile{std::move(name), HistorySkip::NotADate});
            continue;
        }
        const int64_t day = dayNumberOf(date) - 1;  // the pair named after D+1 holds D
        newestDay = std::max(newestDay, day);
        pairs.push_back(DayFile{name, dataFolder + u"\\" + name, day});
    }
    const String recordFolder = dayRecordFolder(dataFolder);
    names.clear();
    listFolderFiles(recordFolder, names);
    for (String& name : names) {
        LocalTime date;
        String owner;
        if (!parseDayRecordFileName(name, date, owner)) continue;  // not a record (one being written, say)
        const int64_t day = dayNumberOf(date);
        newestDay = std::max(newestDay, day);
        records.push_back(DayFile{u"Days\\" + name, recordFolder + u"\\" + name, day});
    }
    if (today != nullptr) newestDay = std::max(newestDay, dayNumberOf(today->day));
    if (newestDay == INT64_MIN) newestDay = 0;
    const int64_t firstMinutesDay = newestDay - kHistoryPeriodDays[kLastWeek] + 1;

    std::string page;
    {
        const std::lock_guard<std::mutex> hold(cache.lock());
        cache.beginScan(dataFolder);
        HistoryBuilder builder(newestDay, cache.texts());
        std::map<int64_t, std::vector<const HistoryDay*>> days;
        const auto add = [&](const DayFile& file, const HistoryCache::Entry* entry) {
            if (entry == nullptr)
                builder.addSkipped(file.name, HistorySkip::NotOpened);
            else if (!entry->read)
                builder.addSkipped(file.name, entry->why);
            else
                days[file.day].push_back(&entry->day);
        };
        for (const DayFile& file : records) {
            const bool recent = file.day >= firstMinutesDay;
            add(file, dayOfFile(cache, file, recent, HistorySkip::DamagedRecord, [&](std::string_view bytes, HistoryDay& day) {
                    DayRecord record;
                    if (readDayRecord(bytes, record) != DayRecordRead::Read) return false;
                    day = historyDayOfRecord(record, cache.texts(), recent);
                    return true;
                }));
        }
        // A day any computer has a record of is taken from the records
        // alone: the first fold of a day starts its record with its pair.
        for (const DayFile& file : pairs) {
            if (days.count(file.day) != 0) continue;
            add(file, dayOfFile(cache, file, false, HistorySkip::Damaged, [&](std::string_view bytes, HistoryDay& day) {
                    DailyPairTotals totals;
                    if (readDailyCsv(bytes, totals) != PairReadResult::Read) return false;
                    day = historyDayOfPair(0, totals, cache.texts());
                    return true;
                }));
        }
        HistoryDay live;
        if (today != nullptr && !today->empty()) {
            live = historyDayOfRecord(*today, cache.texts());
            days[live.day].push_back(&live);
        }
        for (const auto& [day, files] : days) builder.addDay(files);
        for (HistorySkippedFile& file : skipped) builder.addSkipped(std::move(file.name), file.why);
        HistoryCategories categories(loadRuleFile(dataFolder).rules, newestDay);
        if (categories.any())
            for (const auto& [day, files] : days) categories.addDay(day, categoryTotals(mergeHistoryDays(files), cache.texts()));
        appendHistoryPage(builder.summarize(), now, page, &categories);
        cache.endScan();  // after the summary: it may renumber the texts
    }

    ReplacingFile out(historyPagePath(dataFolder));
    if (!out.open()) return false;
    out.stream().writeEncoded(page);
    return out.commit();
}

}  // namespace horalis
