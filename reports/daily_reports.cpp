#include "reports/daily_reports.h"

#include <cstdio>

#include "reports/history.h"
#include "storage/cp1251.h"
#include "storage/file_io.h"
#include "storage/replacing_file.h"

namespace horalis {

namespace {

int32_t asSamples(int64_t seconds) { return seconds >= INT32_MAX / 2 ? INT32_MAX : static_cast<int32_t>(seconds * 2); }

String asInPair(StringView text) {
    std::string bytes;
    encodeCp1251(text, bytes);
    return decodeCp1251(bytes);
}

// The position of the sum's record for a text from memory: the one of that
// text, else the one the pair holds for it.
template <class Find>
String keyInSum(StringView text, Find exists) {
    if (exists(text)) return String(text);
    String inPair = asInPair(text);
    return exists(inPair) ? inPair : String(text);
}

// Writes one report of the sum beside its place; false (and nothing left
// behind) when it could not be written whole.
template <class Write>
bool writeBeside(ReplacingFile& file, Write write) {
    if (!file.open()) return false;
    write(file.stream());
    return file.finish();
}

}  // namespace

// " (unreadable).csv", " (unreadable 2).csv", ...: the first name free for both files.
bool setPairAside(const String& base) {
    const String csv(kPairCsvExtension), html(kPairHtmlExtension);
    for (int n = 1; n < kSetAsideNames; ++n) {
        String aside = base + u" (unreadable";
        if (n > 1) {
            char digits[16];
            const int length = std::snprintf(digits, sizeof digits, " %d", n);
            aside.append(digits, digits + length);
        }
        aside += u")";
        if (pathExists(aside + csv) || pathExists(aside + html)) continue;
        if (!renameFileKeepingTarget(base + csv, aside + csv)) return false;
        // The HTML file was made from the same totals; it goes along when there is one.
        if (pathExists(base + html)) renameFileKeepingTarget(base + html, aside + html);
        return true;
    }
    return false;
}

String dailyReportBaseName(const LocalTime& moment) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "\\%d_%02d_%02d", moment.year, moment.day, moment.month);
    String name;
    for (int i = 0; i < n && i < static_cast<int>(sizeof text) - 1; ++i) name.push_back(static_cast<char16_t>(text[i]));
    return name;
}

void addPairTotals(const DailyPairTotals& pair, const UsageRecords& memory, UsageRecords& sum) {
    // The lists show the newest record first and the walk's sort keeps the
    // order of equal times: the pair goes in from its last line up.
    for (auto app = pair.applications.rbegin(); app != pair.applications.rend(); ++app) {
        const size_t position = sum.addApplicationSamples(app->path, asSamples(app->seconds));
        for (auto title = app->titles.rbegin(); title != app->titles.rend(); ++title)
            sum.addTitleSamples(position, title->title, asSamples(title->seconds));
    }
    for (const ApplicationRecord& app : memory.applications()) {
        const String path = keyInSum(app.executablePath, [&](StringView text) { return sum.find(text) != nullptr; });
        const size_t position = sum.addApplicationSamples(path, app.sampleCount);
        for (const TitleRecord& title : app.titles) {
            const String text =
                keyInSum(title.text, [&](StringView candidate) { return sum.hasTitle(position, candidate); });
            sum.addTitleSamples(position, text, title.sampleCount);
        }
    }
}

DailyPairResult writeDailyPair(const String& dataFolder, const LocalTime& day, const LocalTime& now,
                               const UsageRecords& records, const Settings& settings) {
    const String base = dataFolder + dailyPairBaseName(day);
    const String csvPath = base + String(kPairCsvExtension);

    DailyPairTotals pair;
    bool unreadable = false;
    if (pathExists(csvPath)) {
        // Nothing to add (a start and an end within moments): the pair stays as it is.
        if (records.empty()) return DailyPairResult::Written;
        std::string bytes;
        // A pair that is there but cannot be read now (opened elsewhere) must not be replaced.
        if (!readFileBytes(csvPath, bytes, kLargestPair) || bytes.size() >= kLargestPair)
            return DailyPairResult::NotWritten;
        unreadable = readDailyCsv(bytes, pair) == PairReadResult::Damaged;
    }

    UsageRecords sum;
    addPairTotals(pair, records, sum);
    if (unreadable && !setPairAside(base)) return DailyPairResult::NotWritten;
    return writePairFiles(base, sum, settings, now);
}

DailyPairResult writePairFiles(const String& base, const UsageRecords& sum, const Settings& settings,
                               const LocalTime& now) {
    const String csvPath = base + String(kPairCsvExtension);
    const String htmlPath = base + String(kPairHtmlExtension);
    // From the records alone: the lists on screen keep their order and the
    // column the user chose.
    const ReportSource source(sum, settings);
    // Both are written before either replaces its file, the CSV file first:
    // it alone makes the totals count as saved. Declared in this order so
    // that on a failure the CSV's temporary goes first.
    ReplacingFile html(htmlPath, Leftover::Removed);
    ReplacingFile csv(csvPath, Leftover::Removed);
    const bool csvWritten = writeBeside(csv, [&](ReportStream& out) { writeDailyCsvReport(out, source); });
    const bool htmlWritten =
        csvWritten && writeBeside(html, [&](ReportStream& out) { writeHtmlReport(out, source, now); });
    if (!htmlWritten || !csv.commit()) return DailyPairResult::NotWritten;
    if (!html.commit()) return DailyPairResult::CsvOnly;
    return DailyPairResult::Written;
}

DailyPairResult writeDailyReports(const String& dataFolder, const LocalTime& day, const LocalTime& now,
                                  const UsageRecords& records, const Settings& settings) {
    const DailyPairResult result = writeDailyPair(dataFolder, day, now, records, settings);
    // Both programs write pairs only through here, under the daily-report lock.
    writeHistoryPage(dataFolder, now);
    return result;
}

}  // namespace horalis
