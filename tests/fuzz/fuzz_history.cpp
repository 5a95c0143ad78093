// The history page over arbitrary bytes, read as a daily CSV (two days) and
// as a day record (two computers of one day, with its timeline): it never
// crashes, and every '<' in the page opens one of the page's own tags, so no
// text from a file becomes markup.
#include <cctype>
#include <set>
#include <string>

#include "fuzz_input.h"
#include "reports/history.h"

using namespace horalis;
using horalis::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::set<std::string> kTags = {"!DOCTYPE", "html", "head", "meta", "title", "style", "body",
                                                "h1", "h2", "p", "table", "tr", "th", "td", "div", "span",
                                                "details", "summary", "ol", "ul", "li", "b", "i"};
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const int64_t newest = dayNumberOf(LocalTime{2026, 12, 7, 0, 0, 0});
    HistoryBuilder builder(newest);
    DailyPairTotals totals;
    if (readDailyCsv(bytes, totals) == PairReadResult::Read) {
        builder.addDay(newest - 1, totals);
        builder.addDay(newest - 40, totals);
    }
    DayRecord record;
    if (readDayRecord(bytes, record) == DayRecordRead::Read) {
        record.day = dateOfDayNumber(newest);
        HistoryDay one = historyDayOfRecord(record, builder.texts());
        record.computer += u"'";
        HistoryDay other = historyDayOfRecord(record, builder.texts());
        builder.addDay({&one, &other});
    }
    std::string page;
    appendHistoryPage(builder.summarize(), LocalTime{2026, 12, 8, 9, 15, 0}, page);
    for (size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
        size_t end = at + 1 + (page[at + 1] == '/' || page[at + 1] == '!');
        const size_t start = page[at + 1] == '/' ? at + 2 : at + 1;
        while (end < page.size() && std::isalnum(static_cast<unsigned char>(page[end]))) ++end;
        check(kTags.count(page.substr(start, end - start)) == 1, "only the page's own tags");
    }
    return 0;
}
