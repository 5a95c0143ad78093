// Each export format for 1,000 applications with 100 or 1,000 titles each,
// into an in-memory stream; next to the same writers walking the lists with the
// front-inserting title fill.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "bench/list_bench_data.h"
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
        NoIcons icons;
        refreshApplicationList(applications, records, false, icons);
    }
    UsageRecords records;
    Settings settings;
    ListModel applications;
    ListModel titles;
    ReportLists lists() { return ReportLists{applications, titles, records, settings}; }
};

Totals& totals(size_t titlesPerApplication) {
    static std::map<size_t, std::unique_ptr<Totals>> cache;
    auto& slot = cache[titlesPerApplication];
    if (!slot) slot = std::make_unique<Totals>(titlesPerApplication);
    return *slot;
}

enum Format { kCsv, kSpreadsheetCsv, kDailyCsv, kHtml };

void writeFormat(Format format, ReportStream& out, ReportLists& lists) {
    switch (format) {
    case kCsv: writeCsvReport(out, lists); break;
    case kSpreadsheetCsv: writeSpreadsheetCsvReport(out, lists); break;
    case kDailyCsv: writeDailyCsvReport(out, lists); break;
    case kHtml: writeHtmlReport(out, lists, LocalTime{2026, 12, 7, 0, 0, 0}); break;
    }
}

std::unique_ptr<ReportRowWriter> rowWriter(Format format, ReportStream& out) {
    switch (format) {
    case kCsv: return std::make_unique<CsvRowWriter>(out);
    case kSpreadsheetCsv: return std::make_unique<SpreadsheetCsvRowWriter>(out);
    case kDailyCsv: return std::make_unique<DailyCsvRowWriter>(out);
    case kHtml: break;
    }
    return std::make_unique<HtmlRowWriter>(out);
}

// The report walk with the reference fill in place of showSelectedApplicationTitles.
void referenceWalk(ReportLists& lists, ReportRowWriter& writer) {
    prepareReportRows(lists.applications);
    for (size_t i = 0; i < lists.applications.rowCount(); ++i) {
        lists.applications.setSelected(i, true);
        referenceFill(lists.applications, lists.titles, lists.records, false);
        for (size_t j = 0; j < lists.titles.rowCount(); ++j) lists.titles.setParameter(j, static_cast<intptr_t>(j));
        sortWithCompareRows(lists.titles);
        writer.writeRowWithTitles(lists.applications.text(i, 0), lists.applications.text(i, 1), lists.titles);
    }
}

void BM_Export(benchmark::State& state, Format format) {
    Totals& data = totals(static_cast<size_t>(state.range(0)));
    ReportLists lists = data.lists();
    size_t bytes = 0;
    for (auto _ : state) {
        ReportStream out;
        out.openInMemory();
        writeFormat(format, out, lists);
        bytes = out.bytes().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_ExportReference(benchmark::State& state, Format format) {
    Totals& data = totals(static_cast<size_t>(state.range(0)));
    ReportLists lists = data.lists();
    size_t bytes = 0;
    for (auto _ : state) {
        ReportStream out;
        out.openInMemory();
        auto writer = rowWriter(format, out);
        referenceWalk(lists, *writer);
        bytes = out.bytes().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

// Arguments: titles per application (100 gives 100,000 titles, 1,000 gives 1,000,000).
BENCHMARK_CAPTURE(BM_Export, Csv, kCsv)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, SpreadsheetCsv, kSpreadsheetCsv)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, DailyCsv, kDailyCsv)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, Html, kHtml)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
// The reference only at 100,000 titles; its fill grows with the square of the titles.
BENCHMARK_CAPTURE(BM_ExportReference, Csv, kCsv)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportReference, SpreadsheetCsv, kSpreadsheetCsv)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportReference, DailyCsv, kDailyCsv)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportReference, Html, kHtml)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace horalis
