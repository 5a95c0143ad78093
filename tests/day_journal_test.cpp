#include "reports/day_journal.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "reports/daily_reports.h"
#include "storage/file_faults.h"
#include "temp_folder.h"

namespace horalis {
namespace {

const LocalTime kSunday{2026, 12, 6}, kMonday{2026, 12, 7};
const LocalTime kTuesdayMorning{2026, 12, 8, 9, 30, 0};
const RecordOwner kOwner{u"PC1", u"ann"};
const RecordOwner kOtherComputer{u"LAPTOP", u"ann"};
const String kTokyo = u"東京 — Ελληνικά 😀";
const String kOsaka = u"大阪 — Ελληνικά 😀";

struct Fixture {
    test::TempFolder folder;
    Settings settings;  // with titles, times as 1:02:03

    // One run's journal: what a run killed on Monday evening left behind.
    void writeJournal(const RecordOwner& owner, StringView runId, std::vector<JournalBlock> blocks) {
        std::string bytes;
        appendJournalHeader(JournalHeader{String(runId), owner.computer, owner.user}, bytes);
        for (const JournalBlock& block : blocks) appendJournalBlock(block, bytes);
        std::filesystem::create_directories(folder.path() / "Journal");
        const String name = journalFileName(owner, runId);
        folder.write("Journal/" + std::string(name.begin(), name.end()), bytes);
    }

    std::map<String, int64_t> pairTitles(const std::string& name) const {
        DailyPairTotals pair;
        EXPECT_EQ(readDailyCsv(folder.read(name), pair), PairReadResult::Read);
        std::map<String, int64_t> seconds;
        for (const PairApplicationTotal& application : pair.applications) {
            seconds[application.path] += application.seconds;
            for (const PairTitleTotal& title : application.titles) seconds[application.path + u"|" + title.title] += title.seconds;
        }
        return seconds;
    }
};

JournalBlock block(uint64_t sequence, const LocalTime& day, int minute, StringView path,
                   std::vector<JournalTitle> titles) {
    JournalBlock out{sequence, day, minute, {}};
    int64_t samples = 0;
    for (const JournalTitle& title : titles) samples += title.samples;
    out.applications.push_back(JournalApplication{String(path), samples, std::move(titles)});
    return out;
}

// Sunday's pair from before the journal, Monday's record from the laptop, and
// two runs of this computer that were killed.
void killedRuns(Fixture& f) {
    f.folder.write("2026_07_12.csv", "C:\\Apps\\mail.exe;10:00\r\n");
    DayRecord laptop;
    laptop.day = kMonday;
    laptop.computer = kOtherComputer.computer;
    laptop.user = kOtherComputer.user;
    laptop.add(block(1, kMonday, 600, u"C:\\Apps\\editor.exe", {{kTokyo, 100}}));
    std::string bytes;
    appendDayRecord(laptop, bytes);
    std::filesystem::create_directories(f.folder.path() / "Days");
    f.folder.write("Days/2026-12-07 LAPTOP ann.txt", bytes);
    f.writeJournal(kOwner, u"run1", {block(1, kSunday, 1439, u"C:\\Apps\\mail.exe", {{u"Inbox", 120}}),
                                     block(2, kMonday, 0, u"C:\\Apps\\editor.exe", {{kTokyo, 40}, {kOsaka, 20}}),
                                     block(3, kMonday, 1, u"C:\\Apps\\editor.exe", {{kOsaka, 2}})});
    f.writeJournal(kOwner, u"run2", {block(1, kMonday, 1020, u"C:\\Apps\\editor.exe", {{kOsaka, 200}})});
}

TEST(DayJournal, KilledRunsReachTheirDaysWithEveryComputerAndEveryTitleApart) {
    Fixture f;
    killedRuns(f);
    ASSERT_TRUE(foldJournals(f.folder.folder(), kOwner, u"", kTuesdayMorning, f.settings).complete);
    EXPECT_FALSE(std::filesystem::exists(f.folder.path() / "Journal" / "PC1 ann run1.txt"));
    const auto sunday = f.pairTitles("2026_07_12.csv");
    EXPECT_EQ(sunday.at(u"C:\\Apps\\mail.exe"), 600 + 60);
    EXPECT_EQ(sunday.at(u"C:\\Apps\\mail.exe|Inbox"), 60);
    // Two titles that differ only where Windows-1251 has '?' stay two rows, each with its time.
    DailyPairTotals pair;
    ASSERT_EQ(readDailyCsv(f.folder.read("2026_08_12.csv"), pair), PairReadResult::Read);
    ASSERT_EQ(pair.applications.size(), 1u);
    EXPECT_EQ(pair.applications[0].seconds, 181);
    ASSERT_EQ(pair.applications[0].titles.size(), 2u);
    EXPECT_EQ(pair.applications[0].titles[0].title, u"?? — ???????? ?");
    EXPECT_EQ(pair.applications[0].titles[0].seconds, 111);  // Osaka: 222 samples
    EXPECT_EQ(pair.applications[0].titles[1].seconds, 70);   // Tokyo: 40 here, 100 on the laptop
    // A second fold has nothing to add and leaves the pair as it is.
    const std::string monday = f.folder.read("2026_08_12.csv");
    foldJournals(f.folder.folder(), kOwner, u"", kTuesdayMorning, f.settings);
    EXPECT_EQ(f.folder.read("2026_08_12.csv"), monday);
}

// The state a kill leaves after each single change on the disk, folded again:
// every time the same pairs, nothing lost, nothing counted twice.
TEST(DayJournal, AFoldStoppedAfterAnyChangeAndRunAgainCountsEverythingOnce) {
    Fixture whole;
    killedRuns(whole);
    foldJournals(whole.folder.folder(), kOwner, u"", kTuesdayMorning, whole.settings);
    const auto wantSunday = whole.pairTitles("2026_07_12.csv");
    const auto wantMonday = whole.pairTitles("2026_08_12.csv");
    int64_t changes = 0;
    for (;; ++changes) {
        Fixture f;
        killedRuns(f);
        stopFileChangesAfter(changes);
        const bool complete = foldJournals(f.folder.folder(), kOwner, u"", kTuesdayMorning, f.settings).complete;
        stopFileChangesAfter(-1);
        ASSERT_TRUE(foldJournals(f.folder.folder(), kOwner, u"", kTuesdayMorning, f.settings).complete) << changes;
        EXPECT_EQ(f.pairTitles("2026_07_12.csv"), wantSunday) << "stopped after " << changes;
        EXPECT_EQ(f.pairTitles("2026_08_12.csv"), wantMonday) << "stopped after " << changes;
        if (complete) break;
    }
    EXPECT_GT(changes, 6);  // records, pairs, marks and journals: that many steps to stop after
}

// The running program's own journal: appended each minute, torn by a full
// disk, written whole later, folded, and started afresh once held.
TEST(DayJournal, TheRunningJournalKeepsABlockTheDiskRefusedAndStartsAFreshFileOnceHeld) {
    Fixture f;
    UsageRecords records;
    JournalTracker tracker;
    DayJournal journal(f.folder.folder(), kOwner, u"run9");
    auto sample = [&](StringView title, int times) {
        for (int i = 0; i < times; ++i) {
            records.addSample(u"C:\\Apps\\editor.exe", title);
            tracker.noteSample(records);
        }
    };
    sample(kTokyo, 11);
    ASSERT_TRUE(journal.append(records, tracker, kMonday, 600));
    sample(kTokyo, 10);
    stopFileChangesAfter(0);  // a full disk: half the block reaches the file
    EXPECT_FALSE(journal.append(records, tracker, kMonday, 601));
    stopFileChangesAfter(-1);
    EXPECT_TRUE(journal.hasUnwritten());
    sample(kOsaka, 5);
    ASSERT_TRUE(journal.append(records, tracker, kMonday, 602));

    const FoldResult result = journal.fold(kTuesdayMorning, f.settings);
    ASSERT_TRUE(result.complete);
    const auto monday = f.pairTitles("2026_08_12.csv");
    EXPECT_EQ(monday.at(u"C:\\Apps\\editor.exe|?? — ???????? ?"), 10 + 2);  // two rows of that text
    EXPECT_EQ(monday.at(u"C:\\Apps\\editor.exe"), 12);
    EXPECT_FALSE(std::filesystem::exists(f.folder.path() / "Journal" / "PC1 ann run9.txt"));

    sample(kOsaka, 2);
    ASSERT_TRUE(journal.append(records, tracker, kMonday, 603));
    EXPECT_TRUE(std::filesystem::exists(f.folder.path() / "Journal" / "PC1 ann run9.2.txt"));
    journal.fold(kTuesdayMorning, f.settings);
    EXPECT_EQ(f.pairTitles("2026_08_12.csv").at(u"C:\\Apps\\editor.exe"), 13);

    // The exact record keeps every character, and the minute of each sample.
    DayRecord record;
    ASSERT_EQ(readDayRecord(f.folder.read("Days/2026-12-07 PC1 ann.txt"), record), DayRecordRead::Read);
    ASSERT_EQ(record.applications.size(), 1u);
    EXPECT_EQ(record.applications[0].titles.at(0).title, kTokyo);
    EXPECT_EQ(record.applications[0].titles.at(1).title, kOsaka);
    ASSERT_EQ(record.minutes.size(), 4u);
    EXPECT_EQ(record.minutes[0].minuteOfDay, 600);
    EXPECT_EQ(record.minutes[3].samples, 2);
}

TEST(DayRecord, ReadsBackWhatItWroteAndACutRecordIsDamaged) {
    DayRecord record;
    record.day = kMonday;
    record.computer = u"PC1";
    record.user = u"Ann O'Neil";
    record.pairPending = true;
    record.add(block(4, kMonday, 1439, u"C:\\Apps\\mail;\".exe", {{u"=1+1\r\n", 3}, {u"", 2}}));
    record.add(block(5, kMonday, 5, u"C:\\Apps\\mail;\".exe", {{u"", 1}}));  // a clock set back: the minute in its place
    record.noteHeld(u"r1", 5);
    std::string bytes;
    appendDayRecord(record, bytes);
    DayRecord read;
    ASSERT_EQ(readDayRecord(bytes, read), DayRecordRead::Read);
    EXPECT_EQ(read.user, record.user);
    EXPECT_TRUE(read.pairPending);
    EXPECT_EQ(read.heldSequence(u"r1"), 5u);
    ASSERT_EQ(read.applications.size(), 1u);
    EXPECT_EQ(read.applications[0].samples, 6);
    EXPECT_EQ(read.applications[0].titles[1].samples, 3);
    ASSERT_EQ(read.minutes.size(), 2u);
    EXPECT_EQ(read.minutes[0].minuteOfDay, 5);
    for (size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_EQ(readDayRecord(std::string_view(bytes).substr(0, cut), read), DayRecordRead::Damaged) << cut;

    LocalTime day;
    String owner;
    ASSERT_TRUE(parseDayRecordFileName(dayRecordFileName(kMonday, RecordOwner{u"PC 1", u"Ann O:Neil"}), day, owner));
    EXPECT_EQ(owner, u"PC_1 Ann O_Neil");
    EXPECT_FALSE(parseDayRecordFileName(u"2026-12-07 PC1 ann.txt.unreadable", day, owner));
}

}  // namespace
}  // namespace horalis
