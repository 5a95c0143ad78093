#include "reports/history.h"

#include <algorithm>
#include <cstdio>

#include "reports/history_categories.h"
#include "reports/report_writers.h"
#include "storage/duration.h"
#include "storage/file_io.h"
#include "storage/report_stream.h"

namespace horalis {

namespace {

constexpr StringView kIdleTime = u"Idle time";
// A daily CSV of this size is far beyond any real day; reading it would only stall the tick.
constexpr size_t kLargestPair = 64u << 20;

const char* const kColours[kHistoryColours] = {"#3b6fb6", "#e07b39", "#3f9e5a", "#c94c4c", "#8a63b8",
                                               "#2b9fa6", "#c9a227", "#d16ba5", "#7a8a3a", "#8c6d4f"};
const char* const kWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool inPeriod(int period, int64_t day, int64_t newestDay) {
    return kHistoryPeriodDays[period] == 0 || day > newestDay - kHistoryPeriodDays[period];
}

// Longest first; equal times by text, so the page does not depend on the order the files were read in.
template <typename T>
bool longerFirst(const T& a, int64_t as, const T& b, int64_t bs) {
    return as != bs ? as > bs : a < b;
}

// ------------------------------------------------------------ page text

void appendText(std::string& out, StringView text) { appendHtmlBytes(text, out); }

void appendNumber(std::string& out, int64_t value) {
    char digits[32];
    const int n = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    out.append(digits, static_cast<size_t>(n));
}

void appendDuration(std::string& out, int64_t seconds) {
    const int64_t clamped = std::clamp<int64_t>(seconds, 0, INT32_MAX);
    appendText(out, formatDuration(static_cast<int32_t>(clamped), false));
}

// "Mon 7 Dec 2026"
void appendDay(std::string& out, int64_t day) {
    const LocalTime date = dateOfDayNumber(day);
    const int64_t weekday = ((day % 7) + 11) % 7;  // 1 January 1970 was a Thursday
    char text[48];
    const int n = std::snprintf(text, sizeof text, "%s %d %s %d", kWeekdays[weekday], date.day,
                                kMonths[(date.month + 11) % 12], date.year);
    out.append(text, static_cast<size_t>(n));
}

// Width of part in whole, in percent with one decimal, for a CSS width.
void appendPercent(std::string& out, int64_t part, int64_t whole) {
    char text[32];
    const double share = whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
    const int n = std::snprintf(text, sizeof text, "%.1f%%", share);
    out.append(text, static_cast<size_t>(n));
}

// The share as it is read: whole percent, "<1%" rather than a misleading 0.
void appendShare(std::string& out, int64_t part, int64_t whole) {
    if (whole <= 0 || part <= 0) {
        out += "0%";
        return;
    }
    const int64_t percent = (part * 100 + whole / 2) / whole;
    if (percent == 0) {
        out += "&lt;1%";
        return;
    }
    appendNumber(out, percent);
    out += '%';
}

StringView fileNameOf(StringView path) {
    const size_t slash = path.find_last_of(u"\\/");
    return slash == StringView::npos ? path : path.substr(slash + 1);
}

StringView folderOf(StringView path) {
    const size_t slash = path.find_last_of(u"\\/");
    return slash == StringView::npos ? StringView() : path.substr(0, slash + 1);
}

// A part of a bar, as wide as its share of whole; tooltip: HTML text already escaped.
void appendBarPart(std::string& out, int colour, int64_t seconds, int64_t whole, const std::string& tooltip) {
    if (colour == kNoColour) {
        out += "<span class=others style=\"width:";
    } else {
        out += "<span style=\"background:";
        out += kColours[colour];
        out += ";width:";
    }
    appendPercent(out, seconds, whole);
    out += '"';
    if (!tooltip.empty()) {
        out += " title=\"";
        out += tooltip;
        out += '"';
    }
    out += "></span>";
}

void appendSwatch(std::string& out, int colour) {
    out += "<span class=\"sw";
    if (colour == kNoColour) out += " others";
    out += '"';
    if (colour != kNoColour) {
        out += " style=\"background:";
        out += kColours[colour];
        out += '"';
    }
    out += "></span>";
}

const char* const kStyle =
    "<style>\n"
    "*{-webkit-print-color-adjust:exact;print-color-adjust:exact;box-sizing:border-box}\n"
    "body{font:14px/1.45 \"Segoe UI\",Tahoma,Arial,sans-serif;color:#222;background:#fff;max-width:1000px;"
    "margin:24px auto;padding:0 20px}\n"
    "h1{font-size:22px;margin:0 0 2px}\n"
    "h2{font-size:17px;margin:30px 0 2px;padding-bottom:3px;border-bottom:2px solid #d8dce2}\n"
    "p{margin:4px 0}.meta{color:#555}.note{color:#555;font-size:13px}\n"
    "table{border-collapse:collapse;width:100%;margin-top:8px}\n"
    "th{text-align:left;font-weight:600;color:#555;font-size:12px;border-bottom:1px solid #bbb;padding:4px 8px}\n"
    "td{padding:5px 8px;border-bottom:1px solid #eceef1;vertical-align:top}\n"
    ".n{text-align:right;white-space:nowrap;font-variant-numeric:tabular-nums}\n"
    ".day{white-space:nowrap;width:9em}.none td{color:#999}\n"
    ".bar{display:flex;height:14px;background:#f1f3f5;border-radius:2px;overflow:hidden;margin-top:3px}\n"
    ".bar span{display:block;height:100%}.bar .gap{background:#fff;width:3px;flex:none}\n"
    ".others{background:#a9afb8}.away{background:repeating-linear-gradient(45deg,#c3c9d1 0 3px,#eceef2 3px 6px)}\n"
    ".parts{color:#555;font-size:12px;margin-top:2px}\n"
    ".sw{display:inline-block;width:11px;height:11px;border-radius:2px;margin-right:6px}\n"
    ".legend{font-size:12px;color:#444;margin-top:6px}.legend span.k{margin-right:14px;white-space:nowrap}\n"
    ".app{width:55%}.dir{color:#777;font-size:12px;word-break:break-all}\n"
    ".barcell{width:22%}\n"
    "summary{cursor:pointer}summary::marker{color:#999}\n"
    "ol{margin:4px 0 2px;padding-left:24px;font-size:12.5px;color:#333}\n"
    "li{padding:1px 0;border-bottom:1px dotted #e3e6ea;overflow-wrap:anywhere}li .n{float:right;margin-left:12px}\n"
    ".skipped li{border:0}\n"
    "@media print{body{margin:0;max-width:none;font-size:11px}h2{break-after:avoid}tr,li{break-inside:avoid}"
    "summary::marker{content:''}}\n"
    "</style>\n";

void appendLegend(std::string& out, const HistorySummary& summary) {
    out += "<p class=legend>";
    for (size_t c = 0; c < summary.colourPaths.size(); ++c) {
        out += "<span class=k>";
        appendSwatch(out, static_cast<int>(c));
        appendText(out, fileNameOf(summary.colourPaths[c]));
        out += "</span>";
    }
    out += "<span class=k><span class=\"sw others\"></span>others</span>";
    out += "<span class=k><span class=\"sw away\"></span>away (Idle time)</span></p>\n";
}

void appendSegmentName(std::string& out, const HistorySummary& summary, int colour) {
    if (colour == kNoColour)
        out += "others";
    else
        appendText(out, fileNameOf(summary.colourPaths[static_cast<size_t>(colour)]));
}

void appendDayRows(std::string& out, const HistorySummary& summary) {
    int64_t widest = 0;
    for (const HistoryDayRow& row : summary.lastDays) widest = std::max(widest, row.active + row.away);

    out += "<h2>The last 7 days</h2>\n";
    appendLegend(out, summary);
    out += "<table class=days><tr><th>Day</th><th class=n>Active</th><th class=n>Away</th>"
           "<th>Where the active time went</th></tr>\n";
    for (const HistoryDayRow& row : summary.lastDays) {
        if (!row.hasReport) {
            out += "<tr class=none><td class=day>";
            appendDay(out, row.day);
            out += "</td><td class=n>&ndash;</td><td class=n>&ndash;</td><td>no report for this day</td></tr>\n";
            continue;
        }
        out += "<tr><td class=day>";
        appendDay(out, row.day);
        out += "</td><td class=n>";
        appendDuration(out, row.active);
        out += "</td><td class=n>";
        appendDuration(out, row.away);
        out += "</td><td><div class=bar>";
        for (const HistorySegment& segment : row.segments) {
            std::string tooltip;
            appendSegmentName(tooltip, summary, segment.colour);
            tooltip += ' ';
            appendDuration(tooltip, segment.seconds);
            appendBarPart(out, segment.colour, segment.seconds, widest, tooltip);
        }
        if (row.away > 0) {
            out += "<span class=gap></span><span class=away title=\"away ";
            appendDuration(out, row.away);
            out += "\" style=\"width:";
            appendPercent(out, row.away, widest);
            out += "\"></span>";
        }
        out += "</div><div class=parts>";
        // The bar's numbers as text: the three largest parts.
        std::vector<HistorySegment> largest = row.segments;
        std::stable_sort(largest.begin(), largest.end(),
                         [](const HistorySegment& a, const HistorySegment& b) { return a.seconds > b.seconds; });
        if (largest.size() > 3) largest.resize(3);
        for (size_t i = 0; i < largest.size(); ++i) {
            if (i > 0) out += " &middot; ";
            appendSegmentName(out, summary, largest[i].colour);
            out += ' ';
            appendDuration(out, largest[i].seconds);
        }
        out += "</div></td></tr>\n";
    }
    out += "</table>\n";
}

void appendApplicationName(std::string& out, StringView path) {
    out += "<b>";
    appendText(out, fileNameOf(path));
    out += "</b>";
    const StringView folder = folderOf(path);
    if (!folder.empty()) {
        out += " <span class=dir>";
        appendText(out, folder);
        out += "</span>";
    }
}

void appendTitles(std::string& out, const HistoryApplication& application) {
    out += "<ol>";
    for (const HistoryTitle& title : application.titles) {
        out += "<li><span class=n>";
        appendDuration(out, title.seconds);
        out += "</span>";
        if (title.title.empty())
            out += "<i>(no title)</i>";
        else
            appendText(out, title.title);
        out += "</li>";
    }
    if (application.moreTitles > 0) {
        out += "<li><span class=n>";
        appendDuration(out, application.moreTitlesSeconds);
        out += "</span><i>";
        appendNumber(out, static_cast<int64_t>(application.moreTitles));
        out += application.moreTitles == 1 ? " more title" : " more titles";
        out += "</i></li>";
    }
    out += "</ol>";
}

const char* const kPeriodHeadings[kHistoryPeriods] = {"Applications, the last 7 days", "Applications, the last 30 days",
                                                      "Applications, all days"};

void appendPeriod(std::string& out, int kind, const HistoryPeriod& period) {
    out += "<h2>";
    out += kPeriodHeadings[kind];
    out += "</h2>\n<p class=meta>";
    appendDay(out, period.firstDay);
    out += " &ndash; ";
    appendDay(out, period.lastDay);
    out += ": active ";
    appendDuration(out, period.active);
    out += ", away ";
    appendDuration(out, period.away);
    out += ", ";
    appendNumber(out, period.daysWithReports);
    out += period.daysWithReports == 1 ? " day with a report</p>\n" : " days with reports</p>\n";

    const int64_t longest = period.applications.empty() ? 0 : period.applications.front().seconds;
    out += "<table class=apps><tr><th class=app>Application</th><th class=n>Time</th><th class=n>Share</th>"
           "<th class=barcell></th></tr>\n";
    for (const HistoryApplication& application : period.applications) {
        out += "<tr><td class=app>";
        if (application.titles.empty()) {
            appendSwatch(out, application.colour);
            appendApplicationName(out, application.path);
        } else {
            // The longest of the last week shows its titles from the start, as an example of the rest.
            out += kind == kLastWeek && &application == &period.applications.front() ? "<details open><summary>"
                                                                                      : "<details><summary>";
            appendSwatch(out, application.colour);
            appendApplicationName(out, application.path);
            out += "</summary>";
            appendTitles(out, application);
            out += "</details>";
        }
        out += "</td><td class=n>";
        appendDuration(out, application.seconds);
        out += "</td><td class=n>";
        appendShare(out, application.seconds, period.active);
        out += "</td><td class=barcell><div class=bar>";
        appendBarPart(out, application.colour, application.seconds, longest, {});
        out += "</div></td></tr>\n";
    }
    if (period.moreApplications > 0) {
        out += "<tr><td class=app><span class=\"sw others\"></span><i>";
        appendNumber(out, static_cast<int64_t>(period.moreApplications));
        out += period.moreApplications == 1 ? " more application" : " more applications";
        out += "</i></td><td class=n>";
        appendDuration(out, period.moreApplicationsSeconds);
        out += "</td><td class=n>";
        appendShare(out, period.moreApplicationsSeconds, period.active);
        out += "</td><td></td></tr>\n";
    }
    out += "</table>\n";
}

const char* skipReason(HistorySkip why) {
    switch (why) {
    case HistorySkip::NotADate: return "its name is no date";
    case HistorySkip::NotOpened: return "it cannot be opened";
    case HistorySkip::TooLarge: return "it is too large for a daily report";
    case HistorySkip::Damaged: return "it is not a daily report as Horalis writes them";
    }
    return "";
}

void appendSkipped(std::string& out, const std::vector<HistorySkippedFile>& skipped) {
    if (skipped.empty()) return;
    out += "<h2>Files left out</h2>\n<p class=note>These files in the data folder are named like daily reports "
           "but could not be read, so their days are missing above:</p>\n<ul class=skipped>";
    for (const HistorySkippedFile& file : skipped) {
        out += "<li>";
        appendText(out, file.name);
        out += " &ndash; ";
        out += skipReason(file.why);
        out += "</li>";
    }
    out += "</ul>\n";
}

// ------------------------------------------------------------ the folder

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// "2026_07_12.csv", any case of the extension: the shape of a daily CSV's name.
bool looksLikeDailyCsv(StringView name) {
    static constexpr StringView kShape = u"9999_99_99.csv";
    if (name.size() != kShape.size()) return false;
    for (size_t i = 0; i < 10; ++i) {
        if (kShape[i] == u'9' ? !isDigit(name[i]) : name[i] != kShape[i]) return false;
    }
    for (size_t i = 10; i < name.size(); ++i) {
        const char16_t c = name[i] >= u'A' && name[i] <= u'Z' ? static_cast<char16_t>(name[i] + 32) : name[i];
        if (c != kShape[i]) return false;
    }
    return true;
}

}  // namespace

// ------------------------------------------------------------ calendar

int64_t dayNumberOf(const LocalTime& date) {
    const int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

LocalTime dateOfDayNumber(int64_t day) {
    const int64_t z = day + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    LocalTime date;
    date.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    date.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

// ------------------------------------------------------------ adding up

HistoryBuilder::HistoryBuilder(int64_t newestDay) : newestDay_(newestDay), oldestDay_(newestDay) {}

void HistoryBuilder::addDay(int64_t day, const DailyPairTotals& totals) {
    if (day > newestDay_) return;  // the caller names the newest day; a later one would break the periods
    ++days_;
    oldestDay_ = std::min(oldestDay_, day);
    bool periods[kHistoryPeriods];
    for (int p = 0; p < kHistoryPeriods; ++p) {
        periods[p] = inPeriod(p, day, newestDay_);
        daysInPeriod_[p] += periods[p];
    }
    DaySums* sums = nullptr;
    if (periods[kLastWeek]) {
        lastDays_.push_back(DaySums{day, 0, 0, {}});
        sums = &lastDays_.back();
    }

    for (const PairApplicationTotal& application : totals.applications) {
        if (application.seconds <= 0 && application.titles.empty()) continue;
        if (application.path == kIdleTime) {
            for (int p = 0; p < kHistoryPeriods; ++p)
                if (periods[p]) away_[p] += application.seconds;
            if (sums) sums->away += application.seconds;
            continue;
        }
        auto [found, added] = applicationIndex_.try_emplace(application.path, static_cast<uint32_t>(applications_.size()));
        if (added) applications_.push_back(ApplicationSums{application.path, {}, {}});
        ApplicationSums& into = applications_[found->second];
        for (int p = 0; p < kHistoryPeriods; ++p)
            if (periods[p]) into.seconds[p] += application.seconds;
        if (sums) {
            sums->active += application.seconds;
            sums->applications.emplace_back(found->second, application.seconds);
        }
        for (const PairTitleTotal& title : application.titles) {
            Seconds& titleSeconds = into.titles[title.title];
            for (int p = 0; p < kHistoryPeriods; ++p)
                if (periods[p]) titleSeconds.in[p] += title.seconds;
        }
    }
}

void HistoryBuilder::addSkipped(String fileName, HistorySkip why) {
    skipped_.push_back(HistorySkippedFile{std::move(fileName), why});
}

HistoryPeriod HistoryBuilder::summarizePeriod(int period, const std::vector<int>& colours) const {
    HistoryPeriod out;
    out.lastDay = newestDay_;
    out.firstDay = kHistoryPeriodDays[period] == 0 ? oldestDay_ : newestDay_ - kHistoryPeriodDays[period] + 1;
    out.daysWithReports = daysInPeriod_[period];
    out.away = away_[period];

    std::vector<uint32_t> order;
    for (uint32_t i = 0; i < applications_.size(); ++i) {
        if (applications_[i].seconds[period] <= 0) continue;
        out.active += applications_[i].seconds[period];
        order.push_back(i);
    }
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return longerFirst(applications_[a].path, applications_[a].seconds[period], applications_[b].path,
                           applications_[b].seconds[period]);
    });
    for (size_t rank = 0; rank < order.size(); ++rank) {
        const ApplicationSums& sums = applications_[order[rank]];
        if (rank >= kHistoryApplicationsShown) {
            ++out.moreApplications;
            out.moreApplicationsSeconds += sums.seconds[period];
            continue;
        }
        HistoryApplication application;
        application.path = sums.path;
        application.seconds = sums.seconds[period];
        application.colour = colours[order[rank]];

        using Title = std::pair<const String, Seconds>;
        std::vector<const Title*> titles;
        for (const Title& title : sums.titles)
            if (title.second.in[period] > 0) titles.push_back(&title);
        const size_t shown = std::min(titles.size(), kHistoryTitlesShown);
        std::partial_sort(titles.begin(), titles.begin() + static_cast<ptrdiff_t>(shown), titles.end(),
                          [&](const Title* a, const Title* b) {
                              return longerFirst(a->first, a->second.in[period], b->first, b->second.in[period]);
                          });
        for (size_t i = 0; i < titles.size(); ++i) {
            if (i < shown) {
                application.titles.push_back(HistoryTitle{titles[i]->first, titles[i]->second.in[period]});
            } else {
                ++application.moreTitles;
                application.moreTitlesSeconds += titles[i]->second.in[period];
            }
        }
        out.applications.push_back(std::move(application));
    }
    return out;
}

HistorySummary HistoryBuilder::summarize() const {
    HistorySummary summary;
    summary.days = days_;
    summary.firstDay = oldestDay_;
    summary.lastDay = newestDay_;
    summary.skipped = skipped_;
    if (days_ == 0) return summary;

    // Colours go to the applications of the last week first, so the day rows
    // show as few "others" as possible; then to the longest of all days.
    std::vector<uint32_t> byWeek(applications_.size());
    for (uint32_t i = 0; i < byWeek.size(); ++i) byWeek[i] = i;
    std::sort(byWeek.begin(), byWeek.end(), [&](uint32_t a, uint32_t b) {
        const ApplicationSums& x = applications_[a];
        const ApplicationSums& y = applications_[b];
        if (x.seconds[kLastWeek] != y.seconds[kLastWeek]) return x.seconds[kLastWeek] > y.seconds[kLastWeek];
        return longerFirst(x.path, x.seconds[kAllDays], y.path, y.seconds[kAllDays]);
    });
    std::vector<int> colours(applications_.size(), kNoColour);
    for (size_t rank = 0; rank < byWeek.size() && rank < static_cast<size_t>(kHistoryColours); ++rank) {
        if (applications_[byWeek[rank]].seconds[kAllDays] <= 0) break;
        colours[byWeek[rank]] = static_cast<int>(rank);
        summary.colourPaths.push_back(applications_[byWeek[rank]].path);
    }

    for (int p = 0; p < kHistoryPeriods; ++p) summary.periods[p] = summarizePeriod(p, colours);
    summary.periodShown[kLastWeek] = true;
    summary.periodShown[kLastMonth] = oldestDay_ <= newestDay_ - kHistoryPeriodDays[kLastWeek];
    summary.periodShown[kAllDays] = oldestDay_ <= newestDay_ - kHistoryPeriodDays[kLastMonth];

    for (int64_t day = newestDay_ - kHistoryPeriodDays[kLastWeek] + 1; day <= newestDay_; ++day) {
        HistoryDayRow row;
        row.day = day;
        for (const DaySums& sums : lastDays_) {
            if (sums.day != day) continue;
            row.hasReport = true;
            row.active += sums.active;
            row.away += sums.away;
            std::vector<int64_t> byColour(kHistoryColours, 0);
            int64_t others = 0;
            for (const auto& [application, seconds] : sums.applications) {
                const int colour = colours[application];
                (colour == kNoColour ? others : byColour[static_cast<size_t>(colour)]) += seconds;
            }
            for (int c = 0; c < kHistoryColours; ++c)
                if (byColour[static_cast<size_t>(c)] > 0) row.segments.push_back(HistorySegment{c, byColour[static_cast<size_t>(c)]});
            if (others > 0) row.segments.push_back(HistorySegment{kNoColour, others});
        }
        summary.lastDays.push_back(std::move(row));
    }
    return summary;
}

// ------------------------------------------------------------ the page

void appendHistoryPage(const HistorySummary& summary, const LocalTime& generatedAt, std::string& out,
                       const HistoryCategories* categories) {
    out += "<!DOCTYPE html>\n<html lang=en><head><meta charset=windows-1251>\n"
           "<meta name=viewport content=\"width=device-width\">\n<title>Horalis history</title>\n";
    out += kStyle;
    out += "</head><body>\n<h1>Where the days went</h1>\n<p class=meta>Made on ";
    appendDay(out, dayNumberOf(generatedAt));
    char clock[16];
    const int n = std::snprintf(clock, sizeof clock, " at %02d:%02d", generatedAt.hour, generatedAt.minute);
    out.append(clock, static_cast<size_t>(n));
    if (summary.days == 0) {
        out += " from the daily reports in the data folder.</p>\n"
               "<h2>No daily reports yet</h2>\n"
               "<p>This page adds up the daily reports that Horalis keeps in its data folder, one pair of files "
               "per day (<i>year_day_month</i>.csv and .html). There are none yet. To have them:</p>\n<ul>"
               "<li>In Horalis, open <b>Tools &gt; Options...</b> and switch on <b>Save daily reports (at 00:00)</b>; "
               "the day is saved at midnight.</li>"
               "<li>Or let <b>Horalis Reporter</b> write them: <b>Tools &gt; Reporter/Client...</b>, <b>Install</b> "
               "starts it with Windows, also on days you do not start Horalis.</li></ul>\n"
               "<p>The page is made again after every daily report and whenever you choose <b>File &gt; Open "
               "history</b>.</p>\n";
        appendSkipped(out, summary.skipped);
        out += "</body></html>\n";
        return;
    }
    out += " from ";
    appendNumber(out, summary.days);
    out += summary.days == 1 ? " daily report, " : " daily reports, ";
    appendDay(out, summary.firstDay);
    out += " to ";
    appendDay(out, summary.lastDay);
    out += ".</p>\n<p class=note>Times are active time unless marked away. Click an application to see its longest "
           "window titles.</p>\n";
    appendDayRows(out, summary);
    for (int p = 0; p < kHistoryPeriods; ++p) {
        if (!summary.periodShown[p]) continue;
        appendPeriod(out, p, summary.periods[p]);
        if (categories) categories->appendTable(out, p);
    }
    appendSkipped(out, summary.skipped);
    out += "</body></html>\n";
}

String historyPagePath(const String& dataFolder) { return dataFolder + u"\\history.html"; }

bool writeHistoryPage(const String& dataFolder, const LocalTime& now) {
    std::vector<String> names;
    listFolderFiles(dataFolder, names);

    struct Pair {
        String name;
        int64_t day;
    };
    std::vector<Pair> pairs;
    std::vector<HistorySkippedFile> skipped;
    int64_t newestDay = INT64_MIN;
    for (String& name : names) {
        if (!looksLikeDailyCsv(name)) continue;
        LocalTime date;
        if (!parseDailyReportBaseName(StringView(name).substr(0, 10), date)) {
            skipped.push_back(HistorySkippedFile{std::move(name), HistorySkip::NotADate});
            continue;
        }
        const int64_t day = dayNumberOf(date) - 1;  // the pair named after D+1 holds D
        newestDay = std::max(newestDay, day);
        pairs.push_back(Pair{std::move(name), day});
    }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.day < b.day; });

    HistoryBuilder builder(pairs.empty() ? 0 : newestDay);
    HistoryCategories categories(loadRuleFile(dataFolder).rules, pairs.empty() ? 0 : newestDay);
    std::string bytes;
    DailyPairTotals totals;
    for (const Pair& pair : pairs) {
        if (!readFileBytes(dataFolder + u"\\" + pair.name, bytes, kLargestPair + 1)) {
            builder.addSkipped(pair.name, HistorySkip::NotOpened);
            continue;
        }
        if (bytes.size() > kLargestPair) {
            builder.addSkipped(pair.name, HistorySkip::TooLarge);
            continue;
        }
        totals.applications.clear();
        if (readDailyCsv(bytes, totals) != PairReadResult::Read) {
            builder.addSkipped(pair.name, HistorySkip::Damaged);
            continue;
        }
        builder.addDay(pair.day, totals);
        categories.addDay(pair.day, totals);
    }
    for (HistorySkippedFile& file : skipped) builder.addSkipped(std::move(file.name), file.why);

    std::string page;
    appendHistoryPage(builder.summarize(), now, page, &categories);

    const String target = historyPagePath(dataFolder);
    const String temporary = target + u".tmp";
    ReportStream out;
    if (!out.open(temporary)) return false;
    out.writeEncoded(page);
    if (!out.close() || !replaceFile(temporary, target)) {
        removeFile(temporary);
        return false;
    }
    return true;
}

}  // namespace horalis
