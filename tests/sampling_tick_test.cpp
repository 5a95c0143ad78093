#include "tracking/sampling_tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_desktop.h"

namespace horalis {
namespace {

using test::FakeDesktop;
using test::kDay;
using test::kMidnight;

class RecordingActions : public TickActions {
public:
    explicit RecordingActions(UsageRecords& records) : records_(records) {}
    std::vector<std::string> log;
    bool writeSucceeds = true;

    void destroySplash() override { log.push_back("splash"); }
    bool saveEndedDay(const LocalTime& day) override {
        log.push_back("write");
        days.push_back(day.day);
        return writeSucceeds;
    }
    std::vector<int> days;  // the day of the month of each pair written
    void clearTotals() override {
        log.push_back("clear");
        records_.clearAll();
    }
    void clearPointerTotals() override { log.push_back("reset"); }
    void countPointer(const CursorState& c) override {
        log.push_back("pointer:" + std::to_string(c.handle));
    }
    void refreshLists() override { log.push_back("refresh"); }
    void reinstallHooks() override { log.push_back("reinstall"); }

    size_t count(const std::string& what) const {
        size_t n = 0;
        for (const auto& entry : log) n += entry == what;
        return n;
    }

private:
    UsageRecords& records_;
};

class SamplingTickTest : public ::testing::Test {
protected:
    UsageRecords records;
    Settings settings;
    FakeDesktop desktop{kMidnight - 3600, u"Document - Editor", u"C:\\Apps\\editor.exe", {true, kCursorShowing, 0x1234}};
    RecordingActions actions{records};
    SamplingTick tick{records, settings, desktop, actions};

    void SetUp() override {
        tick.start(false);
        // Past the splash ticks, so the logs below hold only what the test is about.
        tick.state().splashTicks = 1;
        // Present throughout, except in the tests about the idle decision.
        settings.awayTimeoutSeconds = INT32_MAX;
    }
    // One tick at time t, with the log of that tick only.
    std::vector<std::string> tickAt(int64_t t) {
        desktop.now = t;
        actions.log.clear();
        tick.run();
        std::vector<std::string> out;
        for (auto& entry : actions.log) {
            if (entry != "splash") out.push_back(entry);
        }
        return out;
    }
    int32_t idleCount() const {
        const auto* idle = records.find(kIdleTimeKey);
        return idle ? idle->sampleCount + 1 : 0;  // samples seen, the first one included
    }
};

using Log = std::vector<std::string>;
const std::string kPointer = "pointer:" + std::to_string(0x1234);

TEST_F(SamplingTickTest, SplashClosesOnTheSecondTick) {
    tick.state().splashTicks = 0;
    tick.run();
    EXPECT_EQ(actions.count("splash"), 0u);
    EXPECT_EQ(tick.state().splashTicks, 1);
    tick.run();
    tick.run();
    EXPECT_EQ(actions.count("splash"), 2u);
    EXPECT_EQ(tick.state().splashTicks, 1);
}

TEST_F(SamplingTickTest, AwayOnlyStrictlyAfterTheTimeout) {
    settings.awayTimeoutSeconds = 300;
    const int64_t t = desktop.now;
    desktop.extraMs = 900;
    EXPECT_EQ(tickAt(t + 300), (Log{kPointer, "refresh"}));
    EXPECT_EQ(idleCount(), 0);
    desktop.extraMs = 0;
    EXPECT_EQ(tickAt(t + 301), (Log{"refresh"}));
    EXPECT_EQ(idleCount(), 1);
    // An idle tick looks at neither the pointer nor the foreground window.
    EXPECT_EQ(desktop.cursorQueries, 1);
    EXPECT_EQ(desktop.foregroundQueries, 1);
    ASSERT_NE(records.find(kIdleTimeKey), nullptr);
    EXPECT_EQ(records.find(kIdleTimeKey)->titles[0].text, u"");
}

TEST_F(SamplingTickTest, IdleDecisionEdges) {
    settings.awayTimeoutSeconds = 0;
    const int64_t t = desktop.now;
    tickAt(t);
    EXPECT_EQ(idleCount(), 0);
    tickAt(t + 1);
    EXPECT_EQ(idleCount(), 1);

    // A negative timeout makes even a gap of 0 away.
    settings.awayTimeoutSeconds = -1;
    tick.noteHookActivity();
    tickAt(desktop.now);
    EXPECT_EQ(idleCount(), 2);
}

TEST_F(SamplingTickTest, WallClockSetBackOrForwardNeitherHidesNorInventsAwayTime) {
    settings.awayTimeoutSeconds = 300;
    const int64_t t = desktop.now;
    desktop.wallShift = 86400;
    tick.noteHookActivity();
    tickAt(t + 10);
    desktop.wallShift = -3600;
    tickAt(t + 20);
    EXPECT_EQ(idleCount(), 0);
    tickAt(t + 321);
    EXPECT_EQ(idleCount(), 1);
}

TEST_F(SamplingTickTest, SessionInputCountsWithTheHooksOnlyAndTheLaterOfTheTwoWins) {
    settings.awayTimeoutSeconds = 300;
    const int64_t t = desktop.now;
    desktop.sessionInput = static_cast<uint64_t>(t + 200) * 1000;
    tickAt(t + 301);
    EXPECT_EQ(idleCount(), 1);  // without kbdh.dll as ever: only its messages count

    tick.start(true);  // at t + 301
    desktop.sessionInput = static_cast<uint64_t>(t + 500) * 1000;
    tickAt(t + 700);
    EXPECT_EQ(idleCount(), 1);
    // An older session record does not move the last input back.
    desktop.sessionInput = static_cast<uint64_t>(t) * 1000;
    tickAt(t + 801);
    EXPECT_EQ(idleCount(), 2);
}

TEST_F(SamplingTickTest, QuietHooksAreReinstalledAtMostOnceAMinute) {
    EXPECT_FALSE(hooksNeedReinstall(60000, 0, 2000));   // input within the throttle's reach
    EXPECT_TRUE(hooksNeedReinstall(60000, 0, 2001));
    EXPECT_FALSE(hooksNeedReinstall(59999, 0, 50000));  // not a minute yet

    tick.start(true);
    const int64_t t = desktop.now;
    int reinstalls = 0;
    // The user works on for five minutes where the hooks see nothing.
    for (int64_t s = t; s < t + 300; ++s) {
        desktop.sessionInput = static_cast<uint64_t>(s) * 1000;
        const Log log = tickAt(s);
        reinstalls += static_cast<int>(std::count(log.begin(), log.end(), "reinstall"));
    }
    EXPECT_EQ(reinstalls, 4);  // at t + 60, 120, 180, 240

    // Hooks that report keep their place, however much the session saw.
    tick.noteHookActivity();
    for (int64_t s = t + 300; s < t + 400; ++s) {
        desktop.sessionInput = static_cast<uint64_t>(s) * 1000;
        if (s % 30 == 0) tick.noteHookActivity();
        EXPECT_EQ(tickAt(s), (Log{kPointer, "refresh"}));
    }
}

TEST_F(SamplingTickTest, LockedOrDisconnectedIsAwayUntilUnlockWhichCountsAsInput) {
    settings.awayTimeoutSeconds = 300;
    tick.start(true);
    const int64_t t = desktop.now;
    desktop.sessionInput = static_cast<uint64_t>(t) * 1000;
    tick.sessionChanged(static_cast<uint32_t>(SessionEvent::Lock));
    EXPECT_EQ(tickAt(t), (Log{"refresh"}));
    tick.sessionChanged(static_cast<uint32_t>(SessionEvent::ConsoleConnect));
    tick.sessionChanged(5);  // a log-on notification changes nothing
    tickAt(t + 100);
    EXPECT_EQ(idleCount(), 2);
    desktop.now = t + 1000;
    tick.sessionChanged(static_cast<uint32_t>(SessionEvent::Unlock));
    tickAt(t + 1000);
    EXPECT_EQ(idleCount(), 2);
    tickAt(t + 1300);
    EXPECT_EQ(idleCount(), 2);  // the unlock was the last input, 300 s ago

    tick.sessionChanged(static_cast<uint32_t>(SessionEvent::RemoteDisconnect));
    tickAt(t + 1301);
    EXPECT_EQ(idleCount(), 3);
    // Back to a session that was never locked: no unlock follows.
    tick.sessionChanged(static_cast<uint32_t>(SessionEvent::RemoteConnect));
    desktop.sessionInput = static_cast<uint64_t>(t + 1302) * 1000;
    tickAt(t + 1302);
    EXPECT_EQ(idleCount(), 3);
}

TEST_F(SamplingTickTest, PresentTickCountsPointerThenForegroundSample) {
    EXPECT_EQ(tickAt(desktop.now), (Log{kPointer, "refresh"}));
    tickAt(desktop.now);
    const auto* app = records.find(u"C:\\Apps\\editor.exe");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->sampleCount, 1);
    EXPECT_EQ(app->titles[0].text, u"Document - Editor");
}

TEST_F(SamplingTickTest, DroppedSamplesStillCountThePointer) {
    desktop.foreground = 0;
    EXPECT_EQ(tickAt(desktop.now), (Log{kPointer}));
    desktop.foreground = 0x10;
    desktop.windowValid = false;
    EXPECT_EQ(tickAt(desktop.now), (Log{kPointer}));
    desktop.windowValid = true;
    desktop.identifies = false;
    EXPECT_EQ(tickAt(desktop.now), (Log{kPointer}));
    EXPECT_TRUE(records.empty());
}

TEST_F(SamplingTickTest, RolloverAtMidnightPrecedesTheSampleOfThatTick) {
    settings.saveDailyReports = 1;
    tickAt(kMidnight - 1);
    tickAt(kMidnight - 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(tickAt(kMidnight), (Log{"write", "clear", "reset", kPointer, "refresh"}));
    EXPECT_EQ(actions.days, std::vector<int>{9});  // the day that ended
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records.applications()[0].sampleCount, 0);  // created anew by that tick
    EXPECT_EQ(tickAt(kMidnight + 59), (Log{kPointer, "refresh"}));
    EXPECT_EQ(tickAt(kMidnight + 60), (Log{kPointer, "refresh"}));
}

TEST_F(SamplingTickTest, NothingAtMidnightWithDailyReportsOff) {
    tickAt(kMidnight - 1);
    EXPECT_EQ(tickAt(kMidnight), (Log{kPointer, "refresh"}));
    tick.saveDayNow();
    EXPECT_EQ(actions.count("write"), 0u);
    EXPECT_EQ(records.applications()[0].sampleCount, 1);
}

// The other writer holds the lock for a moment: the next ticks try again for
// ten seconds, the ended day's pair and not the new day's.
TEST_F(SamplingTickTest, FailedDailyWriteIsTriedAgainForTenSecondsThenKeepsTheTotals) {
    settings.saveDailyReports = 1;
    actions.writeSucceeds = false;
    tickAt(kMidnight - 1);
    EXPECT_EQ(tickAt(kMidnight), (Log{"write", kPointer, "refresh"}));
    EXPECT_EQ(records.applications()[0].sampleCount, 1);
    EXPECT_EQ(tickAt(kMidnight + 9), (Log{"write", kPointer, "refresh"}));
    // No more tries after that: the totals go into the next pair.
    EXPECT_EQ(tickAt(kMidnight + 10), (Log{kPointer, "refresh"}));
    EXPECT_EQ(tickAt(kMidnight + 30), (Log{kPointer, "refresh"}));
    EXPECT_EQ(actions.days, (std::vector<int>{actions.days[0], actions.days[0]}));

    // Freed within the ten seconds: written and cleared on that tick.
    actions.writeSucceeds = false;
    tickAt(kMidnight + kDay);
    actions.writeSucceeds = true;
    EXPECT_EQ(tickAt(kMidnight + kDay + 1), (Log{"write", "clear", "reset", kPointer, "refresh"}));
    EXPECT_EQ(actions.days.back(), actions.days[0] + 1);
    EXPECT_EQ(tickAt(kMidnight + kDay + 2), (Log{kPointer, "refresh"}));
}

// A start in the 00:00 minute, or the switch turned on in it, ends no day:
// the pair of the day before may already hold its time.
TEST_F(SamplingTickTest, OnlyALaterDateEndsTheDay) {
    settings.saveDailyReports = 1;
    tickAt(kMidnight + 5);
    EXPECT_EQ(actions.count("write"), 0u);
    settings.saveDailyReports = 0;
    tickAt(kMidnight + kDay + 5);
    settings.saveDailyReports = 1;
    tickAt(kMidnight + kDay + 10);
    EXPECT_EQ(actions.count("write"), 0u);
    desktop.localFails = true;
    EXPECT_EQ(tickAt(kMidnight + 2 * kDay), (Log{kPointer, "refresh"}));
}

// The clock set back across 00:00 (by hand, a time zone to the west): nothing
// is written or cleared, and the totals stay with the later day, whose pair
// is written when a date after it comes.
TEST_F(SamplingTickTest, ClockSetBackWritesAndClearsNothing) {
    settings.saveDailyReports = 1;
    tickAt(kMidnight - 10);
    tickAt(kMidnight + 10);
    EXPECT_EQ(actions.days, std::vector<int>{9});
    for (int32_t t : {kMidnight - 9000, kMidnight - 1, kMidnight, kMidnight + 3600, kMidnight - 5})
        EXPECT_EQ(tickAt(t), (Log{kPointer, "refresh"}));
    EXPECT_EQ(records.applications()[0].sampleCount, 5);
    EXPECT_EQ(tickAt(kMidnight + kDay).front(), "write");
    EXPECT_EQ(actions.days, (std::vector<int>{9, 10}));
}

TEST_F(SamplingTickTest, SaveDayNowWritesTheDayHeldAndClears) {
    settings.saveDailyReports = 1;
    tickAt(kMidnight + 3600);
    tickAt(kMidnight - 600);  // set back: still the day of kMidnight
    actions.log.clear();
    tick.saveDayNow();
    EXPECT_EQ(actions.log, (Log{"write", "clear", "reset"}));
    EXPECT_EQ(actions.days, std::vector<int>{10});
    EXPECT_TRUE(records.empty());

    // Woken after 00:00 and ended at once: the day before first, then the new one.
    tickAt(kMidnight + 7200);
    desktop.now = kMidnight + kDay + 60;
    tick.saveDayNow();
    EXPECT_EQ(actions.days, (std::vector<int>{10, 10, 11}));
}

TEST_F(SamplingTickTest, SleepOverMidnightRollsOverOnWaking) {
    settings.saveDailyReports = 1;
    tickAt(kMidnight - 10);
    EXPECT_EQ(tickAt(kMidnight + 7 * 3600), (Log{"write", "clear", "reset", kPointer, "refresh"}));
    tickAt(kMidnight + 7 * 3600 + 1);
    tickAt(kMidnight + 8 * 3600);
    EXPECT_EQ(actions.count("write"), 0u);
    desktop.now = kMidnight + 3 * kDay + 10;  // three days asleep: the pair is the one of the day last seen
    tick.run();
    EXPECT_EQ(actions.days, (std::vector<int>{9, 10}));
}

TEST_F(SamplingTickTest, OneRolloverWhenTheDateChangesAtMidnight) {
    settings.saveDailyReports = 1;
    actions.log.clear();
    for (int64_t t = kMidnight - 5; t < kMidnight + 120; ++t) {
        desktop.now = t;
        tick.run();
    }
    EXPECT_EQ(actions.count("write"), 1u);
}

TEST_F(SamplingTickTest, NoDateChangeOnTheFirstTickOrForDaysWithTheSwitchOff) {
    settings.saveDailyReports = 1;
    EXPECT_EQ(tickAt(kMidnight - 10 * 3600), (Log{kPointer, "refresh"}));
    settings.saveDailyReports = 0;
    tickAt(kMidnight + 9 * 3600);
    settings.saveDailyReports = 1;
    EXPECT_EQ(tickAt(kMidnight + 9 * 3600 + 1), (Log{kPointer, "refresh"}));
}

// Asleep from one 00:00 to the next: the date moved on all the same.
TEST_F(SamplingTickTest, SleepOfAWholeDayFromMidnightToMidnight) {
    settings.saveDailyReports = 1;
    tickAt(kMidnight - 5);
    EXPECT_EQ(tickAt(kMidnight + 5).front(), "write");
    EXPECT_EQ(tickAt(kMidnight + kDay + 20).front(), "write");
}


// Paused, nothing is counted, neither the window nor away time nor the
// pointer; the day still ends at 00:00 as ever.
TEST_F(SamplingTickTest, PausedCountsNothingButTheDayStillEnds) {
    settings.saveDailyReports = 1;
    tickAt(kMidnight - 1000);
    settings.awayTimeoutSeconds = 300;
    tick.state().paused = true;
    EXPECT_EQ(tickAt(kMidnight - 999), Log{});
    EXPECT_EQ(tickAt(kMidnight - 10), Log{});  // long past the away timeout
    EXPECT_EQ(tickAt(kMidnight), (Log{"write", "clear", "reset"}));
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(desktop.foregroundQueries, 1);
    tick.state().paused = false;
    tick.noteHookActivity();
    EXPECT_EQ(tickAt(kMidnight + 1), (Log{kPointer, "refresh"}));
}

TEST_F(SamplingTickTest, RulesHideOrSkipBeforeTheRecordsSeeTheSample) {
    RecordingFilter filter;
    filter.setRules({{RuleTarget::Title, u"Private Browsing", RuleAction::HideTitle, {}},
                     {RuleTarget::Program, u"game.exe", RuleAction::DontRecord, {}}});
    tick.useRecordingFilter(&filter);
    desktop.title = u"Bank statement - Mozilla Firefox Private Browsing";
    desktop.path = u"C:\\Firefox\\firefox.exe";
    tickAt(desktop.now);
    EXPECT_EQ(tickAt(desktop.now), (Log{kPointer, "refresh"}));
    const auto* firefox = records.find(desktop.path);
    ASSERT_NE(firefox, nullptr);
    ASSERT_EQ(firefox->titles.size(), 1u);
    EXPECT_EQ(firefox->titles[0].text, kPrivateWindowTitle);
    EXPECT_EQ(firefox->sampleCount, 1);

    desktop.path = u"C:\\Games\\game.exe";
    desktop.title = u"Level 3";
    // Like a pause: nothing counted, the pointer shape neither, nor away time.
    EXPECT_EQ(tickAt(desktop.now), Log{});
    EXPECT_EQ(records.find(desktop.path), nullptr);
    EXPECT_EQ(records.size(), 1u);
    settings.awayTimeoutSeconds = 5;
    tickAt(desktop.now + 3600);
    EXPECT_EQ(records.find(kIdleTimeKey), nullptr);
    desktop.path = u"C:\\Firefox\\firefox.exe";
    tickAt(desktop.now + 1);
    EXPECT_NE(records.find(kIdleTimeKey), nullptr);
}

class FakeSignals : public PresenceSignals {
public:
    bool sound = false;
    bool screen = false;
    int soundReads = 0;
    int screenReads = 0;
    bool foregroundPlaysSound() override {
        ++soundReads;
        return sound;
    }
    bool screenHeld() override {
        ++screenReads;
        return screen;
    }
};

// Watching without input: not away while a signal holds; the timeout counts
// from the last moment one held. Off, the signals are never read.
TEST_F(SamplingTickTest, PresenceSignalsHoldOffTheAwayTimeoutOnlyWhenOn) {
    FakeSignals signals;
    PresenceWatch presence(signals);
    tick.usePresence(&presence);
    settings.awayTimeoutSeconds = 10;
    const int64_t t = desktop.now;
    signals.sound = true;
    tickAt(t + 11);
    EXPECT_EQ(idleCount(), 1);
    EXPECT_EQ(signals.soundReads + signals.screenReads, 0);

    presence.setEnabled(true);
    tick.noteHookActivity();  // at t + 11
    for (int64_t s = t + 12; s <= t + 100; ++s) {
        desktop.now = s;
        tick.run();
        desktop.extraMs = 500;  // the second tick of each second
        tick.run();
        desktop.extraMs = 0;
    }
    EXPECT_EQ(idleCount(), 1);
    EXPECT_EQ(signals.soundReads, 89);  // once a second
    signals.sound = false;
    signals.screen = true;  // a full-screen video, sound or none
    tickAt(t + 150);
    EXPECT_EQ(idleCount(), 1);
    signals.screen = false;  // ended by t + 151
    tickAt(t + 160);
    EXPECT_EQ(idleCount(), 1);
    tickAt(t + 161);
    EXPECT_EQ(idleCount(), 2);
}

}  // namespace
}  // namespace horalis
