#pragma once
// The journal of a run: what was counted, minute by minute, appended to a
// UTF-8 text file in the data folder at least once a minute and flushed to the
// disk each time, so that a crash, a kill or a power cut loses at most the
// last minute. Each append is one block of lines closed by an end line that
// names its sequence number and length; a block without its end line (a power
// cut mid-write) is skipped, and the blocks before it stay readable. The
// fold (reports/day_record.h) adds each block to the exact record of its day
// once: the record notes the last sequence number of every journal it holds.
//
// Lines (LF; fields separated by one blank, the text always last):
//   horalis-journal 1
//   run <run id>
//   computer <text>
//   user <text>
//   b <seq> <yyyy-mm-dd> <hh:mm>      a block: the day held and the minute
//   a <samples> <path>                an application and its samples
//   t <samples> <title>               one of its titles (after its "a" line)
//   e <seq> <lines> <checksum>        the end: lines from "b" on, FNV-1a hex
// Texts are UTF-8; '\' is written "\\", CR "\r", LF "\n", tab "\t", other
// control characters and unpaired surrogates "\uXXXX", so every UTF-16
// string comes back exactly.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/local_time.h"
#include "base/string.h"
#include "tracking/usage_records.h"

namespace horalis {

struct JournalTitle {
    String title;
    int64_t samples = 0;
};

struct JournalApplication {
    String path;
    int64_t samples = 0;
    std::vector<JournalTitle> titles;
};

struct JournalBlock {
    uint64_t sequence = 0;
    LocalTime day;          // the date the samples belong to (the tick's day held)
    int minuteOfDay = 0;    // 0..1439, local time of the samples
    std::vector<JournalApplication> applications;
};

struct JournalHeader {
    String runId;
    String computer;
    String user;
};

// Exact UTF-16 <-> escaped UTF-8, as above. parseJournalText is false for
// bytes that escapeJournalText cannot have written.
void appendJournalText(StringView text, std::string& out);
bool parseJournalText(std::string_view bytes, String& out);

// The fields of a line: a decimal number of at most 18 digits (no sign, no
// leading zero), and "first rest" split at the first blank (false: none).
void appendJournalNumber(uint64_t value, std::string& out);
bool parseJournalNumber(std::string_view text, uint64_t& value);
bool splitJournalField(std::string_view& line, std::string_view& field);

// A line "kind number text", or "kind text" when number is negative.
void appendJournalTextLine(std::string_view kind, int64_t number, StringView text, std::string& out);

// "2026-12-07" and "17:03", as the journal and the day records write them.
void appendJournalDate(const LocalTime& day, std::string& out);
bool parseJournalDate(std::string_view text, LocalTime& day);
void appendJournalMinute(int minuteOfDay, std::string& out);
bool parseJournalMinute(std::string_view text, int& minuteOfDay);

// The kinds of line above that the day records (reports/day_record.h) hold too.
inline constexpr std::string_view kRunLine = "run";
inline constexpr std::string_view kComputerLine = "computer";
inline constexpr std::string_view kUserLine = "user";
inline constexpr std::string_view kApplicationLine = "a";
inline constexpr std::string_view kTitleLine = "t";

void appendJournalHeader(const JournalHeader& header, std::string& out);
void appendJournalBlock(const JournalBlock& block, std::string& out);

// Every whole block in the bytes, in file order; a damaged or torn block is
// skipped. False (and nothing read) when the header is not a journal's.
bool readJournal(std::string_view bytes, JournalHeader& header, std::vector<JournalBlock>& blocks);

// Follows which records changed since the last append, so that an append
// costs what the last minute touched, not the size of the day. The counts
// already written live in the records themselves (journaledCount).
class JournalTracker {
public:
    // After every UsageRecords::addSample.
    void noteSample(const UsageRecords& records);
    // Every record's unwritten samples go into the next block (daily
    // reports switched on: what was counted while off is the day's too).
    void noteAll() { all_ = true; }
    // The records were cleared: nothing of them is left to write.
    void forget();
    // The samples counted since the last take, as a block of the given day
    // and minute; marks them written. False when nothing was counted.
    bool take(UsageRecords& records, const LocalTime& day, int minuteOfDay, uint64_t sequence, JournalBlock& block);
    // Marks everything written without taking it (time that is not this
    // program's to keep: the reporter while Horalis writes).
    void drop(UsageRecords& records);
    bool pending() const { return all_ || !touched_.empty(); }

private:
    struct Touched {
        uint32_t application;
        uint32_t title;  // kNoTitle: the application's own count only
    };
    static constexpr uint32_t kNoTitle = UINT32_MAX;
    std::vector<Touched> touched_;
    bool all_ = false;
};

}  // namespace horalis
