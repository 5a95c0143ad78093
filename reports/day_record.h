#pragma once
// The exact record of a day from one computer and user: every path and title
// as exact UTF-16 (in UTF-8), the samples of each, the samples of each
// application per minute, and which journal blocks it already holds. The
// daily pair (Windows-1251, '?' for what that lacks) is written from the
// records of its day, so two titles that differ only in such characters stay
// two rows with their own times.
//
// Files, in the data folder:
//   Journal\<computer> <user> <run id>.txt   one per run (tracking/journal.h)
//   Days\<yyyy-mm-dd> <computer> <user>.txt  one per day, computer and user
// Data folders are synced between computers, so each file is written by one
// computer only; the history page adds every computer's records up.
//
// Lines (LF; the text last):
//   horalis-day 1 <yyyy-mm-dd>
//   computer <text>
//   user <text>
//   run <seq> <run id>         the journal's blocks up to seq are in here
//   pair-pending               the pair is to be written again from this record
//   a <samples> <path>
//   t <samples> <title>
//   m <hh:mm> <application> <samples>   <application>: 0-based, order of "a" lines
//   end <lines>                lines before it: a record cut short is damaged
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/local_time.h"
#include "base/string.h"
#include "tracking/journal.h"

namespace horalis {

struct DayRun {
    String runId;
    uint64_t sequence = 0;  // the last block held
};

struct DayMinute {
    int minuteOfDay = 0;
    uint32_t application = 0;  // index into DayRecord::applications
    int64_t samples = 0;
};

struct DayRecord {
    LocalTime day;
    String computer;
    String user;
    std::vector<DayRun> runs;
    bool pairPending = false;
    std::vector<JournalApplication> applications;  // first-seen order
    std::vector<DayMinute> minutes;                 // by minute, then application

    // Adds a journal block (or a pair read back: minuteOfDay < 0 adds no minutes).
    void add(const JournalBlock& block);
    uint64_t heldSequence(StringView runId) const;  // 0: none of that run
    void noteHeld(StringView runId, uint64_t sequence);
    bool empty() const { return applications.empty(); }

private:
    // Built by add() from the lists above, so that a day of many titles adds fast.
    std::unordered_map<String, uint32_t> appIndex_;
    std::vector<std::unordered_map<String, uint32_t>> titleIndex_;
};

void appendDayRecord(const DayRecord& record, std::string& out);
enum class DayRecordRead { Read, Damaged };
DayRecordRead readDayRecord(std::string_view bytes, DayRecord& out);

// Who writes: the computer and user a run's files are named after. Names are
// made safe for a file name ('_' for what a name may not hold).
struct RecordOwner {
    String computer;
    String user;
};

// What the records in memory hold, as a day's record (no minutes): the
// history page shows today from it when no journal is kept.
DayRecord dayRecordOf(const UsageRecords& records, const LocalTime& day, const RecordOwner& owner);

String journalFolder(const String& dataFolder);     // dataFolder + "\Journal"
String dayRecordFolder(const String& dataFolder);   // dataFolder + "\Days"
String journalFileName(const RecordOwner& owner, StringView runId);          // "PC ann 5f3a-1c.txt"
String dayRecordFileName(const LocalTime& day, const RecordOwner& owner);     // "2026-12-07 PC ann.txt"
// The day of a record's file name and whether it is owner's; false for a name no record has.
bool parseDayRecordFileName(StringView name, LocalTime& day, String& ownerPart);
// "PC ann": the part of a file name that names owner.
String ownerFilePart(const RecordOwner& owner);

}  // namespace horalis
