// Cost of one sample against the number of records, for the indexed store and
// for the plain first-match scan over vectors, measured side by side.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tracking/usage_records.h"

namespace horalis {
namespace {

String widen(const std::string& s) { return String(s.begin(), s.end()); }

// Window titles of 30 to 60 characters, each with a counter somewhere in it.
String windowTitle(int i) {
    static const char* const patterns[] = {
        "Inbox (%d) - someone@example.org - Mail",
        "Quarterly report %d.docx - Word Processor",
        "Issue #%d: crash on save - Tracker - Web Browser",
        "%d unread - General - Team Chat Workspace",
        "main.cpp - project-%d - Code Editor [Administrator]",
        "Budget_%d.xlsx [Read-Only] - Spreadsheet",
        "Build %d succeeded - Continuous Integration - Browser",
        "IMG_%d.JPG (100%%) - Photo Viewer",
    };
    char buf[96];
    std::snprintf(buf, sizeof buf, patterns[i % 8], 1000 + i * 7);
    return widen(buf);
}

String appPath(int i) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "C:\\Program Files\\Vendor %d\\Product %d\\bin\\app%d.exe", i % 97, i, i);
    return widen(buf);
}

// The straightforward store: walk the vectors, first match, full comparison.
class ScanRecords {
public:
    void addSample(StringView path, StringView title) {
        for (auto& app : apps_) {
            if (app.executablePath.compare(path) != 0) continue;
            ++app.sampleCount;
            for (auto& t : app.titles) {
                if (t.text.compare(title) == 0) {
                    ++t.sampleCount;
                    return;
                }
            }
            app.titles.push_back({String(title), 0});
            return;
        }
        apps_.push_back({{{String(title), 0}}, 0, String(path)});
    }
    size_t size() const { return apps_.size(); }

private:
    std::vector<ApplicationRecord> apps_;
};

struct Workload {
    std::vector<String> paths;
    std::vector<String> titles;
    std::vector<std::pair<uint32_t, uint32_t>> samples;  // indexes into paths, titles
};

// apps applications with titlesPerApp titles each; samples in random order.
Workload makeWorkload(int apps, int titlesPerApp) {
    Workload w;
    for (int a = 0; a < apps; ++a) w.paths.push_back(appPath(a));
    for (int t = 0; t < apps * titlesPerApp; ++t) w.titles.push_back(windowTitle(t));
    for (int a = 0; a < apps; ++a) {
        for (int t = 0; t < titlesPerApp; ++t) w.samples.emplace_back(a, a * titlesPerApp + t);
    }
    std::shuffle(w.samples.begin(), w.samples.end(), std::mt19937(42));
    return w;
}

template <class Store>
void runSamples(benchmark::State& state, int apps, int titlesPerApp) {
    const Workload w = makeWorkload(apps, titlesPerApp);
    Store store;
    for (const auto& [a, t] : w.samples) store.addSample(w.paths[a], w.titles[t]);  // every record exists
    // The inputs laid out in sample order, as a tick has its freshly read title
    // at hand: what is measured is the lookup, not fetching the workload.
    std::vector<std::pair<String, String>> inputs;
    inputs.reserve(w.samples.size());
    for (const auto& [a, t] : w.samples) inputs.emplace_back(w.paths[a], w.titles[t]);
    size_t k = 0;
    for (auto _ : state) {
        store.addSample(inputs[k].first, inputs[k].second);
        if (++k == inputs.size()) k = 0;
    }
    benchmark::DoNotOptimize(store.size());
    state.counters["records"] = static_cast<double>(apps) * titlesPerApp;
}

void OneApp_Indexed(benchmark::State& state) { runSamples<UsageRecords>(state, 1, static_cast<int>(state.range(0))); }
void OneApp_Scan(benchmark::State& state) { runSamples<ScanRecords>(state, 1, static_cast<int>(state.range(0))); }
void ThousandApps_Indexed(benchmark::State& state) { runSamples<UsageRecords>(state, 1000, 10); }
void ThousandApps_Scan(benchmark::State& state) { runSamples<ScanRecords>(state, 1000, 10); }

BENCHMARK(OneApp_Indexed)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(OneApp_Scan)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(ThousandApps_Indexed);
BENCHMARK(ThousandApps_Scan);

}  // namespace
}  // namespace horalis
