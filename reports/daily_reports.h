#pragma once
// The daily pair: a CSV and an HTML report of one day's totals in the data
// folder, written when the day ends (00:00, log-off, exit). A day may have
// several runs; each adds its totals to the pair that is already there.
#include "reports/pair_reader.h"
#include "reports/report_writers.h"

namespace horalis {

// "\2026_07_12" for 7 December 2026: year, day, month.
String dailyReportBaseName(const LocalTime& moment);

// The pair that holds a day is named after the day after it, as a pair
// written at 00:00 always was: 7 December is in "\2026_08_12".
inline String dailyPairBaseName(const LocalTime& day) { return dailyReportBaseName(nextDay(day)); }

// The sum of a pair read back and the totals in memory, as records that the
// report walk writes: the pair's entries first, so that equal times keep the
// pair's order, then what only memory has. A text from memory matches the
// pair's text exactly or as the pair holds it (characters Windows-1251
// lacks are '?' there). Times in seconds become two samples each.
void addPairTotals(const DailyPairTotals& pair, const UsageRecords& memory, UsageRecords& sum);

enum class DailyPairResult {
    Written,     // both files hold the day's sum
    CsvOnly,     // the CSV file does, the HTML file is the old one: the totals are saved
    NotWritten,  // neither file changed: the caller keeps its totals
};

// Writes the pair that holds day (named dailyPairBaseName), adding the totals
// to the pair already there. Each file is written beside its place and then
// replaces it, so a failure leaves the old file as it was. An existing CSV
// file that is not a daily CSV is kept under a new name (" (unreadable).csv",
// the HTML file with it) and the pair is written from memory alone; one that
// exists but cannot be read leaves everything as it is. The HTML report is
// "Generated on" now. Silent; nothing is shown.
DailyPairResult writeDailyPair(const String& dataFolder, const LocalTime& day, const LocalTime& now,
                               const UsageRecords& records, const Settings& settings);

// The pair's two files: base name + extension.
inline constexpr StringView kPairCsvExtension = u".csv";
inline constexpr StringView kPairHtmlExtension = u".html";
// How many names a file that cannot be read back may try when it is set aside.
inline constexpr int kSetAsideNames = 1000;

// A pair larger than this is not read back: no day holds that much.
inline constexpr size_t kLargestPair = size_t{1} << 30;

// Writes both files of the pair at base (its path without the extension)
// from sum, each beside its place first.
DailyPairResult writePairFiles(const String& base, const UsageRecords& sum, const Settings& settings,
                               const LocalTime& now);

// Keeps a pair that cannot be read back under the first free name
// " (unreadable).csv", " (unreadable 2).csv", ... (the HTML file with it).
bool setPairAside(const String& base);

// What both programs call at the end of a day: writeDailyPair, then
// history.html rebuilt from every pair in the folder (whatever happened to
// the pair).
DailyPairResult writeDailyReports(const String& dataFolder, const LocalTime& day, const LocalTime& now,
                                  const UsageRecords& records, const Settings& settings);

}  // namespace horalis
