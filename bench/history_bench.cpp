// The history page over a year of large days: 365 day records of 100
// applications and 1,000 titles, about ten hours each minute by minute. Timed:
// the page made by a fresh process (nothing cached), next to only reading and
// parsing the same files (the floor any page over them pays); the page again
// after one new day, as the running program makes it; and the page over the
// same records without their minutes, to show what the timeline costs.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>

#include "bench/figures.h"
#include "bench/heap_counter.h"
#include "bench/history_data.h"
#include "reports/history_cache.h"
#include "storage/report_stream.h"

namespace horalis {
namespace {

using namespace horalis::bench;

constexpr int kDays = 365;
const LocalTime kNow{2026, 12, 8, 9, 15, 0};
const int64_t kNewest = dayNumberOf(LocalTime{2026, 12, 7, 0, 0, 0});
const RecordOwner kOwner{u"BENCH-PC", u"ann"};

struct Year {
    String folder;          // the records as the fold writes them
    String withoutMinutes;  // the same without their minutes
    String newestName;      // the newest day's record, in Days\ of folder
    std::string newestBytes;
};

// Folders of their own, removed at exit.
const Year& year() {
    static const Year made = [] {
        char name[] = "/tmp/horalis-history-bench-XXXXXX";
        const char* folder = mkdtemp(name);
        static std::string path = folder ? folder : "/tmp";
        std::atexit([] { std::filesystem::remove_all(path); });
        Year y;
        y.folder = ascii((path + "/year").c_str());
        y.withoutMinutes = ascii((path + "/no-minutes").c_str());
        createDirectory(y.folder);
        createDirectory(y.withoutMinutes);
        for (int64_t day = kNewest - kDays + 1; day <= kNewest; ++day) {
            DayRecord record = largeDayRecord(day, 100, 1000, kOwner);
            writeDayRecord(y.folder, record);
            if (day == kNewest) {
                y.newestName = dayRecordFolder(y.folder) + u"\\" + dayRecordFileName(record.day, kOwner);
                appendDayRecord(record, y.newestBytes);
            }
            record.minutes.clear();
            writeDayRecord(y.withoutMinutes, record);
        }
        return y;
    }();
    return made;
}

double pageKiB(const String& folder) {
    std::string page;
    readFileBytes(historyPagePath(folder), page, 64 << 20);
    return static_cast<double>(page.size()) / 1024.0;
}

// A fresh cache each time: what a program's first page pays.
void pageOf(benchmark::State& state, const String& folder) {
    resetHeapPeak();
    const size_t before = heapBytesInUse();
    for (auto _ : state) {
        HistoryCache cache;
        if (!writeHistoryPage(folder, kNow, nullptr, cache)) state.SkipWithError("cannot write the page");
    }
    state.counters["peak_heap_MiB"] = static_cast<double>(heapPeakBytes() - before) / (1 << 20);
    state.counters["value"] = pageKiB(folder);
}

void historyPage(benchmark::State& state) { pageOf(state, year().folder); }
void historyPageWithoutMinutes(benchmark::State& state) { pageOf(state, year().withoutMinutes); }

void readRecordsOnly(benchmark::State& state) {
    const String folder = dayRecordFolder(year().folder);
    for (auto _ : state) {
        std::vector<String> names;
        listFolderFiles(folder, names);
        std::string bytes;
        size_t applications = 0;
        for (const String& name : names) {
            DayRecord record;
            readFileBytes(folder + u"\\" + name, bytes, 64 << 20);
            readDayRecord(bytes, record);
            applications += record.applications.size();
        }
        benchmark::DoNotOptimize(applications);
    }
}

// The year's newest day written anew (as the fold writes it) after a page
// over the days before it, then the page again from the same cache.
void rebuildAfterNewDay(benchmark::State& state) {
    const Year& y = year();
    const size_t before = heapBytesInUse();
    HistoryCache cache;
    writeHistoryPage(y.folder, kNow, nullptr, cache);
    const double resident = static_cast<double>(heapBytesInUse() - before) / (1 << 20);
    for (auto _ : state) {
        state.PauseTiming();
        removeFile(y.newestName);
        writeHistoryPage(y.folder, kNow, nullptr, cache);
        writeFileReplacing(y.newestName, y.newestBytes);
        state.ResumeTiming();
        if (!writeHistoryPage(y.folder, kNow, nullptr, cache)) state.SkipWithError("cannot write the page");
    }
    state.counters["cache_MiB"] = resident;
}

const bool registered = [] {
    const std::string figure = "history page, 365 day records of 100 apps, 1,000 titles";
    const std::string rebuilt = "history page after one new day (days kept in memory)";
    const std::string plain = "history page, the same records without minutes";
    describeFigure(figure, "<= 1.5x the read-and-parse floor (ref/ours >= 0.67)", 0);
    describeFigure(rebuilt, "< 50 ms", 50e6);
    describeFigure(plain, "", 0);
    deriveRatio("history page with timeline / without", figure, plain, "< 1.2x", 1.2);
    describeCounterFigure("history page size", figure, "value", "a few hundred KB", 1024, "KB");
    describeCounterFigure("history page, peak heap", figure, "peak_heap_MiB", "", 0, "MiB");
    describeCounterFigure("history days kept in memory, a year", rebuilt, "cache_MiB", "", 0, "MiB");
    const auto add = [](const std::string& name, void (*function)(benchmark::State&)) {
        benchmark::RegisterBenchmark(name.c_str(), function)
            ->Repetitions(3)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMillisecond);
    };
    add(figure + "/ours", historyPage);
    add(figure + "/reference", readRecordsOnly);
    add(rebuilt + "/ours", rebuildAfterNewDay);
    add(plain + "/ours", historyPageWithoutMinutes);
    return true;
}();

}  // namespace
}  // namespace horalis
