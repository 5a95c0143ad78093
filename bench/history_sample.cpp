// Writes a few weeks into a folder, then the history page over them: the
// picture in the README is this page (scripts/screenshots.sh). The older days
// are daily pairs alone, from before the journal; the last five are day
// records of an office computer, with a laptop on two evenings.
// usage: history_sample <folder>
#include <cstdio>

#include "bench/history_data.h"

int main(int argc, char** argv) {
    using namespace horalis;
    if (argc != 2) {
        std::fprintf(stderr, "usage: history_sample <folder>\n");
        return 2;
    }
    const String folder = bench::ascii(argv[1]);
    const int64_t newest = dayNumberOf(LocalTime{2026, 12, 7, 0, 0, 0});
    const RecordOwner office{u"OFFICE-PC", u"ann"};
    const RecordOwner laptop{u"LAPTOP", u"ann"};
    for (int64_t day = newest - 24; day <= newest; ++day) {
        if (day <= newest - 5) {
            UsageRecords records;
            const bool worked = bench::sampleDay(day, [&](int, StringView path, StringView title, int64_t samples) {
                const size_t position = records.addApplicationSamples(path, static_cast<int32_t>(samples));
                records.addTitleSamples(position, title, static_cast<int32_t>(samples));
            });
            if (worked && !bench::writePairHolding(folder, day, records)) return 1;
            continue;
        }
        DayRecord record = bench::emptyRecord(day, office);
        const bool worked = bench::sampleDay(day, [&](int minute, StringView path, StringView title, int64_t samples) {
            bench::addMinute(record, minute, path, {{String(title), samples}});
        });
        if (worked && !bench::writeDayRecord(folder, record)) return 1;
        if (day % 3 != 0) continue;
        DayRecord evening = bench::emptyRecord(day, laptop);
        for (int minute = 19 * 60 + 10; minute < 20 * 60 + 40; ++minute)
            bench::addMinute(evening, minute,
                             minute % 40 < 28 ? u"C:\\Program Files\\Web Browser\\browser.exe"
                                              : u"C:\\Program Files\\Chat\\chat.exe",
                             {{minute % 40 < 28 ? u"Recipes for the weekend - Web Browser" : u"Family - Team Chat",
                               bench::kSamplesPerMinute}});
        if (!bench::writeDayRecord(folder, evening)) return 1;
    }
    return writeHistoryPage(folder, LocalTime{2026, 12, 8, 9, 15, 0}) ? 0 : 1;
}
