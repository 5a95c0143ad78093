// Each export as the commands write it (the file in a temporary folder), for
// 1,000 applications with 100,000 and with 1,000,000 titles; next to the same
// row writers fed by the straightforward walk: linear find, front-inserting
// title fill, sorts that parse on every comparison.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>

#include "bench/bench_data.h"
#include "bench/figures.h"
#include "reports/daily_reports.h"
#include "reports/report_writers.h"

namespace horalis {
namespace {

using namespace horalis::bench;

constexpr size_t kApplications = 1000;

struct Totals {
    explicit Totals(size_t titlesPerApplication) {
        for (size_t a = 0; a < kApplications; ++a) {
            const String path = pathOf(a);
            for (size_t t = 0; t < titlesPerApplication; ++t) {
                const String title = titleOf(a * titlesPerApplication + t);
                // 1 to 8 samples: several titles share a time, as in real use.
                for (size_t s = 0; s < 1 + (a * 7 + t * 13) % 8; ++s) records.addSample(path, title);
            }
        }
        scanRecords.assign(records.applications());
        NoIcons icons;
        refreshApplicationList(applications, records, false, icons);
    }
    UsageRecords records;
    ScanRecords scanRecords;
    Settings settings;
    ListModel applications;
    ListModel titles;
    ListSort sort;
    ReportLists lists() { return ReportLists{applications, titles, sort, records, settings}; }
};

Totals& totals(size_t titlesPerApplication) {
    static std::map<size_t, std::unique_ptr<Totals>> cache;
    auto& slot = cache[titlesPerApplication];
    if (!slot) slot = std::make_unique<Totals>(titlesPerApplication);
    return *slot;
}

// A folder of its own for the files, removed at exit.
const std::string& folder() {
    static const std::string path = [] {
        char name[] = "/tmp/horalis-bench-XXXXXX";
        const char* made = mkdtemp(name);
        std::string p = made ? made : "/tmp";
        std::atexit([] {
            for (const char* f : {"/r.csv", "/r.html", "/2026_07_12.csv", "/2026_07_12.html", "/2026_08_12.csv",
                                  "/2026_08_12.html"})
                unlink((folder() + f).c_str());
            rmdir(folder().c_str());
        });
        return p;
    }();
    return path;
}

String inFolder(const char* name) { return ascii((folder() + name).c_str()); }

const LocalTime kMoment{2026, 12, 7, 0, 0, 0};

// The daily pair that holds kMoment's day, and whether it is there before a write.
void removePair() {
    for (const char* f : {"/2026_08_12.csv", "/2026_08_12.html"}) unlink((folder() + f).c_str());
}

bool writePair(Totals& data) {
    return writeDailyPair(ascii(folder().c_str()), kMoment, kMoment, data.records, data.settings) ==
           DailyPairResult::Written;
}

enum Format { kCsv, kSpreadsheetCsv, kHtml, kDailyPair };

void exportOurs(benchmark::State& state, Format format, size_t titlesPerApplication) {
    Totals& data = totals(titlesPerApplication);
    ReportLists lists = data.lists();
    for (auto _ : state) {
        bool ok = false;
        switch (format) {
        case kCsv: ok = exportReport(inFolder("/r.csv"), ReportFormat::Csv, lists, kMoment) == ExportResult::Written; break;
        case kSpreadsheetCsv: ok = exportReport(inFolder("/r.csv"), ReportFormat::SpreadsheetCsv, lists, kMoment) == ExportResult::Written; break;
        case kHtml: ok = exportReport(inFolder("/r.html"), ReportFormat::Html, lists, kMoment) == ExportResult::Written; break;
        case kDailyPair:
            // A pair already there would be added to: this figure is the plain write.
            state.PauseTiming();
            removePair();
            state.ResumeTiming();
            ok = writePair(data);
            break;
        }
        if (!ok) state.SkipWithError("cannot write the report");
    }
}

// The title list's rows, as the walk first handed them to the writers.
class ListTitles final : public ReportTitles {
public:
    explicit ListTitles(const ListModel& list) : list_(list) {}
    size_t size() const override { return list_.rowCount(); }
    StringView title(size_t j) const override { return list_.text(j, 0); }
    StringView time(size_t j) const override { return list_.text(j, 1); }

private:
    const ListModel& list_;
};

// The report walk as first described, into the same row writers.
void referenceWalk(Totals& data, ReportRowWriter& writer) {
    referenceSortByTime(data.applications);
    for (size_t i = 0; i < data.applications.rowCount(); ++i) {
        data.applications.setSelected(i, true);
        referenceFill(data.applications, data.titles, data.scanRecords, false);
        referenceSortByTime(data.titles);
        writer.writeRowWithTitles(data.applications.text(i, 0), data.applications.text(i, 1), ListTitles(data.titles));
    }
}

void referenceFile(Totals& data, const char* name, Format format) {
    ReportStream out;
    if (!out.open(inFolder(name))) return;
    if (format == kHtml) {
        // The same head and tail as the real report; only the rows are walked differently.
        out << StringView(u"<html><head><title>Horalis report</title></head><body><table>");
        HtmlRowWriter writer(out);
        referenceWalk(data, writer);
        out << StringView(u"</table></body></html>");
    } else if (format == kCsv) {
        CsvRowWriter writer(out);
        referenceWalk(data, writer);
    } else if (format == kSpreadsheetCsv) {
        SpreadsheetCsvRowWriter writer(out);
        referenceWalk(data, writer);
    } else {
        DailyCsvRowWriter writer(out);
        referenceWalk(data, writer);
    }
    out.close();
}

void exportReference(benchmark::State& state, Format format, size_t titlesPerApplication) {
    Totals& data = totals(titlesPerApplication);
    for (auto _ : state) {
        switch (format) {
        case kCsv:
        case kSpreadsheetCsv: referenceFile(data, "/r.csv", format); break;
        case kHtml: referenceFile(data, "/r.html", kHtml); break;
        case kDailyPair:
            referenceFile(data, "/2026_07_12.csv", kDailyPair);
            referenceFile(data, "/2026_07_12.html", kHtml);
            break;
        }
    }
}

// Adding to a pair of the same size read from disk (the second run of a
// day), next to writing the pair when there is none.
void addToPair(benchmark::State& state, bool existing) {
    Totals& data = totals(100);
    removePair();
    std::string pair;
    if (!writePair(data) || !readFileBytes(inFolder("/2026_08_12.csv"), pair, size_t{1} << 30))
        state.SkipWithError("cannot write the pair");
    for (auto _ : state) {
        state.PauseTiming();
        removePair();
        if (existing) {
            std::FILE* out = std::fopen((folder() + "/2026_08_12.csv").c_str(), "wb");
            if (!out || std::fwrite(pair.data(), 1, pair.size(), out) != pair.size()) state.SkipWithError("cannot put the pair back");
            if (out) std::fclose(out);
        }
        state.ResumeTiming();
        if (!writePair(data)) state.SkipWithError("cannot write the pair");
    }
}

const bool registered = [] {
    const std::string adding = "add to a daily pair of 1,000 apps, 100,000 titles";
    describeFigure(adding, "<= 3x the plain write (ref/ours >= 0.33)", 0);
    benchmark::RegisterBenchmark((adding + "/ours").c_str(), addToPair, true)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((adding + "/reference").c_str(), addToPair, false)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);

    struct Named {
        Format format;
        const char* name;
    };
    for (const Named& f : {Named{kCsv, "CSV"}, Named{kSpreadsheetCsv, "spreadsheet CSV"}, Named{kHtml, "HTML"},
                           Named{kDailyPair, "daily pair"}}) {
        const std::string small = std::string("export ") + f.name + ", 1,000 apps, 100,000 titles";
        const std::string large = std::string("export ") + f.name + ", 1,000 apps, 1,000,000 titles";
        describeFigure(small, "< 150 ms", 150e6);
        describeFigure(large, "", 0);
        deriveRatio(std::string("export ") + f.name + " growth, 10x the titles", large, small, "<= 12x", 12);
        for (const auto& [figure, titles] : {std::pair{small, size_t{100}}, std::pair{large, size_t{1000}}}) {
            benchmark::RegisterBenchmark((figure + "/ours").c_str(), exportOurs, f.format, titles)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((figure + "/reference").c_str(), exportReference, f.format, titles)
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

}  // namespace
}  // namespace horalis
