// The journal: one append after a minute that touched 1,000 different titles
// of a day that already holds 100,000, written and flushed to a file, beside
// the straightforward design that rewrites the day's whole record each
// minute; and the journal's size for a heavy day (10 h, a new title every 10 s).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/figures.h"
#include "reports/day_journal.h"
#include "storage/durable_file.h"
#include "storage/replacing_file.h"

namespace horalis {
namespace {

using namespace horalis::bench;

const LocalTime kDay{2026, 12, 7};

String numbered(const char* what, size_t n) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%s %zu - Document Editor", what, n);
    return String(text, text + length);
}

String scratchFile(const char* name) {
    const std::string path = "/tmp/horalis-journal-bench-" + std::to_string(::getpid()) + "-" + name;
    return String(path.begin(), path.end());
}

struct Day {
    UsageRecords records;
    JournalTracker tracker;
    void sample(StringView path, StringView title) {
        records.addSample(path, title);
        tracker.noteSample(records);
    }
};

// A day of 100 applications and 100,000 titles, all of it journaled already.
void fillDay(Day& day) {
    for (size_t t = 0; t < 100'000; ++t) {
        const String path = numbered("C:\\Apps\\app", t % 100);
        day.sample(path, numbered("Old title", t));
        day.sample(path, numbered("Old title", t));
    }
    JournalBlock block;
    day.tracker.take(day.records, kDay, 0, 1, block);
}

void touchMinute(Day& day, size_t minute) {
    for (size_t t = 0; t < 1000; ++t) {
        const String path = numbered("C:\\Apps\\app", t % 100);
        day.sample(path, numbered("Old title", (minute * 1000 + t) % 100'000));
    }
}

void appendOurs(benchmark::State& state) {
    Day day;
    fillDay(day);
    const String path = scratchFile("append.txt");
    DurableFile file;
    file.openForAppend(path);
    size_t minute = 1;
    std::string bytes;
    for (auto _ : state) {
        state.PauseTiming();
        touchMinute(day, minute);
        state.ResumeTiming();
        JournalBlock block;
        day.tracker.take(day.records, kDay, static_cast<int>(minute % 1440), minute + 1, block);
        bytes.clear();
        appendJournalBlock(block, bytes);
        file.writeFlushed(bytes);
        ++minute;
    }
    file.close();
    std::remove(std::string(path.begin(), path.end()).c_str());
}

// The whole day written again every minute, as a program that saves its totals would.
void appendReference(benchmark::State& state) {
    Day day;
    fillDay(day);
    const String path = scratchFile("rewrite.txt");
    size_t minute = 1;
    for (auto _ : state) {
        state.PauseTiming();
        touchMinute(day, minute);
        state.ResumeTiming();
        JournalBlock whole;
        day.tracker.noteAll();
        day.tracker.take(day.records, kDay, 0, minute + 1, whole);
        const DayRecord record = dayRecordOf(day.records, kDay, RecordOwner{u"PC1", u"ann"});
        std::string bytes;
        appendDayRecord(record, bytes);
        writeFileReplacing(path, bytes);
        ++minute;
    }
    std::remove(std::string(path.begin(), path.end()).c_str());
}

// 10 hours of ticks, a new title every 10 s, a block every minute.
void heavyDay(benchmark::State& state) {
    size_t size = 0;
    for (auto _ : state) {
        Day day;
        std::string journal;
        appendJournalHeader(JournalHeader{u"6756a1c2-1f3c", u"PC1", u"ann"}, journal);
        const String path = u"C:\\Program Files\\Browser\\browser.exe";
        for (size_t tick = 0; tick < 72'000; ++tick) {
            day.sample(path, numbered("Article", tick / 20));
            if (tick % 120 == 119) {
                JournalBlock block;
                if (day.tracker.take(day.records, kDay, static_cast<int>(480 + tick / 120), tick / 120 + 1, block))
                    appendJournalBlock(block, journal);
            }
        }
        size = journal.size();
    }
    state.counters["value"] = static_cast<double>(size) / 1024.0;
}

const bool registered = [] {
    const std::string append = "journal append, a minute of 1,000 titles in a day of 100,000, flushed";
    describeFigure(append, "bounded: no rewrite of the day (ref/ours >> 1)", 0);
    benchmark::RegisterBenchmark((append + "/ours").c_str(), appendOurs)->Unit(benchmark::kMillisecond)->Iterations(20);
    benchmark::RegisterBenchmark((append + "/reference").c_str(), appendReference)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    const std::string heavy = "journal size, heavy day (10 h, a new title every 10 s)";
    describeFigure(heavy, "< 1 MiB", 1024, "KB");
    benchmark::RegisterBenchmark((heavy + "/ours").c_str(), heavyDay)->Unit(benchmark::kMillisecond)->Iterations(1);
    return true;
}();

}  // namespace
}  // namespace horalis
