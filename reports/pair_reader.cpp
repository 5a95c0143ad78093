// TEMPORARY stand-in for the reader landing on main; replaced at the merge.
#include "reports/pair_reader.h"

namespace horalis {

PairReadResult readDailyCsv(std::string_view, DailyPairTotals&) { return PairReadResult::Damaged; }

bool parseDailyReportBaseName(StringView name, LocalTime& date) {
    if (name.size() != 10) return false;
    auto num = [&](size_t at, size_t n) {
        int v = 0;
        for (size_t i = at; i < at + n; ++i) v = v * 10 + (name[i] - u'0');
        return v;
    };
    date = LocalTime{};
    date.year = num(0, 4);
    date.day = num(5, 2);
    date.month = num(8, 2);
    return date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= 31;
}

}  // namespace horalis
