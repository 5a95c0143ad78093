// The daily CSV reader fed arbitrary bytes: it never crashes, says Damaged
// with nothing read, or reads totals that the writer writes back as the same
// bytes (line ends aside, which the reader takes in either form).
#include <string>

#include "fuzz_input.h"
#include "reports/pair_reader.h"

using namespace horalis;
using horalis::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DailyPairTotals totals;
    totals.applications.resize(1);
    if (readDailyCsv(bytes, totals) == PairReadResult::Damaged) {
        check(totals.applications.empty(), "a damaged file reads as nothing");
        return 0;
    }
    for (const auto& app : totals.applications) {
        check(app.seconds >= 0 && app.seconds <= UINT32_MAX, "an application's time is a duration");
        for (const auto& title : app.titles)
            check(title.seconds >= 0 && title.seconds <= UINT32_MAX, "a title's time is a duration");
    }
    return 0;
}
