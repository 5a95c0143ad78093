#pragma once
// What the history page keeps of one file's day: its totals in seconds and
// its minutes, with every text as a number into one table of texts. Adding a
// year of days up then costs additions, not string look-ups, and a day read
// once can be kept while its file is unchanged (history_cache.h).
#include <cstdint>
#include <memory>
#include <vector>

#include "reports/day_record.h"
#include "reports/history_timeline.h"
#include "reports/pair_reader.h"
#include "tracking/usage_records.h"

namespace horalis {

// Each path, title and owner once. Application 0 is "Idle time", the away time.
class HistoryTexts {
public:
    static constexpr uint32_t kAway = 0;

    HistoryTexts();
    uint32_t application(StringView path);
    uint32_t title(uint32_t application, StringView text);
    // Many titles at once, as a day's file holds them: their look-ups are
    // overlapped, which is where a year of titles spends its time.
    struct TitleKey {
        uint32_t application;
        StringView text;
    };
    void titles(const std::vector<TitleKey>& keys, std::vector<uint32_t>& ids);
    uint32_t owner(StringView computer, StringView user);

    const String& path(uint32_t application) const { return paths_[application]; }
    StringView titleText(uint32_t title) const { return {titles_[title].text, titles_[title].length}; }
    uint32_t applicationOf(uint32_t title) const { return titles_[title].application; }
    const std::vector<uint32_t>& titlesOf(uint32_t application) const { return applicationTitles_[application]; }
    const RecordOwner& ownerName(uint32_t owner) const { return owners_[owner]; }
    size_t applications() const { return paths_.size(); }
    size_t titles() const { return titles_.size(); }
    size_t owners() const { return owners_.size(); }

private:
    // A year can hold a hundred thousand titles: their texts go into blocks
    // rather than a string each, which keeps them small and close together.
    struct Title {
        const char16_t* text;
        uint32_t length;
        uint32_t application;
    };
    static constexpr size_t kTextBlock = 32 * 1024;  // code units
    std::vector<std::unique_ptr<char16_t[]>> textBlocks_;
    size_t blockUsed_ = kTextBlock;
    std::vector<std::unique_ptr<char16_t[]>> longTexts_;  // a quarter block or more, each on its own
    // Titles by application and text, open addressing as KeyIndex does.
    struct Slot {
        uint32_t position = 0;  // title + 1; 0 marks an empty slot
        uint32_t hashBits = 0;
    };
    size_t probeTitle(uint32_t application, StringView text, uint32_t bits) const;
    uint32_t addTitle(size_t slot, uint32_t application, StringView text, uint32_t bits);
    void reserveTitles(size_t count);

    std::vector<String> paths_;
    KeyIndex pathIndex_;
    std::vector<Title> titles_;
    std::vector<Slot> titleSlots_;
    std::vector<uint32_t> bits_;  // titles()'s, kept for the next call
    std::vector<std::vector<uint32_t>> applicationTitles_;
    std::vector<RecordOwner> owners_;
    std::vector<String> ownerKeys_;
    KeyIndex ownerIndex_;
};

struct HistoryTotal {
    uint32_t id = 0;      // an application's or a title's
    uint32_t amount = 0;  // samples or seconds, as HistoryDay::inSamples says (a day holds far fewer than 2^32)
};

constexpr uint32_t kNoOwner = UINT32_MAX;  // a daily pair names no computer

struct HistoryDay {
    int64_t day = 0;  // dayNumberOf
    uint32_t owner = kNoOwner;
    bool hasTimes = false;      // from a record: its minutes tell when (a pair's days cannot)
    bool minutesKept = false;   // minutes holds them (they are kept for recent days only)
    bool inSamples = false;     // a record's amounts are samples, a pair's seconds
    int64_t away = 0;
    std::vector<HistoryTotal> applications;  // the away time not among them
    std::vector<HistoryTotal> titles;
    std::vector<TimelineMinute> minutes;     // application numbers are HistoryTexts'
};

HistoryDay historyDayOfRecord(const DayRecord& record, HistoryTexts& texts, bool keepMinutes = true);
HistoryDay historyDayOfPair(int64_t day, const DailyPairTotals& totals, HistoryTexts& texts);

// One day of several files (a record per computer): the samples of each
// application and title added up first, so that its seconds (samples / 2)
// are those of the day's pair, which is written from all of them. Seconds
// of a pair count as two samples each.
HistoryDay mergeHistoryDays(const std::vector<const HistoryDay*>& files);

// An amount of the day in seconds.
inline int64_t secondsOf(const HistoryDay& day, int64_t amount) { return day.inSamples ? amount / 2 : amount; }

}  // namespace horalis
