#pragma once
// The report writers. Reports read the two lists, not the records: the
// application list is sorted by time, each row is selected in turn, the title
// list is refilled and sorted, and the texts are copied out as the lists show them.
#include "storage/report_stream.h"
#include "storage/settings.h"
#include "base/local_time.h"
#include "lists/list_models.h"

namespace horalis {

// What a report reads and, by the walk, leaves changed: the application list
// ends sorted by time, and with titles on its last row is selected and the
// title list shows that application's titles.
struct ReportLists {
    ListModel& applications;
    ListModel& titles;
    ListSort& sort;  // the lists' own: the walk leaves it at 1
    const UsageRecords& records;
    const Settings& settings;
};

// The format-specific part of a report: one application row, either without
// titles or with the title list as it stands after the walk sorted it.
class ReportRowWriter {
public:
    virtual ~ReportRowWriter() = default;
    virtual void writePlainRow(StringView path, StringView time) = 0;
    virtual void writeRowWithTitles(StringView path, StringView time, const ListModel& titles) = 0;
};

// sortColumn = 1, every row's parameter its index, sort by time (longest first).
void prepareReportRows(ListModel& applications, ListSort& sort);
// Walks the application rows from the top, re-reading the row count before
// each row; with titles on, selects each row and refills and sorts the titles.
void walkPreparedReportRows(ReportLists& lists, ReportRowWriter& writer);
// Both of the above.
void walkReportRows(ReportLists& lists, ReportRowWriter& writer);

// "Export as .CSV...": two quoted cells per application; a double quote inside
// a cell is doubled.
class CsvRowWriter final : public ReportRowWriter {
public:
    explicit CsvRowWriter(ReportStream& out) : out_(out) {}
    void writePlainRow(StringView path, StringView time) override;
    void writeRowWithTitles(StringView path, StringView time, const ListModel& titles) override;

private:
    ReportStream& out_;
};

// "Export as Excel .CSV...": semicolon-separated; a field holding ';', '"',
// CR or LF is quoted with inner quotes doubled, any other field is written as
// is; a field that a spreadsheet would take for a formula (beginning with
// = + - @, tab or CR) starts with an apostrophe (needsFormulaGuard).
class SpreadsheetCsvRowWriter : public ReportRowWriter {
public:
    explicit SpreadsheetCsvRowWriter(ReportStream& out) : out_(out) {}
    void writePlainRow(StringView path, StringView time) override;
    void writeRowWithTitles(StringView path, StringView time, const ListModel& titles) override;

protected:
    ReportStream& out_;
};

// The daily CSV: plain rows as the spreadsheet CSV, rows with titles in a
// layout of their own; fields quoted as in the spreadsheet CSV.
class DailyCsvRowWriter final : public SpreadsheetCsvRowWriter {
public:
    using SpreadsheetCsvRowWriter::SpreadsheetCsvRowWriter;
    void writeRowWithTitles(StringView path, StringView time, const ListModel& titles) override;
};

// One table row per application; list texts are escaped for HTML.
class HtmlRowWriter final : public ReportRowWriter {
public:
    explicit HtmlRowWriter(ReportStream& out) : out_(out) {}
    void writePlainRow(StringView path, StringView time) override;
    void writeRowWithTitles(StringView path, StringView time, const ListModel& titles) override;

private:
    void writeText(StringView text);
    ReportStream& out_;
    std::string scratch_;
};

void writeCsvReport(ReportStream& out, ReportLists& lists);
void writeSpreadsheetCsvReport(ReportStream& out, ReportLists& lists);
void writeDailyCsvReport(ReportStream& out, ReportLists& lists);
// The one-line HTML document, "Generated on" the given local time.
void writeHtmlReport(ReportStream& out, ReportLists& lists, const LocalTime& generatedAt);

// "Generated on " text: year:day:month hour:minute:second.
String formatReportMoment(const LocalTime& moment);

// Appends text for HTML as Windows-1251 bytes: & < > " as entities, and every
// character Windows-1251 cannot hold as a numeric character reference (a
// surrogate pair as its code point, a lone surrogate as U+FFFD).
void appendHtmlBytes(StringView text, std::string& out);

enum class ReportFormat { Csv, SpreadsheetCsv, Html };

// NotCreated: "Can't create file!", the lists untouched. NotWritten: the file
// was created but a write, the flush or the close failed (a full disk), so it
// may be short: "Can't write file!".
enum class ExportResult { Written, NotCreated, NotWritten };

// A name beside path that no file has (path + ".tmp", ".1.tmp", ...), or
// empty when all are taken.
String unusedNameBeside(const String& path);

// The export commands once the user has chosen a path: writes the format (the
// HTML one generated at now) beside it and then replaces the file, so that a
// failure leaves an existing file whole; in place where the folder allows
// no new file.
ExportResult exportReport(const String& path, ReportFormat format, ReportLists& lists, const LocalTime& now);

}  // namespace horalis
