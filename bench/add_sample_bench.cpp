// Cost of one sample against the number of records, for the indexed store and
// for the plain first-match scan over vectors, measured side by side.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "tracking/usage_records.h"

// Heap bytes in use, counted as the allocator hands them out (usable size
// plus the chunk header), for the memory-per-title figure.
static size_t gHeapBytes = 0;

void* operator new(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    gHeapBytes += malloc_usable_size(p) + sizeof(size_t);
    return p;
}
// This operator delete pairs with the malloc in operator new above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    gHeapBytes -= malloc_usable_size(p) + sizeof(size_t);
    std::free(p);
}
#pragma GCC diagnostic pop
void operator delete(void* p, size_t) noexcept { operator delete(p); }

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
    // Fills the store with every record once, as addSample would, without the
    // quadratic cost of scanning for each new key (setup only, not measured).
    void preload(const std::vector<String>& paths, const std::vector<String>& titles, int titlesPerApp) {
        for (size_t a = 0; a < paths.size(); ++a) {
            ApplicationRecord& app = apps_.emplace_back();
            app.executablePath = paths[a];
            for (int t = 0; t < titlesPerApp; ++t) app.titles.push_back({titles[a * titlesPerApp + t], 0});
        }
    }

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
    // Every record exists before the measurement starts.
    if constexpr (std::is_same_v<Store, ScanRecords>) {
        store.preload(w.paths, w.titles, titlesPerApp);
    } else {
        for (const auto& [a, t] : w.samples) store.addSample(w.paths[a], w.titles[t]);
    }
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

// Memory of a store of n titles, against the target of twice the titles'
// UTF-16 bytes plus 64 bytes per title.
void MemoryPerTitle(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const String path = appPath(1);
    std::vector<String> titles;
    size_t utf16Bytes = 0;
    for (int i = 0; i < n; ++i) {
        titles.push_back(windowTitle(i));
        utf16Bytes += titles.back().size() * sizeof(char16_t);
    }
    double perTitle = 0;
    for (auto _ : state) {
        const size_t before = gHeapBytes;
        {
            UsageRecords store;
            for (const auto& t : titles) store.addSample(path, t);
            perTitle = static_cast<double>(gHeapBytes - before + sizeof store) / n;
        }
    }
    state.counters["bytes_per_title"] = perTitle;
    state.counters["target_per_title"] = (2.0 * utf16Bytes + 64.0 * n) / n;
}

BENCHMARK(MemoryPerTitle)->Arg(100)->Arg(100000)->Iterations(1);
BENCHMARK(OneApp_Indexed)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(OneApp_Scan)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(ThousandApps_Indexed);
BENCHMARK(ThousandApps_Scan);

}  // namespace
}  // namespace horalis
