#pragma once
// history.html in the data folder: where the days went, added up from the
// exact day records of every computer that shares the folder (Days\) and,
// for days no record holds (from before the journal), from the daily pairs.
// The pair named after day D+1 holds day D, so days are labelled by the day
// they hold. Built after every daily pair and on "Open history".
#include <memory>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "reports/day_record.h"
#include "reports/history_days.h"
#include "reports/pair_reader.h"

namespace horalis {

class HistoryCache;

// The periods of the application tables; the day rows cover the first.
enum HistoryPeriodKind { kLastWeek, kLastMonth, kAllDays, kHistoryPeriods };
constexpr int kHistoryPeriodDays[kHistoryPeriods] = {7, 30, 0};  // 0: every day
constexpr int kHistoryColours = 10;     // applications with a colour of their own
constexpr int kNoColour = -1;           // the rest, drawn as "others"
constexpr size_t kHistoryTitlesShown = 10;
constexpr size_t kHistoryApplicationsShown = 40;

struct HistoryTitle {
    String title;
    int64_t seconds = 0;
};

struct HistoryApplication {
    String path;
    int64_t seconds = 0;
    int colour = kNoColour;
    std::vector<HistoryTitle> titles;  // the longest, longest first
    size_t moreTitles = 0;             // not listed, with their time
    int64_t moreTitlesSeconds = 0;
};

// A computer's and user's part of a period; computer and user empty for
// daily pairs, which name neither.
struct HistoryOwnerShare {
    RecordOwner owner;
    int64_t active = 0;
    int64_t away = 0;
};

struct HistoryPeriod {
    int64_t firstDay = 0;
    int64_t lastDay = 0;
    int daysWithReports = 0;
    int64_t active = 0;
    int64_t away = 0;
    std::vector<HistoryApplication> applications;  // longest first, away time not among them
    size_t moreApplications = 0;
    int64_t moreApplicationsSeconds = 0;
    std::vector<HistoryOwnerShare> owners;  // longest first; empty unless more than one computer or user
};

struct HistorySegment {
    int colour = kNoColour;
    int64_t seconds = 0;
};

// A span of the day's timeline, with what its tooltip names.
struct HistorySpan {
    int firstMinute = 0;
    int endMinute = 0;
    bool away = false;
    int colour = kNoColour;
    String path;   // empty for away time
    String title;  // the application's longest of the day
};

struct HistoryDayRow {
    int64_t day = 0;
    bool hasReport = false;
    bool hasTimes = false;  // a record's minutes say when (days from before the journal have none)
    int64_t active = 0;
    int64_t away = 0;
    std::vector<HistorySegment> segments;  // coloured applications in colour order, then others
    std::vector<HistorySpan> spans;        // by time of day
};

// Why a file named like a daily pair or a day record is left out.
enum class HistorySkip { NotADate, NotOpened, TooLarge, Damaged, DamagedRecord };

struct HistorySkippedFile {
    String name;
    HistorySkip why;
};

struct HistorySummary {
    int days = 0;  // with a pair or a record
    int64_t firstDay = 0;
    int64_t lastDay = 0;
    std::vector<HistoryDayRow> lastDays;  // oldest first
    HistoryPeriod periods[kHistoryPeriods];
    bool periodShown[kHistoryPeriods] = {};  // false when it would repeat the shorter one
    std::vector<String> colourPaths;  // the path of each colour
    std::vector<HistorySkippedFile> skipped;
};

// Adds the days up as they are read, in any order, several files a day
// (one record per computer) included; per day only what the last week's rows
// draw is kept.
class HistoryBuilder {
public:
    // The periods end with newestDay, the newest day a file holds.
    explicit HistoryBuilder(int64_t newestDay);
    // Days numbered by texts (a cache's, which outlives the builder).
    HistoryBuilder(int64_t newestDay, HistoryTexts& texts);
    void addDay(int64_t day, const DailyPairTotals& totals);  // a daily pair's day
    void addRecord(const DayRecord& record);                 // the only record of its day
    // Every file of one day (a record per computer), numbered by texts().
    void addDay(const std::vector<const HistoryDay*>& files);
    void addDay(const HistoryDay& day);
    void addSkipped(String fileName, HistorySkip why);
    HistorySummary summarize() const;
    HistoryTexts& texts() { return *texts_; }

private:
    struct Seconds {
        int64_t in[kHistoryPeriods] = {};
    };
    struct OwnerSums {
        int64_t active[kHistoryPeriods] = {};
        int64_t away[kHistoryPeriods] = {};
    };

    void summarizeOwners(int period, HistoryPeriod& out) const;
    HistoryPeriod summarizePeriod(int period, const std::vector<int>& colours, const std::vector<int64_t>& days) const;
    HistoryDayRow summarizeDay(int64_t day, const std::vector<int>& colours) const;
    template <class T>
    static T& grown(std::vector<T>& sums, size_t id);

    std::unique_ptr<HistoryTexts> ownTexts_;
    HistoryTexts* texts_;
    int64_t newestDay_;
    int64_t oldestDay_;
    std::vector<int64_t> days_;  // one entry per addDay: a day twice when added twice
    int64_t away_[kHistoryPeriods] = {};
    std::vector<Seconds> applicationSeconds_;  // by application number
    std::vector<Seconds> titleSeconds_;        // by title number
    std::vector<OwnerSums> ownerSums_;         // by owner number
    OwnerSums pairSums_;                       // kNoOwner's
    std::vector<HistoryDay> lastDays_;  // the last week, a day each
    std::vector<HistorySkippedFile> skipped_;
};

class HistoryCategories;

// The page in Windows-1251 bytes with LF line ends; characters that
// Windows-1251 lacks are character references, so every title shows exactly.
// With categories, each period's time per category beside its applications.
void appendHistoryPage(const HistorySummary& summary, const LocalTime& generatedAt, std::string& out,
                       const HistoryCategories* categories = nullptr);

// dataFolder + "\history.html".
String historyPagePath(const String& dataFolder);

// Reads every day record in the folder's Days\ and the daily CSV of every
// day without one, and replaces history.html with a new page (written beside
// it first, so a failure leaves the old page whole). today, when given, is
// what the running program counted that no file holds yet, added to its
// day. Days read before are taken from cache while their files are
// unchanged; the first form uses one cache for the whole process.
// False when the page could not be written.
bool writeHistoryPage(const String& dataFolder, const LocalTime& now, const DayRecord* today = nullptr);
bool writeHistoryPage(const String& dataFolder, const LocalTime& now, const DayRecord* today, HistoryCache& cache);

}  // namespace horalis
