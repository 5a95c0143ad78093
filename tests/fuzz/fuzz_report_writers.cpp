// The report writers fed arbitrary application paths and window titles. Every
// report is read back by a reader written here (a CSV reader for the three
// CSV layouts, a small HTML parser for the document) and must hold every text
// exactly: as written in the HTML (markup escaped, other characters by
// reference), with '?' for what Windows-1251 lacks in the CSV files. The
// export to an arbitrary file name either writes exactly those bytes or
// creates nothing at all.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "reports/daily_reports.h"
#include "reports/pair_reader.h"
#include "reports/report_writers.h"
#include "storage/cp1251.h"
#include "storage/duration.h"

using namespace horalis;
using horalis::fuzz::check;
using horalis::fuzz::fail;

namespace {

class NoIcons : public IconSource {
public:
    int addApplicationIcon(StringView) override { return 0; }
    int addDefaultIcon() override { return 0; }
    void removeAll() override {}
};

// ---------------------------------------------------------------- what the reports must hold

struct ExpectedTitle {
    String text;
    String time;
    uint32_t seconds;
};
struct ExpectedApp {
    String path;
    String time;
    uint32_t seconds;
    std::vector<ExpectedTitle> titles;
};

// Longest first; equal times keep the lists' order, newest first.
template <class T>
std::vector<T> longestFirst(std::vector<T> newestFirst) {
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
                     [](const T& a, const T& b) { return a.seconds > b.seconds; });
    return newestFirst;
}

std::vector<ExpectedApp> expectedReport(const UsageRecords& records, bool secondsMode) {
    std::vector<ExpectedApp> apps;
    for (auto it = records.applications().rbegin(); it != records.applications().rend(); ++it) {
        ExpectedApp app{it->executablePath, {}, static_cast<uint32_t>(samplesToSeconds(it->sampleCount)), {}};
        app.time = formatDuration(static_cast<int32_t>(app.seconds), secondsMode);
        std::vector<ExpectedTitle> titles;
        for (auto t = it->titles.rbegin(); t != it->titles.rend(); ++t) {
            const auto seconds = static_cast<uint32_t>(samplesToSeconds(t->sampleCount));
            titles.push_back({t->text, formatDuration(static_cast<int32_t>(seconds), secondsMode), seconds});
        }
        app.titles = longestFirst(std::move(titles));
        apps.push_back(std::move(app));
    }
    return longestFirst(std::move(apps));
}

// The text as a CSV file holds it: one '?' per character the code page lacks.
String asInCsv(StringView text) {
    std::string bytes;
    encodeCp1251(text, bytes);
    return decodeCp1251(bytes);
}

// The text as a semicolon-separated file holds it: a cell a spreadsheet would
// take for a formula starts with an apostrophe.
String asInSeparated(StringView text) {
    String cell = asInCsv(text);
    return needsFormulaGuard(cell) ? u"'" + cell : cell;
}

// The text as the HTML document holds it: everything, a lone surrogate as U+FFFD.
String asInHtml(StringView text) {
    String out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(c);
            out.push_back(text[++i]);
        } else {
            out.push_back(high || low ? u'\uFFFD' : c);
        }
    }
    return out;
}

void expectText(const String& got, const String& want, const char* what) {
    if (got == want) return;
    std::fprintf(stderr, "%s: read \"%s\", wrote \"%s\"\n", what, fuzz::printable(got).c_str(),
                 fuzz::printable(want).c_str());
    fail(what);
}

// ---------------------------------------------------------------- reading files back

// Text-mode reading: CR LF is one line feed, then Windows-1251 to UTF-16.
String readText(const std::string& bytes) {
    std::string lf;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        lf.push_back(bytes[i]);
    }
    return decodeCp1251(lf);
}

using Record = std::vector<String>;

// Records end at a line feed; a field in double quotes may hold anything, a
// doubled quote standing for one; a field without quotes holds no quote.
std::vector<Record> readCsv(const String& text, char16_t separator) {
    std::vector<Record> records;
    size_t i = 0;
    while (i < text.size()) {
        Record record;
        for (;;) {
            String field;
            if (i < text.size() && text[i] == u'"') {
                for (++i;; ++i) {
                    if (i >= text.size()) fail("CSV: a quoted field is not closed");
                    if (text[i] == u'"') {
                        if (i + 1 < text.size() && text[i + 1] == u'"') {
                            field.push_back(u'"');
                            ++i;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    field.push_back(text[i]);
                }
                if (i < text.size() && text[i] != separator && text[i] != u'\n') fail("CSV: text after a closing quote");
            } else {
                while (i < text.size() && text[i] != separator && text[i] != u'\n') {
                    if (text[i] == u'"') fail("CSV: a quote inside a field without quotes");
                    field.push_back(text[i++]);
                }
            }
            record.push_back(std::move(field));
            if (i < text.size() && text[i] == separator) {
                ++i;
                continue;
            }
            break;
        }
        check(i >= text.size() || text[i] == u'\n', "CSV: a record ends at a line feed");
        if (i >= text.size()) fail("CSV: the last record has no line feed");
        ++i;
        records.push_back(std::move(record));
    }
    return records;
}

// Reads the records of a CSV file one by one and checks them against what they must be.
class RecordCursor {
public:
    explicit RecordCursor(std::vector<Record> records) : records_(std::move(records)) {}
    void expect(std::initializer_list<String> fields, const char* what) {
        if (next_ >= records_.size()) fail(what);
        const Record& record = records_[next_++];
        if (record.size() != fields.size()) {
            std::fprintf(stderr, "%s: %zu fields, expected %zu\n", what, record.size(), fields.size());
            fail(what);
        }
        size_t k = 0;
        for (const String& field : fields) expectText(record[k++], field, what);
    }
    void expectEnd(const char* what) { check(next_ == records_.size(), what); }

private:
    std::vector<Record> records_;
    size_t next_ = 0;
};

String lines(std::initializer_list<StringView> first, const std::vector<String>& rest) {
    String out;
    for (StringView s : first) {
        out += s;
        out += u'\n';
    }
    for (const String& s : rest) {
        out += s;
        out += u'\n';
    }
    return out;
}

void checkCsv(const std::string& bytes, const std::vector<ExpectedApp>& apps, bool withTitles) {
    RecordCursor in(readCsv(readText(bytes), u','));
    for (const ExpectedApp& app : apps) {
        if (!withTitles) {
            in.expect({asInCsv(app.path), app.time}, "CSV: path and time");
            continue;
        }
        // The cells hold line feeds of their own; titles may too, so the
        // cells are compared whole.
        std::vector<String> titles, times;
        for (const auto& t : app.titles) {
            titles.push_back(asInCsv(t.text));
            times.push_back(t.time);
        }
        in.expect({lines({asInCsv(app.path), u"", u"Windows:", u""}, titles),
                   lines({app.time, u"", u"", u""}, times)},
                  "CSV: the application's two cells");
    }
    in.expectEnd("CSV: nothing after the last application");
}

void checkSpreadsheetCsv(const std::string& bytes, const std::vector<ExpectedApp>& apps, bool withTitles) {
    RecordCursor in(readCsv(readText(bytes), u';'));
    for (const ExpectedApp& app : apps) {
        if (!withTitles) {
            in.expect({asInSeparated(app.path), app.time}, "spreadsheet CSV: path and time");
            continue;
        }
        in.expect({asInSeparated(app.path), app.time + u" "}, "spreadsheet CSV: path and time");
        in.expect({u"", u""}, "spreadsheet CSV: the line after the path");
        in.expect({u"Windows:", u""}, "spreadsheet CSV: Windows:");
        in.expect({u""}, "spreadsheet CSV: blank line before the titles");
        for (const auto& t : app.titles) in.expect({asInSeparated(t.text), t.time}, "spreadsheet CSV: title and time");
        in.expect({u""}, "spreadsheet CSV: blank line after the titles");
    }
    in.expectEnd("spreadsheet CSV: nothing after the last application");
}

void checkDailyCsv(const std::string& bytes, const std::vector<ExpectedApp>& apps, bool withTitles) {
    RecordCursor in(readCsv(readText(bytes), u';'));
    for (const ExpectedApp& app : apps) {
        if (!withTitles) {
            in.expect({asInSeparated(app.path), app.time}, "daily CSV: path and time");
            continue;
        }
        in.expect({asInSeparated(app.path)}, "daily CSV: path");
        in.expect({u""}, "daily CSV: blank line");
        in.expect({u"Windows:"}, "daily CSV: Windows:");
        in.expect({u""}, "daily CSV: blank line");
        for (const auto& t : app.titles) in.expect({asInSeparated(t.text)}, "daily CSV: title");
        in.expect({u"", app.time}, "daily CSV: ';' and the time");
        for (int k = 0; k < 3; ++k) in.expect({u""}, "daily CSV: blank lines");
        for (const auto& t : app.titles) in.expect({t.time}, "daily CSV: title time");
        in.expect({u""}, "daily CSV: closing blank line");
    }
    in.expectEnd("daily CSV: nothing after the last application");

    // Read back for adding: every text and time as written.
    DailyPairTotals read;
    check(readDailyCsv(bytes, read) == PairReadResult::Read, "daily CSV: reads back");
    check(read.applications.size() == apps.size(), "daily CSV read back: every application");
    for (size_t i = 0; i < apps.size(); ++i) {
        const PairApplicationTotal& got = read.applications[i];
        expectText(got.path, asInCsv(apps[i].path), "daily CSV read back: path");
        check(got.seconds == apps[i].seconds, "daily CSV read back: time");
        check(got.titles.size() == (withTitles ? apps[i].titles.size() : 0), "daily CSV read back: titles");
        for (size_t j = 0; j < got.titles.size(); ++j) {
            expectText(got.titles[j].title, asInCsv(apps[i].titles[j].text), "daily CSV read back: title");
            check(got.titles[j].seconds == apps[i].titles[j].seconds, "daily CSV read back: title time");
        }
    }
}

// ---------------------------------------------------------------- HTML

struct HtmlToken {
    bool tag;
    String text;  // tag: the name in lower case with a leading '/' for an end tag
};

// Tags and text; the five references the writer uses are decoded, any other '&' is an error.
std::vector<HtmlToken> readHtml(const String& doc) {
    std::vector<HtmlToken> tokens;
    size_t i = 0;
    while (i < doc.size()) {
        if (doc[i] == u'<') {
            const size_t end = doc.find(u'>', i);
            if (end == String::npos) fail("HTML: a tag is not closed");
            String name;
            for (size_t k = i + 1; k < end && doc[k] != u' '; ++k)
                name.push_back(doc[k] >= u'A' && doc[k] <= u'Z' ? static_cast<char16_t>(doc[k] + 32) : doc[k]);
            tokens.push_back({true, name});
            i = end + 1;
            continue;
        }
        String text;
        while (i < doc.size() && doc[i] != u'<') {
            if (doc[i] == u'>') fail("HTML: a bare '>' in text");
            if (doc[i] != u'&') {
                text.push_back(doc[i++]);
                continue;
            }
            const size_t semi = doc.find(u';', i);
            if (semi == String::npos) fail("HTML: an '&' without ';'");
            const String ref = doc.substr(i + 1, semi - i - 1);
            if (ref == u"amp") text.push_back(u'&');
            else if (ref == u"lt") text.push_back(u'<');
            else if (ref == u"gt") text.push_back(u'>');
            else if (ref == u"quot") text.push_back(u'"');
            else if (ref.size() >= 2 && ref.size() <= 8 && ref[0] == u'#') {
                uint32_t cp = 0;
                for (size_t k = 1; k < ref.size(); ++k) {
                    if (ref[k] < u'0' || ref[k] > u'9') fail("HTML: a bad character reference");
                    cp = cp * 10 + (ref[k] - u'0');
                }
                if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) fail("HTML: a reference to no character");
                if (cp >= 0x10000) {
                    text.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
                    text.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
                } else {
                    text.push_back(static_cast<char16_t>(cp));
                }
            } else {
                fail("HTML: an unknown reference");
            }
            i = semi + 1;
        }
        tokens.push_back({false, text});
    }
    return tokens;
}

using Cell = std::vector<String>;  // its lines, split at <br>
using Row = std::vector<Cell>;

std::vector<Row> htmlTableRows(const std::vector<HtmlToken>& tokens, String& generatedOn) {
    std::vector<Row> rows;
    bool inTable = false, inCell = false, inBold = false;
    for (const HtmlToken& t : tokens) {
        if (!t.tag) {
            if (inCell) rows.back().back().back() += t.text;
            else if (inBold) generatedOn += t.text;
            else if (inTable) fail("HTML: text in the table outside a cell");
            continue;
        }
        if (t.text == u"b") inBold = true;
        else if (t.text == u"/b") inBold = false;
        else if (t.text == u"table") inTable = true;
        else if (t.text == u"/table") inTable = false;
        else if (t.text == u"tr") {
            check(inTable && !inCell, "HTML: a row inside the table");
            rows.emplace_back();
        } else if (t.text == u"td") {
            check(inTable && !rows.empty() && !inCell, "HTML: a cell inside a row");
            rows.back().push_back(Cell{String()});
            inCell = true;
        } else if (t.text == u"/td") {
            inCell = false;
        } else if (t.text == u"br" && inCell) {
            rows.back().back().emplace_back();
        }
    }
    check(!inTable && !inCell, "HTML: the table is closed");
    return rows;
}

void expectCell(const Cell& got, const std::vector<String>& want, const char* what) {
    if (got.size() != want.size()) {
        std::fprintf(stderr, "%s: %zu lines, expected %zu\n", what, got.size(), want.size());
        fail(what);
    }
    for (size_t k = 0; k < want.size(); ++k) expectText(got[k], want[k], what);
}

void checkHtml(const std::string& bytes, const std::vector<ExpectedApp>& apps, bool withTitles, const LocalTime& m) {
    String generatedOn;
    const auto tokens = readHtml(readText(bytes));
    const auto rows = htmlTableRows(tokens, generatedOn);
    int year, day, month, hour, minute, second;
    const std::string on(generatedOn.begin(), generatedOn.end());
    check(std::sscanf(on.c_str(), " Generated on %d:%d:%d %d:%d:%d", &year, &day, &month, &hour, &minute, &second) == 6,
          "HTML: the moment of generation");
    check(year == m.year && day == m.day && month == m.month && hour == m.hour && minute == m.minute && second == m.second,
          "HTML: year, day, month, time");

    check(rows.size() == apps.size() + 1, "HTML: a header row and one row per application");
    check(rows[0].size() == 2, "HTML: two header cells");
    expectCell(rows[0][0], {u" Application "}, "HTML: header");
    expectCell(rows[0][1], {u" Active time "}, "HTML: header");
    for (size_t r = 0; r < apps.size(); ++r) {
        const ExpectedApp& app = apps[r];
        const Row& row = rows[r + 1];
        check(row.size() == 2, "HTML: two cells per application");
        if (!withTitles) {
            expectCell(row[0], {asInHtml(app.path)}, "HTML: path");
            expectCell(row[1], {app.time}, "HTML: time");
            continue;
        }
        std::vector<String> left{asInHtml(app.path), u"", u" Windows:", u""};
        std::vector<String> right{app.time, u"", u"", u""};
        for (const auto& t : app.titles) {
            left.push_back(asInHtml(t.text));
            right.push_back(t.time);
        }
        left.emplace_back();
        right.emplace_back();
        expectCell(row[0], left, "HTML: path and titles");
        expectCell(row[1], right, "HTML: times");
    }
}

// ---------------------------------------------------------------- export to a file

const std::filesystem::path& scratchFolder() {
    static const fuzz::ScratchFolder folder("horalis-fuzz-reports");
    return folder.path();
}

// An arbitrary file name inside the scratch folder: separators would leave it.
String fileNameFrom(StringView text) {
    String name;
    for (char16_t c : text) name.push_back(c == u'/' || c == u'\\' ? u'_' : c);
    return name;
}

void checkExport(StringView name, ReportFormat format, ReportLists& lists, const LocalTime& moment,
                 const std::string& expected) {
    const std::string folder = scratchFolder().string();
    const String path = String(folder.begin(), folder.end()) + u"\\" + fileNameFrom(name);
    const ExportResult result = exportReport(path, format, lists, moment);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(scratchFolder())) files.push_back(entry.path());
    if (result == ExportResult::NotCreated) {
        check(files.empty(), "export: a name that cannot be created creates no other file");
        return;
    }
    check(result == ExportResult::Written, "export: written completely");
    check(files.size() == 1, "export: exactly one file");
    std::ifstream in(files[0], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    check(bytes == expected, "export: the file holds the report");
    std::filesystem::remove(files[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const uint8_t flags = in.byte();
    Settings settings;
    settings.saveWindowTitles = flags & 1;
    settings.showTimeInSeconds = (flags >> 1) & 1;
    const bool withTitles = settings.saveWindowTitles != 0;
    const bool secondsMode = settings.showTimeInSeconds != 0;
    const LocalTime moment{1970 + in.byte(), 1 + in.byte() % 12, 1 + in.byte() % 31,
                           in.byte() % 24, in.byte() % 60, in.byte() % 60};
    const String exportName = in.text(24);

    std::vector<String> paths(1 + in.byte() % 5);
    for (String& p : paths) p = in.text(40);
    if (flags & 4) paths[0] = String(kIdleTimeKey);
    std::vector<String> titles(1 + in.byte() % 5);
    for (String& t : titles) t = in.text(40);

    UsageRecords records;
    while (!in.empty()) {
        const String& path = paths[in.byte() % paths.size()];
        const String& title = titles[in.byte() % titles.size()];
        const int samples = 1 + in.byte() % 16;
        for (int k = 0; k < samples; ++k) records.addSample(path, title);
    }

    ListModel apps, titleList;
    NoIcons icons;
    ListSort sort;
    refreshApplicationList(apps, records, secondsMode, icons);
    ReportLists lists{apps, titleList, sort, records, settings};
    const std::vector<ExpectedApp> expected = expectedReport(records, secondsMode);

    std::string csv, spreadsheet, daily, html;
    {
        ReportStream out;
        out.openInMemory();
        writeCsvReport(out, lists);
        csv = out.bytes();
        out.openInMemory();
        writeSpreadsheetCsvReport(out, lists);
        spreadsheet = out.bytes();
        out.openInMemory();
        writeDailyCsvReport(out, lists);
        daily = out.bytes();
        out.openInMemory();
        writeHtmlReport(out, lists, moment);
        html = out.bytes();
    }
    checkCsv(csv, expected, withTitles);
    checkSpreadsheetCsv(spreadsheet, expected, withTitles);
    checkDailyCsv(daily, expected, withTitles);
    if (!withTitles) check(daily == spreadsheet, "without titles the daily CSV is the spreadsheet CSV");
    checkHtml(html, expected, withTitles, moment);

    switch ((flags >> 3) % 3) {
    case 0: checkExport(exportName, ReportFormat::Csv, lists, moment, csv); break;
    case 1: checkExport(exportName, ReportFormat::SpreadsheetCsv, lists, moment, spreadsheet); break;
    default: checkExport(exportName, ReportFormat::Html, lists, moment, html); break;
    }
    return 0;
}
