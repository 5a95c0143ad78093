#include "reports/daily_reports.h"

#include <cstdio>

#include "reports/history.h"

namespace horalis {

String dailyReportBaseName(const LocalTime& moment) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "\\%d_%02d_%02d", moment.year, moment.day, moment.month);
    String name;
    for (int i = 0; i < n && i < static_cast<int>(sizeof text) - 1; ++i) name.push_back(static_cast<char16_t>(text[i]));
    return name;
}

bool writeDailyReports(const String& dataFolder, const LocalTime& moment, ReportLists& lists) {
    const String base = dataFolder + dailyReportBaseName(moment);

    ReportStream csv;
    if (!csv.open(base + u".csv")) return false;
    writeDailyCsvReport(csv, lists);
    const bool csvWritten = csv.close();

    // The HTML file does not depend on how the CSV file fared.
    ReportStream html;
    if (!html.open(base + u".html")) return false;
    writeHtmlReport(html, lists, moment);
    const bool htmlWritten = html.close();
    // Both programs write pairs only through here, under the daily-report lock.
    writeHistoryPage(dataFolder, moment);
    return csvWritten && htmlWritten;
}

}  // namespace horalis
