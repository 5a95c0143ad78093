#include "storage/file_retry.h"

#include <gtest/gtest.h>

#include <vector>

namespace horalis {
namespace {

TEST(FileRetry, PausesDoubleToSixteenMillisecondsAndNeverPassTheBudget) {
    RetrySchedule schedule(1000, 50);
    std::vector<uint32_t> pauses;
    uint64_t now = 1000;
    for (uint32_t pause = 0; schedule.nextPause(now, pause); now += pause) pauses.push_back(pause);
    EXPECT_EQ(pauses, (std::vector<uint32_t>{1, 2, 4, 8, 16, 16, 3}));
    EXPECT_EQ(now, 1050u);
    // A clock that stands still: the pauses alone end it.
    RetrySchedule still(1000, 50);
    uint32_t paused = 0;
    for (uint32_t pause = 0; still.nextPause(1000, pause);) paused += pause;
    EXPECT_EQ(paused, 50u);
    // Already past it (a slow try): no pause, no further try.
    RetrySchedule late(1000, 50);
    uint32_t pause = 0;
    EXPECT_FALSE(late.nextPause(1051, pause));
}

TEST(FileRetry, BudgetsNestAndTheDefaultStaysWellWithinATick) {
    EXPECT_EQ(HeldFileBudget::remainingMs(steadyMs()), kHeldFileRetryMs);
    EXPECT_LT(kHeldFileRetryMs, kUiWaitMs);
    {
        const HeldFileBudget session(3000);
        EXPECT_GT(HeldFileBudget::remainingMs(steadyMs()), 2000u);
        {
            const HeldFileBudget spent(0);
            EXPECT_EQ(HeldFileBudget::remainingMs(steadyMs()), 0u);
        }
        EXPECT_GT(HeldFileBudget::remainingMs(steadyMs()), 2000u);
        EXPECT_EQ(HeldFileBudget::remainingMs(steadyMs() + 5000), 0u);
    }
    EXPECT_EQ(HeldFileBudget::remainingMs(steadyMs()), kHeldFileRetryMs);
}

TEST(FileRetry, OnlyAHeldFileIsTriedAgainAndOnlyWithinTheBudget) {
    int tries = 0;
    EXPECT_TRUE(retryWhileHeld([&] { return ++tries < 3 ? Attempt::Held : Attempt::Done; }));
    EXPECT_EQ(tries, 3);

    tries = 0;
    EXPECT_FALSE(retryWhileHeld([&] { return ++tries, Attempt::Failed; }));
    EXPECT_EQ(tries, 1);

    // Held for good: a spent budget gives one try, the default a handful.
    const HeldFileBudget spent(0);
    tries = 0;
    EXPECT_FALSE(retryWhileHeld([&] { return ++tries, Attempt::Held; }));
    EXPECT_EQ(tries, 1);
}

TEST(FileRetry, HeldForGoodGivesUpAfterTheDefaultBudget) {
    int tries = 0;
    EXPECT_FALSE(retryWhileHeld([&] { return ++tries, Attempt::Held; }));
    // 1 + 2 + 4 + 8 + 16 + 9 ms of pauses: seven tries at most, and more than one.
    EXPECT_GT(tries, 1);
    EXPECT_LE(tries, 7);
}

}  // namespace
}  // namespace horalis
