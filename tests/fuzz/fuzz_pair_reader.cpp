// The daily CSV reader fed arbitrary bytes: it never crashes, says Damaged
// with nothing read, or reads totals that, added to nothing and written
// again, read back to a pair that writes the very same bytes once more (the
// first write may order and format differently from a hand-made file).
#include <string>

#include "fuzz_input.h"
#include "reports/daily_reports.h"

using namespace horalis;
using horalis::fuzz::check;

namespace {


std::string writeAgain(const DailyPairTotals& totals, const Settings& settings) {
    UsageRecords sum;
    addPairTotals(totals, UsageRecords(), sum);
    ListModel applications, titles;
    ListSort sort;
    NoRowIcons icons;
    refreshApplicationList(applications, sum, settings.showTimeInSeconds != 0, icons);
    ReportLists lists{applications, titles, sort, sum, settings};
    ReportStream out;
    out.openInMemory();
    writeDailyCsvReport(out, lists);
    return out.bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DailyPairTotals totals;
    totals.applications.resize(1);
    if (readDailyCsv(bytes, totals) == PairReadResult::Damaged) {
        check(totals.applications.empty(), "a damaged file reads as nothing");
        return 0;
    }
    Settings settings;
    settings.saveWindowTitles = 0;
    for (const auto& app : totals.applications) {
        check(app.seconds >= 0 && app.seconds <= UINT32_MAX, "an application's time is a duration");
        if (!app.titles.empty()) settings.saveWindowTitles = 1;
        for (const auto& title : app.titles)
            check(title.seconds >= 0 && title.seconds <= UINT32_MAX, "a title's time is a duration");
    }
    settings.showTimeInSeconds = size % 2;
    const std::string once = writeAgain(totals, settings);
    DailyPairTotals again;
    check(readDailyCsv(once, again) == PairReadResult::Read, "a pair written from what was read reads back");
    check(writeAgain(again, settings) == once, "read back and written again: the same bytes");
    return 0;
}
