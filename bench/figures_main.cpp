// main() of the benchmark programs: the usual console output, then the table
// of figures (see figures.h). With HORALIS_FIGURES set to a file name, the
// table's rows are also appended to that file, tab-separated, so that
// scripts/bench.sh can print one table for all programs.
#include "bench/figures.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace horalis::bench {
namespace {

struct Description {
    std::string figure;
    std::string target;
    double limit = 0;
    std::string unit;  // empty: a time figure
    std::string numerator, denominator;  // set for derived figures
    std::string source, counter = "value";  // whose benchmarks, which counter
};

std::vector<Description>& descriptions() {
    static std::vector<Description> all;
    return all;
}

const Description* descriptionOf(const std::string& figure) {
    for (const Description& d : descriptions()) {
        if (d.figure == figure) return &d;
    }
    return nullptr;
}

double nanosecondsPer(benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kNanosecond: return 1;
    case benchmark::kMicrosecond: return 1e3;
    case benchmark::kMillisecond: return 1e6;
    case benchmark::kSecond: return 1e9;
    }
    return 1;
}

// Median values by benchmark name; a benchmark run without repetitions has
// its one run as its median.
class FigureCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!single && !median) continue;
            Value& v = values[run.run_name.function_name];
            v.nanoseconds = run.GetAdjustedCPUTime() * nanosecondsPer(run.time_unit);
            for (const auto& [name, counter] : run.counters) v.counters[name] = counter.value;
        }
    }
    struct Value {
        double nanoseconds = -1;
        std::map<std::string, double> counters;
    };
    std::map<std::string, Value> values;
};

std::string formatTime(double ns) {
    char text[32];
    if (ns < 0) return "-";
    if (ns < 1e3) std::snprintf(text, sizeof text, "%.1f ns", ns);
    else if (ns < 1e6) std::snprintf(text, sizeof text, "%.2f us", ns / 1e3);
    else if (ns < 1e9) std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
    else std::snprintf(text, sizeof text, "%.2f s", ns / 1e9);
    return text;
}

std::string formatValue(double value, const std::string& unit) {
    if (value < 0) return "-";
    char text[48];
    std::snprintf(text, sizeof text, value < 100 ? "%.2f %s" : "%.0f %s", value, unit.c_str());
    return text;
}

struct Row {
    std::string figure, ours, reference, ratio, target, verdict;
};

void printFigures(const FigureCollector& collector) {
    auto valueOf = [&](const std::string& figure, const char* design, const std::string& unit) {
        const Description* d = descriptionOf(figure);
        const std::string& source = d && !d->source.empty() ? d->source : figure;
        auto it = collector.values.find(source + "/" + design);
        if (it == collector.values.end()) return -1.0;
        if (unit.empty()) return it->second.nanoseconds;
        auto c = it->second.counters.find(d ? d->counter : "value");
        return c == it->second.counters.end() ? -1.0 : c->second;
    };
    std::vector<Row> rows;
    for (const Description& d : descriptions()) {
        double ours = -1, reference = -1;
        std::string unit = d.unit;
        if (!d.numerator.empty()) {
            const Description* n = descriptionOf(d.numerator);
            const Description* m = descriptionOf(d.denominator);
            const std::string nu = n ? n->unit : "", mu = m ? m->unit : "";
            for (const char* design : {"ours", "reference"}) {
                const double a = valueOf(d.numerator, design, nu), b = valueOf(d.denominator, design, mu);
                (design[0] == 'o' ? ours : reference) = a > 0 && b > 0 ? a / b : -1;
            }
            unit = "x";
        } else {
            ours = valueOf(d.figure, "ours", unit);
            reference = valueOf(d.figure, "reference", unit);
        }
        if (ours < 0) continue;  // not run (filtered out)
        Row row;
        row.figure = d.figure;
        row.ours = unit.empty() ? formatTime(ours) : formatValue(ours, unit);
        row.reference = unit.empty() ? formatTime(reference) : formatValue(reference, unit);
        char ratio[32] = "-";
        if (reference > 0) std::snprintf(ratio, sizeof ratio, "%.3g", reference / ours);
        row.ratio = ratio;
        row.target = d.target;
        row.verdict = d.limit <= 0 ? "" : ours <= d.limit ? "ok" : "MISSED";
        rows.push_back(row);
    }
    if (rows.empty()) return;

    std::printf("\n%-52s %14s %14s %10s  %s\n", "figure", "ours", "reference", "ref/ours", "target");
    for (const Row& r : rows) {
        std::printf("%-52s %14s %14s %10s  %s %s\n", r.figure.c_str(), r.ours.c_str(), r.reference.c_str(),
                    r.ratio.c_str(), r.target.c_str(), r.verdict.c_str());
    }
    if (const char* path = std::getenv("HORALIS_FIGURES"); path && *path) {
        if (std::FILE* out = std::fopen(path, "a")) {
            for (const Row& r : rows) {
                std::fprintf(out, "%s\t%s\t%s\t%s\t%s %s\n", r.figure.c_str(), r.ours.c_str(), r.reference.c_str(),
                             r.ratio.c_str(), r.target.c_str(), r.verdict.c_str());
            }
            std::fclose(out);
        }
    }
}

}  // namespace

void describeFigure(const std::string& figure, const std::string& target, double limit, const std::string& unit) {
    descriptions().push_back(Description{figure, target, limit, unit, {}, {}, {}});
}

void describeCounterFigure(const std::string& figure, const std::string& source, const std::string& counter,
                           const std::string& target, double limit, const std::string& unit) {
    descriptions().push_back(Description{figure, target, limit, unit, {}, {}, source, counter});
}

void deriveRatio(const std::string& figure, const std::string& numerator, const std::string& denominator,
                 const std::string& target, double limit) {
    descriptions().push_back(Description{figure, target, limit, "x", numerator, denominator, {}});
}

}  // namespace horalis::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    horalis::bench::FigureCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    horalis::bench::printFigures(collector);
    return 0;
}
