#pragma once
// What the benchmarks feed the program with, and the straightforward designs
// measured beside it: first-match scans over the record vectors, a list
// refresh that compares every row's text with every record, title lists
// filled by inserting each row at the top, sorts that parse both durations
// on every comparison.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "lists/list_models.h"
#include "storage/duration.h"
#include "tracking/pointer_table.h"
#include "tracking/sampling_tick.h"

namespace horalis::bench {

// ---------------------------------------------------------------- names

inline String ascii(const char* text) { return String(text, text + std::char_traits<char>::length(text)); }

inline String pathOf(size_t i) {
    char text[96];
    std::snprintf(text, sizeof text, "C:\\Program Files\\Vendor %zu\\Application\\app%05zu.exe", i % 37, i);
    return ascii(text);
}

// Window titles of 30 to 60 characters, each with a counter somewhere in it.
inline String titleOf(size_t i) {
    static const char* const patterns[] = {
        "Inbox (%zu) - someone@example.org - Mail",
        "Quarterly report %zu.docx - Word Processor",
        "Issue #%zu: crash on save - Tracker - Web Browser",
        "%zu unread - General - Team Chat Workspace",
        "main.cpp - project-%zu - Code Editor [Administrator]",
        "Budget_%zu.xlsx [Read-Only] - Spreadsheet",
        "Build %zu succeeded - Continuous Integration - Browser",
        "IMG_%zu.JPG (100%%) - Photo Viewer",
    };
    char text[96];
    std::snprintf(text, sizeof text, patterns[i % 8], 1000 + i * 7);
    return ascii(text);
}

class NoIcons : public IconSource {
public:
    int addApplicationIcon(StringView) override { return next++; }
    int addDefaultIcon() override { return next++; }
    void removeAll() override { next = 0; }
    int next = 0;
};

// apps applications with titlesPerApp titles each, and every (application,
// title) pair once in random order: the order in which ticks visit them.
struct Workload {
    Workload(size_t apps, size_t titlesPerApp) : titlesPerApp(titlesPerApp) {
        for (size_t a = 0; a < apps; ++a) paths.push_back(pathOf(a));
        for (size_t t = 0; t < apps * titlesPerApp; ++t) titles.push_back(titleOf(t));
        for (size_t a = 0; a < apps; ++a) {
            for (size_t t = 0; t < titlesPerApp; ++t) samples.emplace_back(a, a * titlesPerApp + t);
        }
        std::shuffle(samples.begin(), samples.end(), std::mt19937(42));
    }
    size_t titlesPerApp;
    std::vector<String> paths;
    std::vector<String> titles;
    std::vector<std::pair<uint32_t, uint32_t>> samples;  // indexes into paths, titles
};

// A desktop whose foreground window is whatever the benchmark points it at;
// its calls cost about what a cached Win32 call does, and return the same
// kinds of values (the title is a fresh string, as GetWindowTextW gives).
class FakeDesktop final : public Desktop {
public:
    int64_t currentTime() override { return now; }
    uint64_t monotonicMs() override { return static_cast<uint64_t>(now) * 1000; }
    bool lastSessionInput(uint64_t&) override { return false; }
    bool localTime(int64_t, LocalTime& out) override {
        out = LocalTime{2026, 12, 7, 12, 0, 0};
        return true;
    }
    CursorState cursorState() override { return CursorState{true, kCursorShowing, 0x10003}; }
    WindowRef foregroundWindow() override { return 0x1234; }
    String windowTitle(WindowRef) override { return *title; }
    bool isWindow(WindowRef) override { return true; }
    bool identifyForegroundApplication(WindowRef, String& out) override {
        out = *path;
        return true;
    }
    int64_t now = 1'800'000'000;
    const String* path = nullptr;
    const String* title = nullptr;
};

// What the main window does for a tick, without the list view.
class ListActions final : public TickActions {
public:
    ListActions(ListModel& list, const UsageRecords& records) : list_(list), records_(records) {}
    void countPointer(const CursorState& cursor) override { countPointerSample(cursor); }
    void refreshLists() override { refreshApplicationList(list_, records_, false, icons_, &update_); }

private:
    ListModel& list_;
    const UsageRecords& records_;
    NoIcons icons_;
    ListUpdate update_;
};

// ---------------------------------------------------------------- reference designs

// The store as first described: walk the vectors, first match, full comparison.
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
        apps_.push_back({{{String(title), 0}}, 0, 0, String(path)});
    }
    const ApplicationRecord* find(StringView path) const {
        for (const auto& app : apps_) {
            if (app.executablePath.compare(path) == 0) return &app;
        }
        return nullptr;
    }
    const std::vector<ApplicationRecord>& applications() const { return apps_; }
    size_t size() const { return apps_.size(); }
    // Every record of the workload once with count 0, as addSample would
    // leave them, without the quadratic cost of scanning for each new key
    // (setup only, not measured).
    void preload(const Workload& w) {
        for (size_t a = 0; a < w.paths.size(); ++a) {
            ApplicationRecord& app = apps_.emplace_back();
            app.executablePath = w.paths[a];
            for (size_t t = 0; t < w.titlesPerApp; ++t) app.titles.push_back({w.titles[a * w.titlesPerApp + t], 0});
        }
    }

    // A copy of another store's records (setup only).
    void assign(const std::vector<ApplicationRecord>& apps) { apps_ = apps; }

private:
    std::vector<ApplicationRecord> apps_;
};

// Every record compared with every row, the time written whenever a row matches.
template <class Records>
void referenceRefresh(ListModel& list, const Records& records, bool secondsMode, IconSource& icons) {
    for (const ApplicationRecord& app : records.applications()) {
        const size_t n = list.rowCount();
        bool found = false;
        for (size_t i = 0; i < n; ++i) {
            if (list.text(i, 0) == app.executablePath) {
                list.setText(i, 1, formatDuration(samplesToSeconds(app.sampleCount), secondsMode));
                found = true;
            }
        }
        if (!found) {
            ListRow row;
            row.text0 = app.executablePath;
            row.image = app.executablePath == kIdleTimeKey ? icons.addDefaultIcon()
                                                           : icons.addApplicationIcon(app.executablePath);
            row.text1 = formatDuration(samplesToSeconds(app.sampleCount), secondsMode);
            list.insertAtTop(std::move(row));
        }
    }
}

// Each title inserted at index 0 of a vector kept in display order.
template <class Records>
void referenceFill(const ListModel& applications, ListModel& titles, const Records& records, bool secondsMode) {
    titles.deleteAll();
    const size_t selected = applications.selectedRow();
    if (selected == ListModel::npos) return;
    const ApplicationRecord* app = records.find(applications.text(selected, 0));
    if (!app) return;
    std::vector<ListRow> rows;
    for (const TitleRecord& title : app->titles) {
        ListRow row;
        row.text0 = title.text;
        row.text1 = formatDuration(samplesToSeconds(title.sampleCount), secondsMode);
        rows.insert(rows.begin(), std::move(row));
    }
    titles.assignRows(std::move(rows));
}

// A sort by the time column that parses both texts on every comparison.
inline void referenceSortByTime(ListModel& list) {
    const ListSort byTime{1};
    for (size_t i = 0; i < list.rowCount(); ++i) list.setParameter(i, static_cast<intptr_t>(i));
    list.sort([&](const ListRow& a, const ListRow& b) { return byTime.compareRows(a, b); });
}

// One present tick as first described: the same desktop calls, the scanning
// store, the refresh that reads every row for every record.
template <class Records>
void referenceTick(Desktop& desktop, Records& records, ListModel& list, IconSource& icons) {
    LocalTime local;
    desktop.localTime(desktop.currentTime(), local);
    if (desktop.currentTime() - desktop.currentTime() > 300) return;
    countPointerSample(desktop.cursorState());
    const WindowRef window = desktop.foregroundWindow();
    if (window == 0) return;
    const String title = desktop.windowTitle(window);
    if (!desktop.isWindow(window)) return;
    String path;
    if (!desktop.identifyForegroundApplication(window, path)) return;
    records.addSample(path, title);
    referenceRefresh(list, records, false, icons);
}

}  // namespace horalis::bench
