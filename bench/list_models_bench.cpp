// Filling the title list for one application, next to the fill that inserts
// each title at the top of the rows.
#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "bench/figures.h"

namespace horalis {
namespace {

using namespace horalis::bench;

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

void fillOurs(benchmark::State& state, size_t n) {
    OneApplication data(n);
    ListModel titles;
    for (auto _ : state) {
        showSelectedApplicationTitles(data.applications, titles, data.records, false);
        benchmark::DoNotOptimize(titles.rowCount());
    }
}

void fillReference(benchmark::State& state, size_t n) {
    OneApplication data(n);
    ListModel titles;
    for (auto _ : state) {
        referenceFill(data.applications, titles, data.records, false);
        benchmark::DoNotOptimize(titles.rowCount());
    }
}

const bool registered = [] {
    for (size_t n : {size_t{10000}, size_t{100000}}) {
        const std::string figure = "fill the title list, " + std::string(n == 10000 ? "10,000" : "100,000") + " titles";
        describeFigure(figure, n == 100000 ? "< 50 ms" : "", n == 100000 ? 50e6 : 0);
        benchmark::RegisterBenchmark((figure + "/ours").c_str(), fillOurs, n)
            ->Repetitions(3)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMillisecond);
        // Quadratic: one run is many seconds at 100,000 titles.
        benchmark::RegisterBenchmark((figure + "/reference").c_str(), fillReference, n)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
}  // namespace horalis
