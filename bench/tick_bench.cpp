// One present tick (pointer count, foreground sample, list refresh) against
// the number of records already held, next to the straightforward design.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_data.h"
#include "bench/figures.h"

namespace horalis {
namespace {

using namespace horalis::bench;

void tickOurs(benchmark::State& state, size_t apps, size_t titlesPerApp) {
    const Workload w(apps, titlesPerApp);
    UsageRecords records;
    for (const auto& [a, t] : w.samples) records.addSample(w.paths[a], w.titles[t]);
    ListModel list;
    Settings settings;
    FakeDesktop desktop;
    ListActions actions(list, records);
    SamplingTick tick(records, settings, desktop, actions);
    tick.noteHookActivity();
    actions.refreshApplicationList();
    size_t k = 0;
    for (auto _ : state) {
        desktop.path = &w.paths[w.samples[k].first];
        desktop.title = &w.titles[w.samples[k].second];
        tick.run();
        if (++k == w.samples.size()) k = 0;
    }
    benchmark::DoNotOptimize(list.generation());
}

void tickReference(benchmark::State& state, size_t apps, size_t titlesPerApp) {
    const Workload w(apps, titlesPerApp);
    ScanRecords records;
    records.preload(w);
    ListModel list;
    NoIcons icons;
    FakeDesktop desktop;
    referenceRefresh(list, records, false, icons);
    size_t k = 0;
    for (auto _ : state) {
        desktop.path = &w.paths[w.samples[k].first];
        desktop.title = &w.titles[w.samples[k].second];
        referenceTick(desktop, records, list, icons);
        if (++k == w.samples.size()) k = 0;
    }
    benchmark::DoNotOptimize(list.generation());
}

struct Size {
    const char* name;
    size_t apps, titlesPerApp;
    int referenceIterations;  // the reference's tick grows with apps x rows
};

constexpr Size kSizes[] = {
    {"10 applications", 10, 10, 0},
    {"1,000 applications", 1000, 10, 200},
    {"10,000 applications", 10000, 10, 2},
    {"100,000 titles (1,000 applications)", 1000, 100, 200},
    {"1,000,000 titles (1,000 applications)", 1000, 1000, 100},
};

const bool registered = [] {
    for (const Size& s : kSizes) {
        const std::string figure = std::string("present tick, ") + s.name;
        describeFigure(figure, "median < 2 us, flat", 2000);
        benchmark::RegisterBenchmark((figure + "/ours").c_str(), tickOurs, s.apps, s.titlesPerApp)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
        auto* reference = benchmark::RegisterBenchmark((figure + "/reference").c_str(), tickReference, s.apps,
                                                       s.titlesPerApp);
        reference->Unit(benchmark::kMicrosecond);
        if (s.referenceIterations != 0 && s.referenceIterations < 10) {
            reference->Iterations(s.referenceIterations);  // seconds per tick: one repetition is enough
        } else {
            reference->Repetitions(3)->ReportAggregatesOnly(true);
            if (s.referenceIterations != 0) reference->Iterations(s.referenceIterations);
        }
    }
    deriveRatio("present tick growth, 10,000 / 10 applications", "present tick, 10,000 applications",
                "present tick, 10 applications", "flat", 0);
    deriveRatio("present tick growth, 1,000,000 titles / 10 applications",
                "present tick, 1,000,000 titles (1,000 applications)", "present tick, 10 applications", "flat",
                0);
    return true;
}();

}  // namespace
}  // namespace horalis
