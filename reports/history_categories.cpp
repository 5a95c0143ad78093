#include "reports/history_categories.h"

#include <algorithm>
#include <cstdio>

#include "reports/report_writers.h"
#include "storage/duration.h"
#include "tracking/usage_records.h"

namespace horalis {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

}  // namespace

HistoryCategories::HistoryCategories(std::vector<RecordingRule> rules, int64_t newestDay)
    : matcher_(std::move(rules)), any_(matcher_.hasCategoryRule()), newestDay_(newestDay) {}

size_t HistoryCategories::categoryOf(StringView path, StringView title) {
    key_.assign(path);
    key_.push_back(u'\0');  // no path holds one, so program and title stay apart
    key_.append(title);
    if (const auto found = decided_.find(key_); found != decided_.end()) return found->second;
    size_t category = kNone;
    const RecordingRule* rule = matcher_.firstMatch(path, title);
    if (rule && rule->action == RuleAction::Category) {
        const auto named = std::find(names_.begin(), names_.end(), rule->category);
        category = static_cast<size_t>(named - names_.begin());
        if (named == names_.end()) {
            names_.push_back(rule->category);
            seconds_.emplace_back();
        }
    }
    decided_.emplace(key_, category);
    return category;
}

void HistoryCategories::add(size_t category, int64_t seconds, const bool (&periods)[kHistoryPeriods]) {
    if (seconds <= 0) return;
    auto& into = category == kNone ? uncategorised_ : seconds_[category];
    for (int p = 0; p < kHistoryPeriods; ++p)
        if (periods[p]) into[static_cast<size_t>(p)] += seconds;
}

void HistoryCategories::addDay(int64_t day, const DailyPairTotals& totals) {
    if (!any_ || day > newestDay_) return;
    bool periods[kHistoryPeriods];
    for (int p = 0; p < kHistoryPeriods; ++p)
        periods[p] = kHistoryPeriodDays[p] == 0 || day > newestDay_ - kHistoryPeriodDays[p];
    for (const PairApplicationTotal& application : totals.applications) {
        if (application.path == kIdleTimeKey) continue;
        // Each title's time by its own rule; what the titles do not hold (a
        // pair without titles, or their rounding) by the program's alone.
        int64_t inTitles = 0;
        for (const PairTitleTotal& title : application.titles) {
            add(categoryOf(application.path, title.title), title.seconds, periods);
            inTitles += std::max<int64_t>(title.seconds, 0);
        }
        add(categoryOf(application.path, u""), application.seconds - inTitles, periods);
    }
}

std::vector<HistoryCategoryTotal> HistoryCategories::period(int period) const {
    std::vector<HistoryCategoryTotal> out;
    if (!any_) return out;
    const auto p = static_cast<size_t>(period);
    for (size_t i = 0; i < names_.size(); ++i)
        if (seconds_[i][p] > 0) out.push_back({names_[i], seconds_[i][p]});
    std::sort(out.begin(), out.end(), [](const HistoryCategoryTotal& a, const HistoryCategoryTotal& b) {
        return a.seconds != b.seconds ? a.seconds > b.seconds : a.name < b.name;
    });
    if (uncategorised_[p] > 0) out.push_back({String(), uncategorised_[p]});
    return out;
}

void HistoryCategories::appendTable(std::string& out, int period) const {
    const std::vector<HistoryCategoryTotal> rows = this->period(period);
    if (rows.empty()) return;
    int64_t total = 0, longest = 0;
    for (const HistoryCategoryTotal& row : rows) {
        total += row.seconds;
        longest = std::max(longest, row.seconds);
    }
    out += "<table class=apps><tr><th class=app>Category</th><th class=n>Time</th><th class=n>Share</th>"
           "<th class=barcell></th></tr>\n";
    char number[48];
    for (const HistoryCategoryTotal& row : rows) {
        out += "<tr><td class=app>";
        if (row.name.empty()) {
            out += "<i>";
            out += kUncategorised;
            out += "</i>";
        } else {
            out += "<b>";
            appendHtmlBytes(row.name, out);
            out += "</b>";
        }
        out += "</td><td class=n>";
        appendHtmlBytes(formatDuration(static_cast<int32_t>(std::min<int64_t>(row.seconds, INT32_MAX)), false), out);
        // Whole percent of the period's active time; the bar against the longest.
        const long long percent = (row.seconds * 100 + total / 2) / total;
        int n = percent == 0 ? std::snprintf(number, sizeof number, "&lt;1%%")
                             : std::snprintf(number, sizeof number, "%lld%%", percent);
        out += "</td><td class=n>";
        out.append(number, static_cast<size_t>(n));
        n = std::snprintf(number, sizeof number, "%.1f%%", 100.0 * static_cast<double>(row.seconds) / longest);
        out += "</td><td class=barcell><div class=bar><span class=others style=\"width:";
        out.append(number, static_cast<size_t>(n));
        out += "\"></span></div></td></tr>\n";
    }
    out += "</table>\n";
}

}  // namespace horalis
