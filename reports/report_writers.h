#pragma once
// The report writers. A report holds what the lists show once sorted by time:
// an export sorts the application list on screen and copies its texts out,
// each application's titles in the order and form the title list would show
// them; the daily pair takes the same order straight from the records.
#include "storage/report_stream.h"
#include "storage/settings.h"
#include "base/local_time.h"
#include "lists/list_models.h"

namespace horalis {

// What an export reads and, by the walk, leaves changed: the application list
// ends sorted by time, and with titles on its last row is selected and the
// title list shows that application's titles.
struct ReportLists {
    ListModel& applications;
    ListModel& titles;
    ListSort& sort;  // the lists' own: the walk leaves it at 1
    const UsageRecords& records;
    const Settings& settings;
};

// One application's titles as a report writes them, in their order.
class ReportTitles {
public:
    virtual ~ReportTitles() = default;
    virtual size_t size() const = 0;
    virtual StringView title(size_t j) const = 0;
    // Valid until the next call.
    virtual StringView time(size_t j) const = 0;
};

// The format-specific part of a report: one application row, either without
// titles or with them.
class ReportRowWriter {
public:
    virtual ~ReportRowWriter() = default;
    virtual void writePlainRow(StringView path, StringView time) = 0;
    virtual void writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) = 0;
};

// An export: sortColumn = 1, every application row's parameter its index, the
// rows sorted by time (longest first) and written from the top, each with the
// titles of its record (a row's key). With titles on, the last row is then
// selected and the title list shows its titles sorted by time, as selecting
// each row in turn would leave them.
void walkReportRows(ReportLists& lists, ReportRowWriter& writer);
// The daily pair: the rows those lists would show, from the records alone.
void walkRecordRows(const UsageRecords& records, const Settings& settings, ReportRowWriter& writer);

// What a report is written from: the lists on screen, or the records alone.
class ReportSource {
public:
    // Not explicit: an export hands its lists to the writers as they are.
    ReportSource(ReportLists& lists) : lists_(&lists), records_(lists.records), settings_(lists.settings) {}
    ReportSource(const UsageRecords& records, const Settings& settings) : records_(records), settings_(settings) {}
    void walk(ReportRowWriter& writer) const {
        if (lists_) walkReportRows(*lists_, writer);
        else walkRecordRows(records_, settings_, writer);
    }

private:
    ReportLists* lists_ = nullptr;
    const UsageRecords& records_;
    const Settings& settings_;
};

// "Export as .CSV...": two quoted cells per application; a double quote inside
// a cell is doubled.
class CsvRowWriter final : public ReportRowWriter {
public:
    explicit CsvRowWriter(ReportStream& out) : out_(out) {}
    void writePlainRow(StringView path, StringView time) override;
    void writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) override;

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
    void writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) override;

protected:
    ReportStream& out_;
};

// The daily CSV: plain rows as the spreadsheet CSV, rows with titles in a
// layout of their own; fields quoted as in the spreadsheet CSV.
class DailyCsvRowWriter final : public SpreadsheetCsvRowWriter {
public:
    using SpreadsheetCsvRowWriter::SpreadsheetCsvRowWriter;
    void writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) override;
};

// One table row per application; list texts are escaped for HTML.
class HtmlRowWriter final : public ReportRowWriter {
public:
    explicit HtmlRowWriter(ReportStream& out) : out_(out) {}
    void writePlainRow(StringView path, StringView time) override;
    void writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) override;

private:
    void writeText(StringView text);
    ReportStream& out_;
    std::string scratch_;
};

void writeCsvReport(ReportStream& out, const ReportSource& source);
void writeSpreadsheetCsvReport(ReportStream& out, const ReportSource& source);
void writeDailyCsvReport(ReportStream& out, const ReportSource& source);
// The one-line HTML document, "Generated on" the given local time.
void writeHtmlReport(ReportStream& out, const ReportSource& source, const LocalTime& generatedAt);

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
