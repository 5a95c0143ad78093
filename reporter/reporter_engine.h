#pragma once
// What HoralisReporter.exe does without a window of its own: the same tick,
// records as Horalis.exe, and the daily pair written at 00:00.
// Pointer shapes are not counted: no report holds them.
//
// Who writes the daily pair. Both programs sample the same desktop and both
// read conf.dat from the same data folder, so at 00:00 both may want to write
// the same two files. The rule: when Horalis.exe runs in this session with
// daily reports on, it writes them and the reporter only clears its totals;
// otherwise the reporter writes them. Both take one named lock around writing
// the pair, so that where the rule cannot see (Horalis.exe started or ended
// during that minute) the two never write at the same moment. A pair may be
// written more than once a day (log-off, Horalis.exe's "Exit") and each
// write adds to it, so the reporter must not hold time that Horalis.exe
// counts as well: while Horalis.exe runs with daily reports on, the reporter
// drops its totals at every tick. When Horalis.exe ends first at a log-off,
// the reporter's pair then adds only the moments since.
//
// The reporter keeps to the user's choices as Horalis.exe does: rules.txt
// (read at start and every 30 s, so a change made in the rules dialog soon
// applies), and "Pause recording" while Horalis.exe is paused.
#include <functional>
#include <memory>

#include "reports/day_journal.h"
#include "reports/report_writers.h"
#include "reports/session_end.h"
#include "storage/data_folder.h"
#include "storage/settings.h"
#include "tracking/sampling_tick.h"

namespace horalis {

// The rest of the session, as far as the reporter needs to know it at 00:00.
class ReporterSession {
public:
    virtual ~ReporterSession() = default;
    // Horalis.exe runs in this session.
    virtual bool mainProgramRunning() = 0;
    // Runs write while holding the daily-report lock that both programs take,
    // waiting at most waitMs for it; false, without running it, when the lock
    // cannot be had.
    virtual bool withDailyReportLock(uint32_t waitMs, const std::function<bool()>& write) = 0;
    // Horalis.exe runs with "Pause recording" on.
    virtual bool mainProgramPaused() { return false; }
};

class ReporterEngine final : private TickActions {
public:
    ReporterEngine(String dataFolder, Desktop& desktop, ReporterSession& session,
                   RecordOwner owner = {thisComputerName(), thisUserName()}, String runId = newRunId());
    // The signals for "Count watching video and calls as present"; none by
    // default. Call before start.
    void usePresenceSignals(PresenceSignals& signals);

    // Reads conf.dat, folds what earlier runs left in their journals into
    // their pairs and starts the idle clock, as the main window does when
    // its timer starts; reinstallHooks is called when the hooks go quiet.
    void start(bool hooksInstalled, std::function<void()> reinstallHooks = {});
    void tick();
    // Log-off, shutdown, or the setup closing the reporter: the pair is
    // written now, by the same rule, within the time Windows allows
    // (reports/session_end.h); what cannot be goes to the journal.
    void saveBeforeEnd() { finalSave_.run(tick_); }
    // The computer goes to sleep: what was counted goes into the journal.
    void flushJournal() { tick_.flushJournal(); }
    // The hook library's activity message.
    void noteHookActivity() { tick_.noteHookActivity(); }
    // WM_WTSSESSION_CHANGE.
    void sessionChanged(uint32_t event) { tick_.sessionChanged(event); }

    const UsageRecords& records() const { return records_; }
    const Settings& settings() const { return settings_; }

private:
    bool saveEndedDay(const LocalTime& day) override;
    void appendJournal(const LocalTime& day, int minuteOfDay) override;
    // Under the lock; false when the lock could not be had.
    bool foldJournals(bool alwaysHistory, const LocalTime* pairDay = nullptr);
    // Horalis.exe runs with daily reports on: its pair holds this time.
    bool mainProgramWrites();
    void clearTotals() override;
    void reinstallHooks() override {
        if (reinstallHooks_) reinstallHooks_();
    }

    // The settings the reporter samples with: conf.dat's, but daily reports
    // always on, since writing them is what the reporter is there for.
    void useSettings(const Settings& fromFile);
    void loadRules();

    String dataFolder_;
    Desktop& desktop_;
    ReporterSession& session_;
    UsageRecords records_;
    DayJournal journal_;
    FoldRetry foldRetry_;  // a fold cut short is tried again on later ticks
    Settings settings_;
    Settings nextSettings_;  // conf.dat as read at the last rollover, used after the clear
    // conf.dat's daily-report switch as last read while Horalis.exe ran, and
    // the ticks until it is read again.
    bool mainSavesDaily_ = false;
    bool mainWasRunning_ = false;
    int ticksToConfRead_ = 0;
    int ticksToRulesRead_ = 0;
    RecordingFilter filter_;
    std::unique_ptr<PresenceWatch> presence_;
    SamplingTick tick_;
    FinalSave finalSave_;
    std::function<void()> reinstallHooks_;
};

}  // namespace horalis
