#pragma once
// TEMPORARY stand-in for the reader landing on main; replaced at the merge.
#include <string_view>
#include <vector>

#include "tracking/local_time.h"
#include "tracking/usage_records.h"

namespace horalis {

struct PairTitleTotal { String title; int64_t seconds = 0; };
struct PairApplicationTotal { String path; int64_t seconds = 0; std::vector<PairTitleTotal> titles; };
struct DailyPairTotals { std::vector<PairApplicationTotal> applications; };
enum class PairReadResult { Read, Damaged };
PairReadResult readDailyCsv(std::string_view bytes, DailyPairTotals& out);
bool parseDailyReportBaseName(StringView name, LocalTime& date);

}  // namespace horalis
