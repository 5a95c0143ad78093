#include "reports/session_end.h"

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "reports/history.h"
#include "temp_folder.h"

namespace horalis {
namespace {

const LocalTime kSixth{2026, 12, 6, 17, 0, 0};

TEST(FinalSave, WaitsAreATicksUntilTheSaveRunsAndShrinkWithIt) {
    FinalSave save;
    EXPECT_EQ(save.lockWaitMs(5000), kUiWaitMs);
    EXPECT_EQ(save.fileWaitMs(5000), kHeldFileRetryMs);
    save.begin(5000);
    EXPECT_EQ(save.lockWaitMs(5000), kSessionEndLockMs);
    EXPECT_EQ(save.fileWaitMs(5000), kSessionEndSaveMs);
    // A lock held to its end leaves the files the rest, never more in all.
    EXPECT_EQ(save.lockWaitMs(5000 + kSessionEndLockMs), 0u);
    EXPECT_EQ(save.fileWaitMs(5000 + kSessionEndLockMs), kSessionEndSaveMs - kSessionEndLockMs);
    EXPECT_EQ(save.fileWaitMs(5000 + kSessionEndSaveMs + 1), 0u);
    EXPECT_FALSE(save.end());
    EXPECT_EQ(save.lockWaitMs(9000), kUiWaitMs);
    // With the journal after it, the save stays well inside Windows' 5 s.
    EXPECT_LE(kSessionEndSaveMs, 4000u - 1000u);
}

TEST(FinalSave, WritesThePairAloneAndLeavesAMissedOneToTheJournal) {
    test::TempFolder folder;
    UsageRecords records;
    records.addApplicationSamples(u"C:\\Apps\\editor.exe", 20);
    Settings settings;
    FinalSave save;

    save.begin(0);
    EXPECT_EQ(save.writePair(folder.folder(), kSixth, kSixth, records, settings), DailyPairResult::Written);
    EXPECT_TRUE(folder.exists("2026_07_12.csv") && folder.exists("2026_07_12.html"));
    // The history of every pair is the next start's work.
    EXPECT_FALSE(folder.exists("history.html"));
    EXPECT_FALSE(save.end());

    // Outside the final save a pair brings the history page with it.
    save.writePair(folder.folder(), kSixth, kSixth, records, settings);
    EXPECT_TRUE(folder.exists("history.html"));
    // A failure outside it is the tick's to retry, not the journal's.
    save.noteNotWritten();
    save.begin(0);
    EXPECT_FALSE(save.end());

    save.begin(0);
    EXPECT_EQ(save.writePair(folder.file("missing"), kSixth, kSixth, records, settings), DailyPairResult::NotWritten);
    EXPECT_TRUE(save.end());
    save.begin(0);
    save.noteNotWritten();  // the lock could not be had
    EXPECT_TRUE(save.end());
}

// The final save of a tick whose writer fails: nothing cleared.
TEST(FinalSave, RunSavesTheDayHeldAndKeepsTheTotalsWhenItCannot) {
    test::FakeDesktop desktop{test::kMidnight - 3600, u"Report", u"C:\\Apps\\editor.exe", {}};
    UsageRecords records;
    Settings settings;
    settings.saveDailyReports = 1;
    settings.awayTimeoutSeconds = INT32_MAX;
    struct Failing : TickActions {
        int writes = 0;
        bool writeDailyReports(const LocalTime&) override { return ++writes, false; }
    } actions;
    SamplingTick tick(records, settings, desktop, actions);
    tick.start(false);
    tick.run();
    tick.run();
    FinalSave save;
    save.run(tick);
    EXPECT_EQ(actions.writes, 1);
    EXPECT_FALSE(records.empty());
    EXPECT_FALSE(save.running());
}

}  // namespace
}  // namespace horalis
