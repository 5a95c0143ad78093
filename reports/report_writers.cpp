#include "reports/report_writers.h"

#include <cstdio>

#include "reports/pair_reader.h"
#include "storage/cp1251.h"
#include "storage/file_io.h"
#include "storage/replacing_file.h"

namespace horalis {

namespace {

constexpr StringView kLf = u"\n";

// A cell of "Export as .CSV...": its text with every double quote doubled
// (the enclosing quotes belong to the layout).
void writeCsvCellText(ReportStream& out, StringView text) {
    size_t start = 0;
    for (size_t quote = text.find(u'"'); quote != StringView::npos; quote = text.find(u'"', quote + 1)) {
        out << text.substr(start, quote + 1 - start) << StringView(u"\"");
        start = quote + 1;
    }
    out << text.substr(start);
}

// A field of the semicolon-separated layouts: a title from a web page must
// not become a formula in a spreadsheet, so such a field gets the leading
// apostrophe that spreadsheets show as text; quoted only when it would
// otherwise break the layout.
void writeSeparatedField(ReportStream& out, StringView text) {
    const bool guarded = needsFormulaGuard(text);
    const bool quoted = text.find_first_of(u";\"\r\n") != StringView::npos;
    if (quoted) out << StringView(u"\"");
    if (guarded) out << StringView(u"'");
    if (quoted) writeCsvCellText(out, text);
    else out << text;
    if (quoted) out << StringView(u"\"");
}

// A program with its titles as two tall cells, the layout of every report
// with titles: the path, "Windows:" and one title a line in the first cell;
// the time, blank lines and one title time a line in the second. The formats
// differ only in these pieces of text and in how a cell's text is written.
struct TallCellsLayout {
    StringView open;     // before the first cell
    StringView windows;  // between the path and the titles
    StringView line;     // after each title and each title's time
    StringView between;  // closes the first cell and opens the second
    StringView gap;      // between the time and the titles' times
    StringView close;    // after the second cell
};

constexpr TallCellsLayout kCsvTallCells{u"\"", u"\n\nWindows:\n\n", kLf, u"\",\"", u"\n\n\n\n", u"\"\n"};
constexpr TallCellsLayout kDailyCsvTallCells{u"", u"\n\nWindows:\n\n", kLf, u";", u"\n\n\n\n", kLf};
constexpr TallCellsLayout kHtmlTallCells{u"<tr><td width='80%'>", u"<br><br> Windows:<br><br>", u"<br>",
                                         u"</td><td>", u"<br><br><br><br>", u"</td></tr>"};

template <class WriteCell>
void writeTallCells(ReportStream& out, const TallCellsLayout& layout, WriteCell cell, StringView path,
                    StringView time, const ReportTitles& titles) {
    const auto titleLines = [&](bool times) {
        for (size_t j = 0; j < titles.size(); ++j) {
            cell(times ? titles.time(j) : titles.title(j));
            out << layout.line;
        }
    };
    out << layout.open;
    cell(path);
    out << layout.windows;
    titleLines(false);
    out << layout.between;
    cell(time);
    out << layout.gap;
    titleLines(true);
    out << layout.close;
}

// A record's titles in the order and form the title list shows them once
// sorted by time; none for no record.
class RecordTitles final : public ReportTitles {
public:
    RecordTitles(const ApplicationRecord* application, bool secondsMode)
        : application_(application), secondsMode_(secondsMode) {
        if (application_) order_ = titlesByTime(*application_);
    }
    size_t size() const override { return order_.size(); }
    StringView title(size_t j) const override { return at(j).text; }
    StringView time(size_t j) const override {
        time_ = formatSampleTime(at(j).sampleCount, secondsMode_);
        return time_;
    }

private:
    const TitleRecord& at(size_t j) const { return application_->titles[order_[j]]; }

    const ApplicationRecord* application_;
    bool secondsMode_;
    std::vector<uint32_t> order_;
    mutable String time_;
};

bool isPlainHtmlAscii(char16_t c) { return c < 0x80 && c != u'&' && c != u'<' && c != u'>' && c != u'"'; }

void appendDecimal(uint32_t value, std::string& out) {
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(value));
    out.append(digits, static_cast<size_t>(n));
}

String widen(const char* ascii) {
    String s;
    while (*ascii) s.push_back(static_cast<char16_t>(static_cast<unsigned char>(*ascii++)));
    return s;
}

}  // namespace

// ---------------------------------------------------------------- the walk

void walkReportRows(ReportLists& lists, ReportRowWriter& writer) {
    ListModel& applications = lists.applications;
    lists.sort.sortList(applications, 1);

    const bool withTitles = lists.settings.saveWindowTitles != 0;
    const bool secondsMode = lists.settings.showTimeInSeconds != 0;
    const std::vector<ApplicationRecord>& records = lists.records.applications();
    for (size_t i = 0; i < applications.rowCount(); ++i) {
        // The texts as the list shows them, which may still be in the form
        // of before an Options change; the titles are formatted anew, as a
        // click on the row would show them.
        const String& path = applications.text(i, 0);
        const String& time = applications.text(i, 1);
        if (!withTitles) {
            writer.writePlainRow(path, time);
            continue;
        }
        const uint32_t key = applications.keyOfRow(i);
        writer.writeRowWithTitles(path, time, RecordTitles(key < records.size() ? &records[key] : nullptr, secondsMode));
    }
    if (!withTitles || applications.empty()) return;
    applications.setSelected(applications.rowCount() - 1, true);
    showSelectedApplicationTitles(applications, lists.titles, lists.records, secondsMode);
    lists.sort.sortList(lists.titles, 1);
}

void walkRecordRows(const UsageRecords& records, const Settings& settings, ReportRowWriter& writer) {
    const bool withTitles = settings.saveWindowTitles != 0;
    const bool secondsMode = settings.showTimeInSeconds != 0;
    for (const uint32_t k : applicationsByTime(records)) {
        const ApplicationRecord& application = records.applications()[k];
        const String time = formatSampleTime(application.sampleCount, secondsMode);
        if (withTitles)
            writer.writeRowWithTitles(application.executablePath, time, RecordTitles(&application, secondsMode));
        else
            writer.writePlainRow(application.executablePath, time);
    }
}

// ---------------------------------------------------------------- CSV

void CsvRowWriter::writePlainRow(StringView path, StringView time) {
    out_ << StringView(u"\"");
    writeCsvCellText(out_, path);
    out_ << StringView(u"\",\"");
    writeCsvCellText(out_, time);
    out_ << StringView(u"\"\n");
}

void CsvRowWriter::writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) {
    writeTallCells(out_, kCsvTallCells, [this](StringView text) { writeCsvCellText(out_, text); }, path, time, titles);
}

void SpreadsheetCsvRowWriter::writePlainRow(StringView path, StringView time) {
    writeSeparatedField(out_, path);
    out_ << StringView(u";");
    writeSeparatedField(out_, time);
    out_ << kLf;
}

void SpreadsheetCsvRowWriter::writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) {
    writeSeparatedField(out_, path);
    out_ << StringView(u";");
    writeSeparatedField(out_, time);
    out_ << StringView(u" \n;\nWindows:;\n\n");
    for (size_t j = 0; j < titles.size(); ++j) {
        writeSeparatedField(out_, titles.title(j));
        out_ << StringView(u";");
        writeSeparatedField(out_, titles.time(j));
        out_ << kLf;
    }
    out_ << kLf;
}

void DailyCsvRowWriter::writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) {
    writeTallCells(out_, kDailyCsvTallCells, [this](StringView text) { writeSeparatedField(out_, text); }, path, time,
                   titles);
}

void writeCsvReport(ReportStream& out, const ReportSource& source) {
    CsvRowWriter writer(out);
    source.walk(writer);
}

void writeSpreadsheetCsvReport(ReportStream& out, const ReportSource& source) {
    SpreadsheetCsvRowWriter writer(out);
    source.walk(writer);
}

void writeDailyCsvReport(ReportStream& out, const ReportSource& source) {
    DailyCsvRowWriter writer(out);
    source.walk(writer);
}

// ---------------------------------------------------------------- HTML

void appendHtmlBytes(StringView text, std::string& out) {
    out.reserve(out.size() + text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        // Runs of ASCII without markup characters, the common case, are copied as they are.
        size_t run = i;
        while (run < text.size() && isPlainHtmlAscii(text[run])) ++run;
        if (run != i) {
            const size_t start = out.size();
            out.resize(start + (run - i));
            char* to = out.data() + start;
            for (size_t k = i; k < run; ++k) *to++ = static_cast<char>(text[k]);
            i = run;
            if (i == text.size()) break;
        }
        const char16_t c = text[i];
        switch (c) {
        case u'&': out += "&amp;"; continue;
        case u'<': out += "&lt;"; continue;
        case u'>': out += "&gt;"; continue;
        case u'"': out += "&quot;"; continue;
        default: break;
        }
        const int byte = cp1251FromUnicode(c);
        if (byte >= 0) {
            out.push_back(static_cast<char>(byte));
            continue;
        }
        uint32_t codePoint = c;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            codePoint = 0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            codePoint = 0xFFFD;  // a lone surrogate is no character
        }
        out += "&#";
        appendDecimal(codePoint, out);
        out.push_back(';');
    }
}

void HtmlRowWriter::writeText(StringView text) {
    scratch_.clear();
    appendHtmlBytes(text, scratch_);
    out_.writeEncoded(scratch_);
}

String formatReportMoment(const LocalTime& m) {
    char text[96];
    std::snprintf(text, sizeof text, "%d:%02d:%02d %02d:%02d:%02d", m.year, m.day, m.month, m.hour, m.minute,
                  m.second);
    return widen(text);
}

void HtmlRowWriter::writePlainRow(StringView path, StringView time) {
    out_ << StringView(u"<tr><td width='80%'>");
    writeText(path);
    out_ << StringView(u"</td><td>");
    writeText(time);
    out_ << StringView(u"</td></tr>");
}

void HtmlRowWriter::writeRowWithTitles(StringView path, StringView time, const ReportTitles& titles) {
    writeTallCells(out_, kHtmlTallCells, [this](StringView text) { writeText(text); }, path, time, titles);
}

void writeHtmlReport(ReportStream& out, const ReportSource& source, const LocalTime& generatedAt) {
    out << StringView(u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
                      u"<title>Horalis report</title></head><body bgcolor=white>");
    out << StringView(u"<p align=center> <b> Generated on ") << formatReportMoment(generatedAt)
        << StringView(u"</b></p><br>");
    out << StringView(u"<table border=1 width='100%'><tr>");
    out << StringView(u"<td bgcolor='#CCFFFF' width='80%'> Application </td>");
    out << StringView(u"<td bgcolor='#CCFFFF'> Active time </td></tr>");
    HtmlRowWriter writer(out);
    source.walk(writer);
    out << StringView(u"</table></body></html>");
}

// ---------------------------------------------------------------- export commands

String unusedNameBeside(const String& path) {
    String name = path + u".tmp";
    for (char16_t n = u'1'; pathExists(name); ++n) {
        if (n > u'9') return {};
        name = path + u"." + String(1, n) + u".tmp";
    }
    return name;
}

ExportResult exportReport(const String& path, ReportFormat format, ReportLists& lists, const LocalTime& now) {
    auto write = [&](ReportStream& out) {
        switch (format) {
        case ReportFormat::Csv: writeCsvReport(out, lists); break;
        case ReportFormat::SpreadsheetCsv: writeSpreadsheetCsvReport(out, lists); break;
        case ReportFormat::Html: writeHtmlReport(out, lists, now); break;
        }
    };
    // Written beside the target and then put in its place, so that a failure
    // leaves a file already there as it was.
    const String temporary = unusedNameBeside(path);
    if (!temporary.empty()) {
        ReplacingFile beside(path, temporary);
        if (beside.open()) {
            write(beside.stream());
            if (!beside.finish()) return ExportResult::NotWritten;
            if (beside.commit()) return ExportResult::Written;
        }
    }
    // No new file can be made in the folder, or the target cannot be
    // replaced (a folder of that name, a read-only file): in place, if at all.
    ReportStream out;
    if (!out.open(path)) return ExportResult::NotCreated;
    write(out);
    return out.close() ? ExportResult::Written : ExportResult::NotWritten;
}

}  // namespace horalis
