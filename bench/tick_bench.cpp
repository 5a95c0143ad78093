// One present tick (pointer count, foreground sample, list refresh) against
// the number of records already held, next to the straightforward design;
// and with twenty recording rules, against running them on every sample.
#include <benchmark/benchmark.h>

#include <memory>
#include <utility>
#include <vector>

#include "bench/bench_data.h"
#include "bench/figures.h"

namespace horalis {
namespace {

using namespace horalis::bench;

// How the rules take part: not at all, through the tick's cached filter, or
// run on every sample beside the tick (the design without the cache).
enum class Rules { None, Cached, EverySample };

// Twenty rules of both kinds, none of which matches the workload, so that
// every decision runs through all of them.
std::vector<RecordingRule> twentyRules() {
    std::vector<RecordingRule> rules = builtInRuleFile().rules;
    for (const char16_t* pattern : {u"*Bank*statement*", u"Salary", u"Diagnosis", u"*.pdf - Private", u"Dating",
                                    u"Incognito Mode", u"Password*vault", u"Tax return*2026", u"Job offer"})
        rules.push_back({RuleTarget::Title, pattern, RuleAction::DontRecord, {}});
    for (const char16_t* pattern : {u"game*.exe", u"steam.exe"})
        rules.push_back({RuleTarget::Program, pattern, RuleAction::Category, u"Games"});
    for (const char16_t* pattern : {u"vlc.exe", u"spotify.exe"})
        rules.push_back({RuleTarget::Program, pattern, RuleAction::Category, u"Entertainment"});
    return rules;
}

// The foreground changes every holdTicks ticks.
void tickOurs(benchmark::State& state, size_t apps, size_t titlesPerApp, size_t holdTicks, Rules rules) {
    const Workload w(apps, titlesPerApp);
    UsageRecords records;
    for (const auto& [a, t] : w.samples) records.addSample(w.paths[a], w.titles[t]);
    ListModel list;
    Settings settings;
    FakeDesktop desktop;
    ListActions actions(list, records);
    SamplingTick tick(records, settings, desktop, actions);
    RecordingFilter filter;
    RuleMatcher everySample(rules == Rules::EverySample ? twentyRules() : std::vector<RecordingRule>{});
    if (rules == Rules::Cached) {
        filter.setRules(twentyRules());
        tick.useRecordingFilter(&filter);
    }
    tick.noteHookActivity();
    actions.refreshLists();
    size_t k = 0, held = 0;
    for (auto _ : state) {
        desktop.path = &w.paths[w.samples[k].first];
        desktop.title = &w.titles[w.samples[k].second];
        if (rules == Rules::EverySample) benchmark::DoNotOptimize(everySample.firstMatch(*desktop.path, *desktop.title));
        tick.run();
        if (++held == holdTicks) {
            held = 0;
            if (++k == w.samples.size()) k = 0;
        }
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
        benchmark::RegisterBenchmark((figure + "/ours").c_str(), tickOurs, s.apps, s.titlesPerApp, 1, Rules::None)
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
    // A title held for two seconds, or a new one every tick.
    for (const auto& [name, hold] :
         {std::pair{"a title held 2 s", size_t{4}}, std::pair{"a new title every tick", size_t{1}}}) {
        const std::string figure = std::string("present tick with 20 rules, 10 applications, ") + name;
        describeFigure(figure, "median < 2 us", 2000);
        benchmark::RegisterBenchmark((figure + "/ours").c_str(), tickOurs, 10, 10, hold, Rules::Cached)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark((figure + "/reference").c_str(), tickOurs, 10, 10, hold, Rules::EverySample)
            ->Repetitions(3)
            ->ReportAggregatesOnly(true);
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
