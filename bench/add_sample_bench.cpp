// Memory per title record, counted by the heap counter, and the cost of one
// sample among many titles of one application; each next to the plain
// first-match scan over vectors.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "bench/bench_data.h"
#include "bench/figures.h"
#include "bench/heap_counter.h"

namespace horalis {
namespace {

using namespace horalis::bench;

const Workload& workload(size_t apps, size_t titlesPerApp) {
    static std::map<std::pair<size_t, size_t>, std::unique_ptr<Workload>> cache;
    auto& slot = cache[{apps, titlesPerApp}];
    if (!slot) slot = std::make_unique<Workload>(apps, titlesPerApp);
    return *slot;
}

// Twice the titles' UTF-16 bytes plus 64 bytes, per title.
double memoryTarget(const Workload& w) {
    size_t bytes = 0;
    for (const String& t : w.titles) bytes += t.size() * sizeof(char16_t);
    return (2.0 * static_cast<double>(bytes) + 64.0 * static_cast<double>(w.titles.size())) /
           static_cast<double>(w.titles.size());
}

// Heap bytes the store holds (with its own size) per title, for a store
// filled with every record of the workload in first-seen order.
template <class Store>
void memoryPerTitle(benchmark::State& state, size_t apps, size_t titlesPerApp) {
    const Workload& w = workload(apps, titlesPerApp);
    double perTitle = 0;
    for (auto _ : state) {
        const size_t before = heapBytesInUse();
        auto store = std::make_unique<Store>();
        if constexpr (std::is_same_v<Store, ScanRecords>) {
            store->preload(w);  // the same vectors addSample would grow, without its quadratic scans
        } else {
            for (size_t a = 0; a < apps; ++a) {
                for (size_t t = 0; t < titlesPerApp; ++t) store->addSample(w.paths[a], w.titles[a * titlesPerApp + t]);
            }
        }
        perTitle = static_cast<double>(heapBytesInUse() - before) / static_cast<double>(w.titles.size());
    }
    state.counters["value"] = perTitle;
}

// One sample among titlesPerApp titles of one application, in random order.
template <class Store>
void sampleAmongTitles(benchmark::State& state, size_t titlesPerApp) {
    const Workload& w = workload(1, titlesPerApp);
    Store store;
    if constexpr (std::is_same_v<Store, ScanRecords>) {
        store.preload(w);
    } else {
        for (const auto& [a, t] : w.samples) store.addSample(w.paths[a], w.titles[t]);
    }
    size_t k = 0;
    for (auto _ : state) {
        store.addSample(w.paths[w.samples[k].first], w.titles[w.samples[k].second]);
        if (++k == w.samples.size()) k = 0;
    }
    benchmark::DoNotOptimize(store.size());
}

const bool registered = [] {
    struct Shape {
        const char* name;
        size_t apps, titlesPerApp;
    };
    for (const Shape& s : {Shape{"memory per title, 100,000 titles in 1 application", 1, 100000},
                           Shape{"memory per title, 1,000 applications x 100 titles", 1000, 100}}) {
        const double target = memoryTarget(workload(s.apps, s.titlesPerApp));
        char text[64];
        std::snprintf(text, sizeof text, "<= 2 x UTF-16 + 64 = %.0f bytes", target);
        describeFigure(s.name, text, target, "bytes");
        const std::string name = s.name;
        benchmark::RegisterBenchmark((name + "/ours").c_str(), memoryPerTitle<UsageRecords>, s.apps, s.titlesPerApp)
            ->Iterations(1);
        benchmark::RegisterBenchmark((name + "/reference").c_str(), memoryPerTitle<ScanRecords>, s.apps,
                                     s.titlesPerApp)
            ->Iterations(1);
    }
    const std::string sample = "add sample, 100,000 titles in 1 application";
    describeFigure(sample, "(part of the present tick)", 0);
    benchmark::RegisterBenchmark((sample + "/ours").c_str(), sampleAmongTitles<UsageRecords>, 100000)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark((sample + "/reference").c_str(), sampleAmongTitles<ScanRecords>, 100000)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMicrosecond);
    return true;
}();

}  // namespace
}  // namespace horalis
