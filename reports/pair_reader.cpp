#include "reports/pair_reader.h"

#include "storage/cp1251.h"
#include "storage/duration.h"

namespace horalis {

namespace {

bool isFormulaStart(char16_t c) {
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

// One line of a daily CSV: one cell, or two separated by ';'.
struct Line {
    String first, second;
    bool firstQuoted = false;
    int cells = 0;

    bool isBlank() const { return cells == 1 && !firstQuoted && first.empty(); }
};

// Cells as the semicolon-separated writers quote them: a cell holding ';',
// '"', CR or LF in double quotes with inner quotes doubled, any other as it
// stands. Line ends are CR LF (a bare LF is taken too); inside quotes a CR LF
// is the line feed that the stream wrote as CR LF.
class LineReader {
public:
    explicit LineReader(StringView text) : text_(text) {}
    bool atEnd() const { return pos_ >= text_.size(); }

    bool read(Line& line) {
        line.cells = 1;
        if (!readCell(line.first, line.firstQuoted)) return false;
        if (pos_ < text_.size() && text_[pos_] == u';') {
            ++pos_;
            bool quoted = false;
            if (!readCell(line.second, quoted)) return false;
            line.cells = 2;
        }
        return readLineEnd();
    }

private:
    char16_t at(size_t i) const { return i < text_.size() ? text_[i] : u'\0'; }

    bool readLineEnd() {
        if (at(pos_) == u'\n') {
            ++pos_;
            return true;
        }
        if (at(pos_) == u'\r' && at(pos_ + 1) == u'\n') {
            pos_ += 2;
            return true;
        }
        return false;  // a third cell, text after a closing quote, or a cut-off last line
    }

    bool readCell(String& cell, bool& quoted) {
        cell.clear();
        quoted = at(pos_) == u'"';
        if (!quoted) {
            const size_t start = pos_;
            for (; pos_ < text_.size(); ++pos_) {
                const char16_t c = text_[pos_];
                if (c == u';' || c == u'\n') break;
                if (c == u'"') return false;
                if (c == u'\r') {
                    if (at(pos_ + 1) == u'\n') break;
                    return false;
                }
            }
            cell.assign(text_.substr(start, pos_ - start));
            return true;
        }
        ++pos_;
        for (;;) {
            const size_t run = text_.find_first_of(u"\"\r", pos_);
            if (run == StringView::npos) return false;  // never closed
            cell.append(text_.substr(pos_, run - pos_));
            pos_ = run;
            if (text_[pos_] == u'\r') {
                const bool lineFeed = at(pos_ + 1) == u'\n';
                cell.push_back(lineFeed ? u'\n' : u'\r');
                pos_ += lineFeed ? 2 : 1;
                continue;
            }
            if (at(pos_ + 1) == u'"') {
                cell.push_back(u'"');
                pos_ += 2;
                continue;
            }
            ++pos_;
            return true;
        }
    }

    StringView text_;
    size_t pos_ = 0;
};

// A time exactly as the lists show it, in either display mode.
bool readTime(StringView text, int64_t& seconds) {
    if (text.empty()) return false;
    const uint32_t value = parseDuration(text);
    const auto asShown = static_cast<int32_t>(value);
    if (formatDuration(asShown, false) != text && formatDuration(asShown, true) != text) return false;
    seconds = value;
    return true;
}

bool readBlank(LineReader& in, Line& line) { return in.read(line) && line.isBlank(); }

bool readApplicationWithTitles(LineReader& in, Line& line, PairApplicationTotal& app) {
    if (!readBlank(in, line)) return false;
    if (!in.read(line) || line.cells != 1 || line.firstQuoted || line.first != u"Windows:") return false;
    if (!readBlank(in, line)) return false;
    // Titles up to the line that starts with ';': the application's time.
    for (;;) {
        if (!in.read(line)) return false;
        if (line.cells == 2) {
            if (!line.first.empty() || line.firstQuoted || !readTime(line.second, app.seconds)) return false;
            break;
        }
        unguardCell(line.first);
        app.titles.push_back({std::move(line.first), 0});
    }
    for (int k = 0; k < 3; ++k) {
        if (!readBlank(in, line)) return false;
    }
    for (PairTitleTotal& title : app.titles) {
        if (!in.read(line) || line.cells != 1 || !readTime(line.first, title.seconds)) return false;
    }
    return readBlank(in, line);
}

PairReadResult readAll(StringView text, DailyPairTotals& out) {
    LineReader in(text);
    Line line;
    bool withTitles = false;
    for (bool first = true; !in.atEnd(); first = false) {
        if (!in.read(line)) return PairReadResult::Damaged;
        // The first line tells the layout: "path;time", or the path alone.
        if (first) withTitles = line.cells == 1;
        if (line.cells != (withTitles ? 1 : 2)) return PairReadResult::Damaged;
        PairApplicationTotal& app = out.applications.emplace_back();
        app.path = std::move(line.first);
        unguardCell(app.path);
        if (withTitles ? !readApplicationWithTitles(in, line, app) : !readTime(line.second, app.seconds))
            return PairReadResult::Damaged;
    }
    return PairReadResult::Read;
}

bool readDigits(StringView text, size_t from, size_t count, int& value) {
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
        value = value * 10 + (text[i] - u'0');
    }
    return true;
}

}  // namespace

bool needsFormulaGuard(StringView cell) {
    const size_t k = cell.find_first_not_of(u'\'');
    return k != StringView::npos && isFormulaStart(cell[k]);
}

void unguardCell(String& cell) {
    if (!cell.empty() && cell[0] == u'\'' && needsFormulaGuard(cell)) cell.erase(0, 1);
}

PairReadResult readDailyCsv(std::string_view bytes, DailyPairTotals& out) {
    out.applications.clear();
    const PairReadResult result = readAll(decodeCp1251(bytes), out);
    if (result != PairReadResult::Read) out.applications.clear();
    return result;
}

bool parseDailyReportBaseName(StringView name, LocalTime& date) {
    if (name.size() != 10 || name[4] != u'_' || name[7] != u'_') return false;
    int year = 0, day = 0, month = 0;
    if (!readDigits(name, 0, 4, year) || !readDigits(name, 5, 2, day) || !readDigits(name, 8, 2, month)) return false;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return false;
    date = LocalTime{};
    date.year = year;
    date.month = month;
    date.day = day;
    return true;
}

}  // namespace horalis
