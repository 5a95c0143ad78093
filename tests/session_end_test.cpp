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

TEST(FinalSave, FoldsWithoutTheHistoryAndLeavesAMissedPairToTheJournal) {
    FinalSave save;
    bool history = false;
    auto folding = [&](bool complete) {
        return [&, complete](bool withHistory) {
            history = withHistory;
            return complete;
        };
    };
    save.begin(0);
    EXPECT_TRUE(save.fold(folding(true)));
    // The history of every day is the next start's work.
    EXPECT_FALSE(history);
    EXPECT_FALSE(save.end());

    // Outside the final save a pair brings the history page with it, and a
    // failure is the tick's to retry, not the journal's.
    EXPECT_FALSE(save.fold(folding(false)));
    EXPECT_TRUE(history);
    save.begin(0);
    EXPECT_FALSE(save.end());

    save.begin(0);
    EXPECT_FALSE(save.fold(folding(false)));
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
        bool saveEndedDay(const LocalTime&) override { return ++writes, false; }
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
