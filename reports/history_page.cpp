// The history page's HTML around the last week's rows: the head, the
// application tables of each period and the files left out.
#include <cstdio>

#include "reports/history_categories.h"
#include "reports/history_html.h"

namespace horalis {

using namespace history_html;

namespace {

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
    ".skipped li{border:0}.owners{margin:6px 0 0;padding-left:20px;font-size:12.5px;color:#444}"
    ".owners li{border:0}\n"
    ".times td{padding:3px 8px}.hours{position:relative;height:16px;font-weight:400}"
    ".hours span{position:absolute;transform:translateX(-50%)}.hours span:first-child{transform:none}"
    ".hours span:last-child{transform:translateX(-100%)}\n"
    ".tl{position:relative;height:18px;background:#f1f3f5;border-radius:2px;overflow:hidden}"
    ".tl span{position:absolute;top:0;bottom:0}\n"
    // The hour marks lie over the spans, and print with them.
    ".tl::after{content:'';position:absolute;inset:0;pointer-events:none;-webkit-print-color-adjust:exact;"
    "print-color-adjust:exact;background:repeating-linear-gradient(90deg,rgba(0,0,0,.22) 0 1px,transparent 1px 4.1667%)}\n"
    "@media print{body{margin:0;max-width:none;font-size:11px}h2{break-after:avoid}tr,li{break-inside:avoid}"
    "summary::marker{content:''}}\n";

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

// Each computer's and user's part, when the folder holds more than one's.
void appendOwners(std::string& out, const HistoryPeriod& period) {
    if (period.owners.empty()) return;
    out += "<ul class=owners>";
    for (const HistoryOwnerShare& share : period.owners) {
        out += "<li>";
        if (share.owner.computer.empty() && share.owner.user.empty()) {
            out += "<i>daily reports from before Horalis named the computer</i>";
        } else {
            appendText(out, share.owner.computer);
            out += " / ";
            appendText(out, share.owner.user);
        }
        out += ": ";
        appendDuration(out, share.active);
        out += " active (";
        appendShare(out, share.active, period.active);
        out += ')';
        if (share.away > 0) {
            out += ", ";
            appendDuration(out, share.away);
            out += " away";
        }
        out += "</li>";
    }
    out += "</ul>\n";
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
    appendOwners(out, period);
}

const char* skipReason(HistorySkip why) {
    switch (why) {
    case HistorySkip::NotADate: return "its name is no date";
    case HistorySkip::NotOpened: return "it cannot be opened";
    case HistorySkip::TooLarge: return "it is too large for a daily report";
    case HistorySkip::Damaged: return "it is not a daily report as Horalis writes them";
    case HistorySkip::DamagedRecord: return "it is not a day record as Horalis writes them (cut short or edited)";
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

}  // namespace

void appendHistoryPage(const HistorySummary& summary, const LocalTime& generatedAt, std::string& out,
                       const HistoryCategories* categories) {
    out += "<!DOCTYPE html>\n<html lang=en><head><meta charset=windows-1251>\n"
           "<meta name=viewport content=\"width=device-width\">\n<title>Horalis history</title>\n";
    out += kStyle;
    // The timeline's spans name their colour by class, which keeps a week of spans small.
    for (int c = 0; c < kHistoryColours; ++c) {
        out += ".c";
        appendNumber(out, c);
        out += "{background:";
        out += kColours[c];
        out += '}';
    }
    out += "\n</style>\n";
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
    appendTimelines(out, summary);
    for (int p = 0; p < kHistoryPeriods; ++p)
        if (summary.periodShown[p]) {
            appendPeriod(out, p, summary.periods[p]);
            if (categories) categories->appendTable(out, p);
        }
    appendSkipped(out, summary.skipped);
    out += "</body></html>\n";
}

}  // namespace horalis
