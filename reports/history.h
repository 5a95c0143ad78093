#pragma once
// history.html in the data folder: where the days went, added up from the
// daily pairs. The pair named after day D+1 holds day D, so days are labelled
// by the day they hold. Built after every daily pair and on "Open history".
#include <string>
#include <unordered_map>
#include <vector>

#include "reports/pair_reader.h"
#include "base/local_time.h"

namespace horalis {

// Days since 1 January 1970 (proleptic Gregorian), and back.
int64_t dayNumberOf(const LocalTime& date);
LocalTime dateOfDayNumber(int64_t day);

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

struct HistoryPeriod {
    int64_t firstDay = 0;
    int64_t lastDay = 0;
    int daysWithReports = 0;
    int64_t active = 0;
    int64_t away = 0;
    std::vector<HistoryApplication> applications;  // longest first, away time not among them
    size_t moreApplications = 0;
    int64_t moreApplicationsSeconds = 0;
};

struct HistorySegment {
    int colour = kNoColour;
    int64_t seconds = 0;
};

struct HistoryDayRow {
    int64_t day = 0;
    bool hasReport = false;
    int64_t active = 0;
    int64_t away = 0;
    std::vector<HistorySegment> segments;  // coloured applications in colour order, then others
};

// Why a file named like a daily pair is left out.
enum class HistorySkip { NotADate, NotOpened, TooLarge, Damaged };

struct HistorySkippedFile {
    String name;
    HistorySkip why;
};

struct HistorySummary {
    int days = 0;  // with a report
    int64_t firstDay = 0;
    int64_t lastDay = 0;
    std::vector<HistoryDayRow> lastDays;  // oldest first
    HistoryPeriod periods[kHistoryPeriods];
    bool periodShown[kHistoryPeriods] = {};  // false when it would repeat the shorter one
    std::vector<String> colourPaths;  // the path of each colour
    std::vector<HistorySkippedFile> skipped;
};

// Adds the days up as they are read, in any order; per day only the totals
// of the last week are kept.
class HistoryBuilder {
public:
    // The periods end with newestDay, the newest day a pair holds.
    explicit HistoryBuilder(int64_t newestDay);
    void addDay(int64_t day, const DailyPairTotals& totals);
    void addSkipped(String fileName, HistorySkip why);
    HistorySummary summarize() const;

private:
    struct Seconds {
        int64_t in[kHistoryPeriods] = {};
    };
    struct ApplicationSums {
        String path;
        int64_t seconds[kHistoryPeriods] = {};
        // A year of titles can run into the hundreds of thousands: each is kept once, as its key.
        std::unordered_map<String, Seconds> titles;
    };
    struct DaySums {
        int64_t day = 0;
        int64_t active = 0;
        int64_t away = 0;
        std::vector<std::pair<uint32_t, int64_t>> applications;
    };

    HistoryPeriod summarizePeriod(int period, const std::vector<int>& colours) const;

    int64_t newestDay_;
    int64_t oldestDay_;
    int days_ = 0;
    int daysInPeriod_[kHistoryPeriods] = {};
    int64_t away_[kHistoryPeriods] = {};
    std::vector<ApplicationSums> applications_;
    std::unordered_map<String, uint32_t> applicationIndex_;
    std::vector<DaySums> lastDays_;
    std::vector<HistorySkippedFile> skipped_;
};

class HistoryCategories;

// The page in Windows-1251 bytes with LF line ends; with categories, each
// period's time per category beside its applications.
void appendHistoryPage(const HistorySummary& summary, const LocalTime& generatedAt, std::string& out,
                       const HistoryCategories* categories = nullptr);

// dataFolder + "\history.html".
String historyPagePath(const String& dataFolder);

// Reads every daily CSV in the folder and replaces history.html with a new
// page (written beside it first, so a failure leaves the old page whole).
// False when the page could not be written.
bool writeHistoryPage(const String& dataFolder, const LocalTime& now);

}  // namespace horalis
