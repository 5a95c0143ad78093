// The list refresh after a sample and the title-list fill, each next to the
// straightforward way: scan every row's text for every record, and insert each
// title at the front of a vector.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/list_bench_data.h"

namespace horalis {
namespace {

using namespace horalis::bench;

struct Applications {
    explicit Applications(size_t n) {
        for (size_t i = 0; i < n; ++i) {
            paths.push_back(pathOf(i));
            for (size_t s = 0; s < 1 + i % 50; ++s) records.addSample(paths.back(), u"Main window");
        }
    }
    UsageRecords records;
    std::vector<String> paths;
};

// One tick's work: a sample into one application, then the refresh.
void BM_Refresh(benchmark::State& state) {
    Applications data(static_cast<size_t>(state.range(0)));
    ListModel list;
    NoIcons icons;
    ListUpdate update;
    refreshApplicationList(list, data.records, false, icons, &update);
    size_t next = 0;
    for (auto _ : state) {
        data.records.addSample(data.paths[next], u"Main window");
        next = (next + 1) % data.paths.size();
        refreshApplicationList(list, data.records, false, icons, &update);
        benchmark::DoNotOptimize(update.changedRows.data());
    }
}
BENCHMARK(BM_Refresh)->Arg(10)->Arg(1000)->Arg(10000);

void BM_RefreshReference(benchmark::State& state) {
    Applications data(static_cast<size_t>(state.range(0)));
    ListModel list;
    NoIcons icons;
    referenceRefresh(list, data.records, false, icons);
    size_t next = 0;
    for (auto _ : state) {
        data.records.addSample(data.paths[next], u"Main window");
        next = (next + 1) % data.paths.size();
        referenceRefresh(list, data.records, false, icons);
        benchmark::DoNotOptimize(list.generation());
    }
}
BENCHMARK(BM_RefreshReference)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Just the sample, to tell it apart from the refresh in the figures above.
void BM_SampleOnly(benchmark::State& state) {
    Applications data(static_cast<size_t>(state.range(0)));
    size_t next = 0;
    for (auto _ : state) {
        data.records.addSample(data.paths[next], u"Main window");
        next = (next + 1) % data.paths.size();
    }
}
BENCHMARK(BM_SampleOnly)->Arg(1000);

struct OneApplication {
    explicit OneApplication(size_t titles) {
        for (size_t i = 0; i < titles; ++i) {
            const String title = titleOf(i);
            for (size_t s = 0; s < 1 + i % 5; ++s) records.addSample(u"C:\\editor.exe", title);
        }
        NoIcons icons;
        refreshApplicationList(applications, records, false, icons);
        applications.setSelected(0, true);
    }
    UsageRecords records;
    ListModel applications;
};

void BM_FillTitles(benchmark::State& state) {
    OneApplication data(static_cast<size_t>(state.range(0)));
    ListModel titles;
    for (auto _ : state) {
        showSelectedApplicationTitles(data.applications, titles, data.records, false);
        benchmark::DoNotOptimize(titles.rowCount());
    }
}
BENCHMARK(BM_FillTitles)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Quadratic: capped at 20,000 titles so that the run stays short.
void BM_FillTitlesReference(benchmark::State& state) {
    OneApplication data(static_cast<size_t>(state.range(0)));
    ListModel titles;
    for (auto _ : state) {
        referenceFill(data.applications, titles, data.records, false);
        benchmark::DoNotOptimize(titles.rowCount());
    }
}
BENCHMARK(BM_FillTitlesReference)->Arg(1000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horalis
