#include "reporter/reporter_engine.h"

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "reports/daily_reports.h"
#include "temp_folder.h"

namespace horalis {
namespace {

using test::FakeDesktop;
using test::kDay;
using test::kMidnight;

class FakeSession : public ReporterSession {
public:
    bool mainRunning = false;
    bool lockFree = true;
    int locked = 0;
    bool mainPaused = false;
    bool mainProgramRunning() override { return mainRunning; }
    bool mainProgramPaused() override { return mainPaused; }
    bool withDailyReportLock(uint32_t, const std::function<bool()>& write) override {
        if (!lockFree) return false;
        ++locked;
        return write();
    }
};

class NoIcons final : public IconSource {
public:
    int addApplicationIcon(StringView) override { return 0; }
    int addDefaultIcon() override { return 0; }
    void removeAll() override {}
};

class ReporterEngineTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    FakeDesktop desktop{kMidnight - 60, u"Report.odt", u"C:\\Apps\\writer.exe", {}};
    FakeSession session;

    // Two samples a second from now until the clock reads `until`, with input
    // every second or none.
    void runUntil(ReporterEngine& engine, int32_t until, bool input = true) {
        for (int half = 0; desktop.now < until; ++half) {
            if (input && half % 2 == 0) engine.noteHookActivity();
            engine.tick();
            if (half % 2 == 1) ++desktop.now;
        }
    }
};

// The pair that Horalis.exe writes for the same lists: its window keeps them
// with the same core functions, sample by sample.
struct MainProgramLists {
    UsageRecords records;
    Settings settings;
    ListModel applications;
    ListModel titles;
    NoIcons icons;
    void add(StringView path, StringView title) {
        records.addSample(path, title);
        refreshApplicationList(applications, records, settings.showTimeInSeconds != 0, icons);
    }
};

TEST_F(ReporterEngineTest, WritesTheDailyPairOfHoralisAtMidnightThenStartsAgain) {
    folder.write("conf.dat", "0 0 1 300");  // daily reports off: the reporter writes them anyway
    ReporterEngine engine(folder.folder(), desktop, session);
    engine.start(true);
    EXPECT_EQ(engine.settings().saveDailyReports, 1);

    MainProgramLists expected;
    desktop.now = kMidnight - 40;
    runUntil(engine, kMidnight - 30);
    for (int i = 0; i < 20; ++i) expected.add(desktop.path, desktop.title);
    desktop.title = u"Budget.ods";
    desktop.path = u"C:\\Apps\\calc;\"sheet\".exe";
    runUntil(engine, kMidnight - 25);
    for (int i = 0; i < 10; ++i) expected.add(desktop.path, desktop.title);
    runUntil(engine, kMidnight);
    for (int i = 0; i < 50; ++i) expected.add(desktop.path, desktop.title);
    EXPECT_FALSE(folder.exists("2024_10_03.csv"));

    // The first tick of 00:00 writes the pair, clears, and counts its own sample.
    runUntil(engine, kMidnight + 1);
    ASSERT_TRUE(folder.exists("2024_10_03.csv"));
    ASSERT_TRUE(folder.exists("2024_10_03.html"));
    EXPECT_EQ(session.locked, 1);
    EXPECT_EQ(engine.records().applications().size(), 1u);

    test::TempFolder mainFolder;
    LocalTime moment, day;
    desktop.localTime(kMidnight, moment);
    desktop.localTime(kMidnight - 1, day);
    ASSERT_EQ(writeDailyReports(mainFolder.folder(), day, moment, expected.records, expected.settings),
              DailyPairResult::Written);
    EXPECT_EQ(folder.read("2024_10_03.csv"), mainFolder.read("2024_10_03.csv"));
    EXPECT_EQ(folder.read("2024_10_03.html"), mainFolder.read("2024_10_03.html"));
    EXPECT_NE(folder.read("2024_10_03.csv").find("Windows:"), std::string::npos);

    // The rest of the minute does nothing more; the next day has its own pair.
    runUntil(engine, kMidnight + 59);
    EXPECT_EQ(session.locked, 1);
    desktop.now = kMidnight + kDay - 2;
    runUntil(engine, kMidnight + kDay + 1);
    EXPECT_TRUE(folder.exists("2024_11_03.csv"));
    EXPECT_EQ(session.locked, 2);
}

TEST_F(ReporterEngineTest, SamplesWithTheIdleRuleAndTimeFormatOfConfDat) {
    folder.write("conf.dat", "0 1 0 5");  // seconds only, no titles, away after 5 s
    ReporterEngine engine(folder.folder(), desktop, session);
    engine.start(true);
    desktop.now = kMidnight - 30;
    engine.noteHookActivity();
    runUntil(engine, kMidnight - 10, false);
    const UsageRecords& records = engine.records();
    ASSERT_EQ(records.applications().size(), 2u);
    // 5 s after the input still counts as present (12 ticks), the next second
    // is idle (28 ticks); as in Horalis.exe the sample that creates a record
    // is not counted.
    EXPECT_EQ(records.applications()[0].executablePath, desktop.path);
    EXPECT_EQ(records.applications()[0].sampleCount, 11);
    EXPECT_EQ(records.applications()[1].executablePath, kIdleTimeKey);
    EXPECT_EQ(records.applications()[1].sampleCount, 27);

    runUntil(engine, kMidnight + 1, false);
    const std::string csv = folder.read("2024_10_03.csv");
    // Seconds only and no titles, as conf.dat says: the spreadsheet layout.
    EXPECT_EQ(csv, "Idle time;23\r\nC:\\Apps\\writer.exe;5\r\n");
}

TEST_F(ReporterEngineTest, LeavesThePairToHoralisWhenItRunsWithDailyReportsOn) {
    folder.write("conf.dat", "1 0 1 300");
    session.mainRunning = true;
    ReporterEngine engine(folder.folder(), desktop, session);
    engine.start(true);
    desktop.now = kMidnight - 5;
    runUntil(engine, kMidnight + 1);
    EXPECT_FALSE(folder.exists("2024_10_03.csv"));
    EXPECT_EQ(session.locked, 0);
    // Horalis.exe counts this time, so the reporter holds none of it.
    EXPECT_EQ(engine.records().applications()[0].sampleCount, 0);

    // Daily reports turned off in Horalis meanwhile: the reporter writes the next pair.
    folder.write("conf.dat", "0 0 1 300");
    desktop.now = kMidnight + kDay - 1;
    runUntil(engine, kMidnight + kDay + 1);
    EXPECT_TRUE(folder.exists("2024_11_03.csv"));
    EXPECT_EQ(session.locked, 1);
}

// Log-off: Horalis.exe has written its pair and ended; the reporter adds only
// the moments since, so the pair does not count the same time twice.
TEST_F(ReporterEngineTest, AtLogOffAddsOnlyWhatHoralisDidNotCount) {
    folder.write("conf.dat", "1 0 1 300");
    session.mainRunning = true;
    ReporterEngine engine(folder.folder(), desktop, session);
    engine.start(true);
    desktop.now = kMidnight - 3600;
    runUntil(engine, kMidnight - 3590);
    engine.saveBeforeEnd();  // Horalis.exe still there: it writes
    EXPECT_EQ(session.locked, 0);
    EXPECT_FALSE(folder.exists("2024_10_03.csv"));

    session.mainRunning = false;
    runUntil(engine, kMidnight - 3587);
    engine.saveBeforeEnd();
    EXPECT_EQ(session.locked, 1);
    DailyPairTotals pair;
    ASSERT_EQ(readDailyCsv(folder.read("2024_10_03.csv"), pair), PairReadResult::Read);
    ASSERT_EQ(pair.applications.size(), 1u);
    EXPECT_EQ(pair.applications[0].seconds, 2);  // three seconds, the first sample of a record uncounted
    EXPECT_TRUE(engine.records().empty());
}

// The journal holds the day while its pair cannot be written: the lists start
// the new day, and the time reaches its own day's pair once the lock is free.
TEST_F(ReporterEngineTest, APairThatCannotBeWrittenYetGetsItsTimeLaterAndNoOtherDayDoes) {
    folder.write("conf.dat", "0 1 1 300");
    ReporterEngine engine(folder.folder(), desktop, session);
    engine.start(true);
    desktop.now = kMidnight - 5;
    session.lockFree = false;  // Horalis.exe holds the lock past the wait
    runUntil(engine, kMidnight + 2);
    EXPECT_FALSE(folder.exists("2024_10_03.csv"));
    EXPECT_EQ(engine.records().applications()[0].sampleCount, 3);

    session.lockFree = true;  // tried again within a few ticks
    runUntil(engine, kMidnight + 4);
    DailyPairTotals ended, started;
    ASSERT_EQ(readDailyCsv(folder.read("2024_10_03.csv"), ended), PairReadResult::Read);
    EXPECT_EQ(ended.applications.at(0).seconds, 4);
    runUntil(engine, kMidnight + 61);
    engine.saveBeforeEnd();
    ASSERT_EQ(readDailyCsv(folder.read("2024_11_03.csv"), started), PairReadResult::Read);
    EXPECT_EQ(started.applications.at(0).seconds, 60);  // 61 s, the first sample of a record uncounted

    // A folder in the next pair's place: nothing is lost, the pair comes once it can.
    std::filesystem::remove(folder.path() / "2024_11_03.csv");
    std::filesystem::remove(folder.path() / "2024_11_03.html");
    std::filesystem::create_directories(folder.path() / "2024_11_03.csv");
    engine.saveBeforeEnd();
    EXPECT_FALSE(folder.exists("2024_11_03.html"));
    std::filesystem::remove(folder.path() / "2024_11_03.csv");
    runUntil(engine, kMidnight + 121);
    engine.saveBeforeEnd();
    ASSERT_EQ(readDailyCsv(folder.read("2024_11_03.csv"), started), PairReadResult::Read);
    EXPECT_EQ(started.applications.at(0).seconds, 120);
}

TEST_F(ReporterEngineTest, ALockedSessionIsIdleWhateverTheHooksSayUntilTheUnlock) {
    ReporterEngine engine(folder.folder(), desktop, session);
    engine.start(true);
    engine.sessionChanged(static_cast<uint32_t>(SessionEvent::Lock));
    runUntil(engine, desktop.now + 2);
    EXPECT_NE(engine.records().find(kIdleTimeKey), nullptr);
    EXPECT_EQ(engine.records().find(desktop.path), nullptr);
    engine.sessionChanged(static_cast<uint32_t>(SessionEvent::Unlock));
    runUntil(engine, desktop.now + 2);
    EXPECT_NE(engine.records().find(desktop.path), nullptr);
}


// rules.txt holds for the reporter too, read again within 30 s of a change;
// Horalis.exe's pause too, while it runs.
TEST_F(ReporterEngineTest, KeepsToTheRulesAndToThePauseOfARunningHoralis) {
    folder.write("conf.dat", "0 0 1 300");
    desktop.now = kMidnight - 3600;  // no 00:00 in this case
    ReporterEngine engine(folder.folder(), desktop, session);
    engine.start(true);
    desktop.title = u"Bank statement - Mozilla Firefox Private Browsing";  // a built-in rule
    runUntil(engine, desktop.now + 5);
    const ApplicationRecord* writer = engine.records().find(desktop.path);
    ASSERT_NE(writer, nullptr);
    ASSERT_EQ(writer->titles.size(), 1u);
    EXPECT_EQ(writer->titles[0].text, kPrivateWindowTitle);

    folder.write("rules.txt", "program writer.exe -> skip\n");
    runUntil(engine, desktop.now + 31);
    const int32_t counted = engine.records().find(desktop.path)->sampleCount;
    runUntil(engine, desktop.now + 5);
    EXPECT_EQ(engine.records().find(desktop.path)->sampleCount, counted);

    folder.write("rules.txt", "");
    session.mainPaused = true;  // a mark left by no running Horalis.exe means nothing
    runUntil(engine, desktop.now + 31);
    const int32_t resumed = engine.records().find(desktop.path)->sampleCount;
    EXPECT_GT(resumed, counted);
    session.mainRunning = true;
    runUntil(engine, desktop.now + 5, false);
    EXPECT_EQ(engine.records().find(desktop.path)->sampleCount, resumed);
    EXPECT_EQ(engine.records().find(kIdleTimeKey), nullptr);
}

}  // namespace
}  // namespace horalis
