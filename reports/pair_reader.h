#pragma once
// Reads a daily CSV back into totals, so that a pair written earlier the same
// day can be added to, and older pairs can be listed.
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/local_time.h"
#include "tracking/usage_records.h"

namespace horalis {

struct PairTitleTotal {
    String title;
    int64_t seconds = 0;
};

// "Idle time" is an application like the others here.
struct PairApplicationTotal {
    String path;
    int64_t seconds = 0;
    std::vector<PairTitleTotal> titles;
};

// In file order (longest first, as the pair was written).
struct DailyPairTotals {
    std::vector<PairApplicationTotal> applications;
};

enum class PairReadResult { Read, Damaged };

// The bytes of a daily CSV (Windows-1251, CR LF) in either layout (with or
// without titles) and either display mode; quoting and the formula guard are
// undone. Anything the writer could not have written is Damaged, and out is
// then left empty. An empty file is a day without applications.
PairReadResult readDailyCsv(std::string_view bytes, DailyPairTotals& out);

// "2026_07_12" -> 7 December 2026 (year, day, month; a real date); false for
// any other text. The inverse of dailyReportBaseName without its separator.
bool parseDailyReportBaseName(StringView name, LocalTime& date);

// A cell of the semicolon-separated reports that a spreadsheet would take
// for a formula (or that would read back as a guarded one) gets a leading
// apostrophe; unguardCell undoes exactly that.
bool needsFormulaGuard(StringView cell);
void unguardCell(String& cell);

}  // namespace horalis
