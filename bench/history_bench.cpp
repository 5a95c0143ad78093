// The history page over a year of large days: 365 daily pairs of 100
// applications and 1,000 titles, read and added up and the page written, next
// to only reading and parsing the same files (the floor any page over them pays).
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "bench/figures.h"
#include "bench/heap_counter.h"
#include "bench/history_data.h"
#include "storage/file_io.h"
#include "storage/report_stream.h"

namespace horalis {
namespace {

using namespace horalis::bench;

constexpr int kDays = 365;
const LocalTime kNow{2026, 12, 8, 9, 15, 0};

// A folder of its own with the year of pairs, removed at exit.
const String& yearFolder() {
    static const String folder = [] {
        char name[] = "/tmp/horalis-history-bench-XXXXXX";
        const char* made = mkdtemp(name);
        static std::string path = made ? made : "/tmp";
        std::atexit([] { std::filesystem::remove_all(path); });
        const String f = ascii(path.c_str());
        const int64_t newest = dayNumberOf(LocalTime{2026, 12, 7, 0, 0, 0});
        for (int64_t day = newest - kDays + 1; day <= newest; ++day) writePairHolding(f, day, largeDay(day, 100, 1000));
        return f;
    }();
    return folder;
}

void historyPage(benchmark::State& state) {
    const String& folder = yearFolder();
    resetHeapPeak();
    const size_t before = heapBytesInUse();
    for (auto _ : state)
        if (!writeHistoryPage(folder, kNow)) state.SkipWithError("cannot write the page");
    state.counters["peak_heap_MiB"] = static_cast<double>(heapPeakBytes() - before) / (1 << 20);
    std::string page;
    readFileBytes(historyPagePath(folder), page, 64 << 20);
    state.counters["value"] = static_cast<double>(page.size()) / 1024.0;
}

void readPairsOnly(benchmark::State& state) {
    const String& folder = yearFolder();
    for (auto _ : state) {
        std::vector<String> names;
        listFolderFiles(folder, names);
        std::string bytes;
        size_t applications = 0;
        for (const String& name : names) {
            if (name.size() < 4 || name.compare(name.size() - 4, 4, u".csv") != 0) continue;
            DailyPairTotals totals;
            readFileBytes(folder + u"\\" + name, bytes, 64 << 20);
            readDailyCsv(bytes, totals);
            applications += totals.applications.size();
        }
        benchmark::DoNotOptimize(applications);
    }
}

const bool registered = [] {
    const std::string figure = "history page, 365 pairs of 100 apps, 1,000 titles";
    describeFigure(figure, "< 1 s", 1e9);
    describeCounterFigure("history page size", figure, "value", "a few hundred KB", 1024, "KB");
    describeCounterFigure("history page, peak heap", figure, "peak_heap_MiB", "", 0, "MiB");
    benchmark::RegisterBenchmark((figure + "/ours").c_str(), historyPage)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((figure + "/reference").c_str(), readPairsOnly)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
}  // namespace horalis
