#pragma once
// The history page's time per category: each recorded program and title of
// a day is put into the category of the first recording rule that matches it
// (rules.txt as it is now), or into "uncategorised". Only with a category
// rule among the rules; without one the page has no category tables.
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "reports/history.h"
#include "reports/pair_reader.h"
#include "tracking/recording_rules.h"

namespace horalis {

inline constexpr const char* kUncategorised = "uncategorised";

struct HistoryCategoryTotal {
    String name;  // empty: uncategorised
    int64_t seconds = 0;
};

class HistoryCategories {
public:
    // The periods end with newestDay, as the page's do.
    HistoryCategories(std::vector<RecordingRule> rules, int64_t newestDay);
    bool any() const { return any_; }

    void addDay(int64_t day, const DailyPairTotals& totals);
    // Longest first, "uncategorised" last; empty without category rules.
    std::vector<HistoryCategoryTotal> period(int period) const;
    // The period's category table, beside its application table.
    void appendTable(std::string& out, int period) const;

private:
    // The category of a program and title: an index into names_, or npos.
    size_t categoryOf(StringView path, StringView title);
    void add(size_t category, int64_t seconds, const bool (&periods)[kHistoryPeriods]);

    RuleMatcher matcher_;
    bool any_ = false;
    int64_t newestDay_;
    std::vector<String> names_;
    std::vector<std::array<int64_t, kHistoryPeriods>> seconds_;  // per name
    std::array<int64_t, kHistoryPeriods> uncategorised_{};
    // Titles recur day after day: each program and title is matched once.
    std::unordered_map<String, size_t> decided_;
    String key_;
};

}  // namespace horalis
