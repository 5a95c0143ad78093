#pragma once
// Data and the straightforward reference ways of keeping the lists, shared by
// the list and report benchmarks.
#include <cstdio>
#include <string>
#include <vector>

#include "storage/duration.h"
#include "ui/list_models.h"

namespace horalis::bench {

class NoIcons : public IconSource {
public:
    int addApplicationIcon(StringView) override { return next++; }
    int addDefaultIcon() override { return next++; }
    void removeAll() override { next = 0; }
    int next = 0;
};

inline String ascii(const char* text) { return String(text, text + std::char_traits<char>::length(text)); }

inline String pathOf(size_t i) {
    char text[96];
    std::snprintf(text, sizeof text, "C:\\Program Files\\Vendor %zu\\Application\\app%05zu.exe", i % 37, i);
    return ascii(text);
}

inline String titleOf(size_t i) {
    char text[96];
    std::snprintf(text, sizeof text, "Document %zu.txt - Editor", i);
    return ascii(text);
}

// The way the list was kept before: every record compared with every row, the
// time written whenever a row matches.
inline void referenceRefresh(ListModel& list, const UsageRecords& records, bool secondsMode, IconSource& icons) {
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
inline void referenceFill(const ListModel& applications, ListModel& titles, const UsageRecords& records, bool secondsMode) {
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

}  // namespace horalis::bench
