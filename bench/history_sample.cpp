// Writes a few weeks of daily pairs into a folder, then the history page over
// them: the picture in the README is this page (scripts/screenshots.sh).
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
    for (int64_t day = newest - 24; day <= newest; ++day) {
        UsageRecords records;
        if (bench::sampleDay(day, records) && !bench::writePairHolding(folder, day, records)) return 1;
    }
    return writeHistoryPage(folder, LocalTime{2026, 12, 8, 9, 15, 0}) ? 0 : 1;
}
