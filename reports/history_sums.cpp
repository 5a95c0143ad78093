// Adding the days up: the periods, the colours, the day rows and their timelines.
#include <algorithm>
#include <unordered_map>

#include "reports/history.h"

namespace horalis {

namespace {

bool inPeriod(int period, int64_t day, int64_t newestDay) {
    return kHistoryPeriodDays[period] == 0 || day > newestDay - kHistoryPeriodDays[period];
}

// Longest first; equal times by text, so the page does not depend on the order the files were read in.
template <typename T>
bool longerFirst(const T& a, int64_t as, const T& b, int64_t bs) {
    return as != bs ? as > bs : a < b;
}

bool ownerBefore(const RecordOwner& a, const RecordOwner& b) {
    return a.computer != b.computer ? a.computer < b.computer : a.user < b.user;
}

}  // namespace

template <class T>
T& HistoryBuilder::grown(std::vector<T>& sums, size_t id) {
    if (id >= sums.size()) sums.resize(id + 1);
    return sums[id];
}

HistoryBuilder::HistoryBuilder(int64_t newestDay)
    : ownTexts_(std::make_unique<HistoryTexts>()), texts_(ownTexts_.get()), newestDay_(newestDay),
      oldestDay_(newestDay) {}

HistoryBuilder::HistoryBuilder(int64_t newestDay, HistoryTexts& texts)
    : texts_(&texts), newestDay_(newestDay), oldestDay_(newestDay) {}

void HistoryBuilder::addDay(int64_t day, const DailyPairTotals& totals) { addDay(historyDayOfPair(day, totals, *texts_)); }

void HistoryBuilder::addRecord(const DayRecord& record) { addDay(historyDayOfRecord(record, *texts_)); }

void HistoryBuilder::addDay(const HistoryDay& day) { addDay(std::vector<const HistoryDay*>{&day}); }

void HistoryBuilder::addDay(const std::vector<const HistoryDay*>& files) {
    if (files.empty()) return;
    HistoryDay merged;
    if (files.size() > 1) merged = mergeHistoryDays(files);
    const HistoryDay& day = files.size() > 1 ? merged : *files.front();
    if (day.day > newestDay_) return;  // the caller names the newest day; a later one would break the periods
    days_.push_back(day.day);
    oldestDay_ = std::min(oldestDay_, day.day);
    bool periods[kHistoryPeriods];
    for (int p = 0; p < kHistoryPeriods; ++p) periods[p] = inPeriod(p, day.day, newestDay_);

    for (const HistoryTotal& application : day.applications) {
        const int64_t seconds = secondsOf(day, application.amount);
        Seconds& sums = grown(applicationSeconds_, application.id);
        for (int p = 0; p < kHistoryPeriods; ++p)
            if (periods[p]) sums.in[p] += seconds;
    }
    for (const HistoryTotal& title : day.titles) {
        const int64_t seconds = secondsOf(day, title.amount);
        Seconds& sums = grown(titleSeconds_, title.id);
        for (int p = 0; p < kHistoryPeriods; ++p)
            if (periods[p]) sums.in[p] += seconds;
    }
    for (int p = 0; p < kHistoryPeriods; ++p)
        if (periods[p]) away_[p] += secondsOf(day, day.away);
    // Each computer's share from its own record.
    for (const HistoryDay* file : files) {
        int64_t active = 0;
        for (const HistoryTotal& application : file->applications) active += secondsOf(*file, application.amount);
        OwnerSums& owner = file->owner == kNoOwner ? pairSums_ : grown(ownerSums_, file->owner);
        for (int p = 0; p < kHistoryPeriods; ++p) {
            if (!periods[p]) continue;
            owner.active[p] += active;
            owner.away[p] += secondsOf(*file, file->away);
        }
    }
    if (periods[kLastWeek]) lastDays_.push_back(files.size() > 1 ? std::move(merged) : day);
}

void HistoryBuilder::addSkipped(String fileName, HistorySkip why) {
    skipped_.push_back(HistorySkippedFile{std::move(fileName), why});
}

void HistoryBuilder::summarizeOwners(int period, HistoryPeriod& out) const {
    for (uint32_t owner = 0; owner < ownerSums_.size(); ++owner) {
        const OwnerSums& sums = ownerSums_[owner];
        if (sums.active[period] + sums.away[period] > 0)
            out.owners.push_back(HistoryOwnerShare{texts_->ownerName(owner), sums.active[period], sums.away[period]});
    }
    if (out.owners.size() < 2) {
        out.owners.clear();  // one computer's days need no line of their own
        return;
    }
    std::sort(out.owners.begin(), out.owners.end(), [](const HistoryOwnerShare& a, const HistoryOwnerShare& b) {
        return a.active != b.active ? a.active > b.active : ownerBefore(a.owner, b.owner);
    });
    if (pairSums_.active[period] + pairSums_.away[period] > 0)
        out.owners.push_back(HistoryOwnerShare{{}, pairSums_.active[period], pairSums_.away[period]});
}

HistoryPeriod HistoryBuilder::summarizePeriod(int period, const std::vector<int>& colours,
                                              const std::vector<int64_t>& days) const {
    HistoryPeriod out;
    out.lastDay = newestDay_;
    out.firstDay = kHistoryPeriodDays[period] == 0 ? oldestDay_ : newestDay_ - kHistoryPeriodDays[period] + 1;
    for (const int64_t day : days) out.daysWithReports += inPeriod(period, day, newestDay_);
    out.away = away_[period];

    std::vector<uint32_t> order;
    for (uint32_t i = HistoryTexts::kAway + 1; i < applicationSeconds_.size(); ++i) {
        if (applicationSeconds_[i].in[period] <= 0) continue;
        out.active += applicationSeconds_[i].in[period];
        order.push_back(i);
    }
    const auto seconds = [&](uint32_t application) { return applicationSeconds_[application].in[period]; };
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return longerFirst(texts_->path(a), seconds(a), texts_->path(b), seconds(b));
    });
    for (size_t rank = 0; rank < order.size(); ++rank) {
        const uint32_t id = order[rank];
        if (rank >= kHistoryApplicationsShown) {
            ++out.moreApplications;
            out.moreApplicationsSeconds += seconds(id);
            continue;
        }
        HistoryApplication application;
        application.path = texts_->path(id);
        application.seconds = seconds(id);
        application.colour = colours[id];

        const auto titleSeconds = [&](uint32_t title) {
            return title < titleSeconds_.size() ? titleSeconds_[title].in[period] : 0;
        };
        std::vector<uint32_t> titles;
        for (const uint32_t title : texts_->titlesOf(id))
            if (titleSeconds(title) > 0) titles.push_back(title);
        const size_t shown = std::min(titles.size(), kHistoryTitlesShown);
        std::partial_sort(titles.begin(), titles.begin() + static_cast<ptrdiff_t>(shown), titles.end(),
                          [&](uint32_t a, uint32_t b) {
                              return longerFirst(texts_->titleText(a), titleSeconds(a), texts_->titleText(b),
                                                 titleSeconds(b));
                          });
        for (size_t i = 0; i < titles.size(); ++i) {
            if (i < shown) {
                application.titles.push_back(HistoryTitle{String(texts_->titleText(titles[i])), titleSeconds(titles[i])});
            } else {
                ++application.moreTitles;
                application.moreTitlesSeconds += titleSeconds(titles[i]);
            }
        }
        out.applications.push_back(std::move(application));
    }
    summarizeOwners(period, out);
    return out;
}

HistoryDayRow HistoryBuilder::summarizeDay(int64_t day, const std::vector<int>& colours) const {
    HistoryDayRow row;
    row.day = day;
    std::vector<int64_t> byColour(kHistoryColours, 0);
    int64_t others = 0;
    std::vector<TimelineMinute> minutes;
    std::unordered_map<uint32_t, int64_t> titles;  // the day's, over all its files
    for (const HistoryDay& file : lastDays_) {
        if (file.day != day) continue;
        row.hasReport = true;
        row.hasTimes |= file.hasTimes;
        row.away += secondsOf(file, file.away);
        for (const HistoryTotal& application : file.applications) {
            const int64_t seconds = secondsOf(file, application.amount);
            row.active += seconds;
            const int colour = colours[application.id];
            (colour == kNoColour ? others : byColour[static_cast<size_t>(colour)]) += seconds;
        }
        if (!file.hasTimes) continue;
        minutes.insert(minutes.end(), file.minutes.begin(), file.minutes.end());
        for (const HistoryTotal& title : file.titles) titles[title.id] += title.amount;  // only to compare
    }
    for (int c = 0; c < kHistoryColours; ++c)
        if (byColour[static_cast<size_t>(c)] > 0) row.segments.push_back(HistorySegment{c, byColour[static_cast<size_t>(c)]});
    if (others > 0) row.segments.push_back(HistorySegment{kNoColour, others});
    if (!row.hasTimes) return row;

    // A cell two applications hold alike goes to the one first by path, as
    // numbered here: the texts' own numbers follow the order files were read in.
    std::vector<uint32_t> byPath;
    for (const TimelineMinute& minute : minutes) byPath.push_back(minute.application);
    std::sort(byPath.begin(), byPath.end());
    byPath.erase(std::unique(byPath.begin(), byPath.end()), byPath.end());
    std::sort(byPath.begin(), byPath.end(), [&](uint32_t a, uint32_t b) { return texts_->path(a) < texts_->path(b); });
    std::unordered_map<uint32_t, uint32_t> rankOf;
    for (uint32_t rank = 0; rank < byPath.size(); ++rank) rankOf[byPath[rank]] = rank;
    for (TimelineMinute& minute : minutes) minute.application = rankOf[minute.application];

    std::unordered_map<uint32_t, uint32_t> longestTitle;  // application -> title
    for (const auto& [title, seconds] : titles) {
        const uint32_t application = texts_->applicationOf(title);
        const auto [it, added] = longestTitle.try_emplace(application, title);
        if (!added && longerFirst(texts_->titleText(title), seconds, texts_->titleText(it->second), titles[it->second]))
            it->second = title;
    }
    for (const TimelineSpan& span : timelineSpans(std::move(minutes))) {
        HistorySpan out;
        out.firstMinute = span.firstMinute;
        out.endMinute = span.endMinute;
        const uint32_t application = byPath[span.application];
        out.away = application == HistoryTexts::kAway;
        if (!out.away) {
            out.colour = application < colours.size() ? colours[application] : kNoColour;
            out.path = texts_->path(application);
            if (const auto it = longestTitle.find(application); it != longestTitle.end())
                out.title = String(texts_->titleText(it->second));
        }
        row.spans.push_back(std::move(out));
    }
    return row;
}

HistorySummary HistoryBuilder::summarize() const {
    HistorySummary summary;
    std::vector<int64_t> days = days_;
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    summary.days = static_cast<int>(days.size());
    summary.firstDay = oldestDay_;
    summary.lastDay = newestDay_;
    summary.skipped = skipped_;
    if (days.empty()) return summary;

    // Colours go to the applications of the last week first, so the day rows
    // show as few "others" as possible; then to the longest of all days.
    const size_t applications = std::max(applicationSeconds_.size(), texts_->applications());
    std::vector<uint32_t> byWeek;
    for (uint32_t i = HistoryTexts::kAway + 1; i < applicationSeconds_.size(); ++i)
        if (applicationSeconds_[i].in[kAllDays] > 0) byWeek.push_back(i);
    std::sort(byWeek.begin(), byWeek.end(), [&](uint32_t a, uint32_t b) {
        const Seconds& x = applicationSeconds_[a];
        const Seconds& y = applicationSeconds_[b];
        if (x.in[kLastWeek] != y.in[kLastWeek]) return x.in[kLastWeek] > y.in[kLastWeek];
        return longerFirst(texts_->path(a), x.in[kAllDays], texts_->path(b), y.in[kAllDays]);
    });
    std::vector<int> colours(applications, kNoColour);
    for (size_t rank = 0; rank < byWeek.size() && rank < static_cast<size_t>(kHistoryColours); ++rank) {
        colours[byWeek[rank]] = static_cast<int>(rank);
        summary.colourPaths.push_back(texts_->path(byWeek[rank]));
    }

    for (int p = 0; p < kHistoryPeriods; ++p) summary.periods[p] = summarizePeriod(p, colours, days);
    summary.periodShown[kLastWeek] = true;
    summary.periodShown[kLastMonth] = oldestDay_ <= newestDay_ - kHistoryPeriodDays[kLastWeek];
    summary.periodShown[kAllDays] = oldestDay_ <= newestDay_ - kHistoryPeriodDays[kLastMonth];

    for (int64_t day = newestDay_ - kHistoryPeriodDays[kLastWeek] + 1; day <= newestDay_; ++day)
        summary.lastDays.push_back(summarizeDay(day, colours));
    return summary;
}

}  // namespace horalis
