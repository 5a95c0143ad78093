// A simulated week: 1.2 million present ticks of a browser whose title holds
// a clock, so that it changes every second (600,000 titles), with total time
// and the heap's peak. The straightforward design grows with the square of
// the titles, so it runs the week's first 60,000 ticks beside ours; ours then
// also runs the whole week.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "bench/bench_data.h"
#include "bench/figures.h"
#include "bench/heap_counter.h"

namespace horalis {
namespace {

using namespace horalis::bench;

constexpr size_t kWeekTicks = 1'200'000;
constexpr size_t kPrefixTicks = 60'000;

// The title for a second of the week, unique within the week.
void clockTitle(size_t second, String& out) {
    char text[96];
    std::snprintf(text, sizeof text, "World clock - day %zu, %02zu:%02zu:%02zu - Web Browser", 1 + second / 86400,
                  second / 3600 % 24, second / 60 % 60, second % 60);
    out.assign(text, text + std::char_traits<char>::length(text));
}

const String kBrowser = u"C:\\Program Files\\Browser\\browser.exe";

void weekOurs(benchmark::State& state, size_t ticks) {
    size_t titles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetHeapPeak();
        const size_t before = heapBytesInUse();
        state.ResumeTiming();
        {
            UsageRecords records;
            ListModel list;
            Settings settings;
            FakeDesktop desktop;
            ListActions actions(list, records);
            SamplingTick tick(records, settings, desktop, actions);
            String title;
            desktop.path = &kBrowser;
            desktop.title = &title;
            for (size_t k = 0; k < ticks; ++k) {
                if (k % 2 == 0) clockTitle(k / 2, title);
                desktop.now = static_cast<int64_t>(1'800'000'000 + k / 2);
                tick.noteHookActivity();
                tick.run();
            }
            state.PauseTiming();
            titles = records.applications()[0].titles.size();
            state.ResumeTiming();
        }
        state.PauseTiming();
        state.counters["peak_heap_MiB"] = static_cast<double>(heapPeakBytes() - before) / (1 << 20);
        state.counters["peak_per_title"] = static_cast<double>(heapPeakBytes() - before) / static_cast<double>(titles);
        state.counters["titles"] = static_cast<double>(titles);
        state.ResumeTiming();
    }
}

void weekReference(benchmark::State& state, size_t ticks) {
    for (auto _ : state) {
        state.PauseTiming();
        resetHeapPeak();
        const size_t before = heapBytesInUse();
        state.ResumeTiming();
        {
            ScanRecords records;
            ListModel list;
            NoIcons icons;
            FakeDesktop desktop;
            String title;
            desktop.path = &kBrowser;
            desktop.title = &title;
            for (size_t k = 0; k < ticks; ++k) {
                if (k % 2 == 0) clockTitle(k / 2, title);
                referenceTick(desktop, records, list, icons);
            }
        }
        state.PauseTiming();
        state.counters["peak_heap_MiB"] = static_cast<double>(heapPeakBytes() - before) / (1 << 20);
        state.ResumeTiming();
    }
}

const bool registered = [] {
    const std::string prefix = "week, first 60,000 ticks: total time";
    const std::string week = "week, 1,200,000 ticks: total time";
    describeFigure(prefix, "", 0);
    describeCounterFigure("week, first 60,000 ticks: peak heap", prefix, "peak_heap_MiB", "", 0, "MiB");
    describeFigure(week, "", 0);
    describeCounterFigure("week, 1,200,000 ticks: peak heap", week, "peak_heap_MiB", "", 0, "MiB");
    describeCounterFigure("week, 1,200,000 ticks: peak heap per title", week, "peak_per_title", "", 0, "bytes");
    benchmark::RegisterBenchmark((prefix + "/ours").c_str(), weekOurs, kPrefixTicks)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((prefix + "/reference").c_str(), weekReference, kPrefixTicks)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((week + "/ours").c_str(), weekOurs, kWeekTicks)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
}  // namespace horalis
