#pragma once
// The two reports written into the data folder at 00:00 when daily reports are on.
#include "reports/report_writers.h"

namespace horalis {

// "\2026_07_12" for 7 December 2026: year, day, month.
String dailyReportBaseName(const LocalTime& moment);

// Writes dataFolder + name + ".csv", then dataFolder + name + ".html" (the
// HTML "Generated on" the same moment). Silent: true only when both files
// were created, written and closed completely, so that the caller can keep
// the totals when they were not saved. Then rebuilds history.html from every
// pair in the folder (silently, whatever happened to the pair).
bool writeDailyReports(const String& dataFolder, const LocalTime& moment, ReportLists& lists);

}  // namespace horalis
