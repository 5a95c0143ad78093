#pragma once
// Keeping the day on the disk: a run appends what it counted to its journal
// every minute, and the fold adds the journals of this computer and user to
// the exact records of their days and writes those days' pairs. The fold runs
// at every start and at every pair write, under the daily-report lock, and
// counts each block once: a record is replaced whole, together with the
// sequence numbers it holds, so a fold stopped after any of its writes and run
// again neither loses nor repeats anything.
//
// The order of one fold, each step safe to stop after:
//   1. records that gain blocks are written, marked "pair-pending";
//   2. the pair of each such day is written from every record of the day;
//   3. the records are written again without the mark;
//   4. journals wholly held are deleted (not the running one's).
// A record still marked at the next fold has its pair written again; it is
// always found, since its journal is only deleted after step 3.
#include <string>
#include <vector>

#include "reports/day_record.h"
#include "storage/durable_file.h"
#include "storage/settings.h"
#include "tracking/journal.h"

namespace horalis {

struct FoldResult {
    bool complete = true;         // every journal wholly in records, every pair of theirs written
    std::vector<LocalTime> days;  // the days whose pairs were written
};

// Folds every journal of owner in the data folder. keepRunId's journal is
// left in place (the caller still appends to it). A day that has no record
// yet, from anyone, starts with what its pair already holds (written before
// the journal existed, '?' where Windows-1251 lacks a character).
// With pairDay, that day's pair is written even when no journal adds to it
// and it is missing (a day ended with nothing counted still gets its pair).
FoldResult foldJournals(const String& dataFolder, const RecordOwner& owner, StringView keepRunId,
                        const LocalTime& now, const Settings& settings, const LocalTime* pairDay = nullptr);

// True when owner has journals in the data folder: a start only folds then.
bool journalsWaiting(const String& dataFolder, const RecordOwner& owner);

// A fold cut short (the lock held, a file held open) is tried again every
// fourth tick: a tick waits at most 0.1 s for the lock, so a writer that keeps
// it costs the window a twentieth of its time, and a freed lock is seen within 2 s.
class FoldRetry {
public:
    void note(bool complete) {
        pending_ = !complete;
        ticks_ = 0;
    }
    bool pending() const { return pending_; }
    bool due() { return pending_ && ++ticks_ % 4 == 0; }

private:
    bool pending_ = false;
    int ticks_ = 0;
};

// The journal of the running program.
class DayJournal {
public:
    DayJournal(String dataFolder, RecordOwner owner, String runId);

    // Appends what the tracker holds as a block of day and minute, flushed
    // to the disk. A block the disk refused is kept and written first the
    // next time; false while one is waiting.
    bool append(UsageRecords& records, JournalTracker& tracker, const LocalTime& day, int minuteOfDay);
    // Under the daily-report lock. Once this run's journal is wholly held,
    // later blocks go into a new file, so no journal outgrows its day.
    FoldResult fold(const LocalTime& now, const Settings& settings, const LocalTime* pairDay = nullptr);

    bool hasUnwritten() const { return !unwritten_.empty(); }
    const String& runId() const { return runId_; }
    const RecordOwner& owner() const { return owner_; }

private:
    String path() const;
    bool writeUnwritten();

    String dataFolder_;
    RecordOwner owner_;
    String baseRunId_;
    String runId_;
    int segment_ = 1;
    DurableFile file_;
    bool headerWritten_ = false;
    bool tornBefore_ = false;  // the last write failed: the next starts on a line of its own
    uint64_t sequence_ = 0;
    std::string unwritten_;
};

}  // namespace horalis
