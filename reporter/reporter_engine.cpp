#include "reporter/reporter_engine.h"

#include <utility>

#include "reports/daily_reports.h"
#include "reports/history.h"

namespace horalis {

ReporterEngine::ReporterEngine(String dataFolder, Desktop& desktop, ReporterSession& session, RecordOwner owner,
                               String runId)
    : dataFolder_(std::move(dataFolder)),
      desktop_(desktop),
      session_(session),
      journal_(dataFolder_, std::move(owner), std::move(runId)),
      tick_(records_, settings_, desktop_, *this) {
    tick_.useRecordingFilter(&filter_);
}

void ReporterEngine::usePresenceSignals(PresenceSignals& signals) {
    presence_ = std::make_unique<PresenceWatch>(signals);
    tick_.usePresence(presence_.get());
}

void ReporterEngine::start(bool hooksInstalled, std::function<void()> reinstallHooks) {
    Settings fromFile;
    loadSettings(fromFile, dataFolder_);
    useSettings(fromFile);
    nextSettings_ = settings_;
    loadRules();
    reinstallHooks_ = std::move(reinstallHooks);
    if (journalsWaiting(dataFolder_, journal_.owner())) foldJournals(false);
    tick_.start(hooksInstalled);
}

namespace {
// While Horalis.exe runs, conf.dat is read again this often (30 s): the
// switch only changes through its Options dialog. rules.txt too, always.
constexpr int kConfReadTicks = 60;
}  // namespace

void ReporterEngine::loadRules() {
    const RuleFile file = loadRuleFile(dataFolder_);
    filter_.setRules(file.rules);
    if (presence_) presence_->setEnabled(file.countPresence);
    ticksToRulesRead_ = kConfReadTicks;
}

bool ReporterEngine::mainProgramWrites() {
    const bool running = session_.mainProgramRunning();
    if (running && (!mainWasRunning_ || --ticksToConfRead_ <= 0)) {
        Settings fromFile;
        loadSettings(fromFile, dataFolder_);
        mainSavesDaily_ = fromFile.saveDailyReports != 0;
        ticksToConfRead_ = kConfReadTicks;
    }
    mainWasRunning_ = running;
    return running && mainSavesDaily_;
}

void ReporterEngine::tick() {
    if (--ticksToRulesRead_ <= 0) loadRules();
    if (mainProgramWrites() && !records_.empty()) {
        records_.clearAll();
        tick_.journal().forget();
    }
    // The pause is only asked of a running Horalis.exe: its mark ends with it.
    tick_.state().paused = mainWasRunning_ && session_.mainProgramPaused();
    tick_.run();
    if (foldRetry_.due()) foldJournals(false);
}

void ReporterEngine::useSettings(const Settings& fromFile) {
    settings_ = fromFile;
    settings_.saveDailyReports = 1;
}

bool ReporterEngine::saveEndedDay(const LocalTime& day) {
    // Read afresh: the user may have changed the options in Horalis since.
    Settings fromFile;
    loadSettings(fromFile, dataFolder_);
    nextSettings_ = fromFile;
    // Horalis.exe writes this pair itself; the reporter's totals end here too,
    // so that its next pair holds one day like the program's.
    if (fromFile.saveDailyReports != 0 && session_.mainProgramRunning()) return true;

    // The time is safe once the journal holds it; a pair not written now is
    // written by the next fold, into its own day.
    foldJournals(true, &day);
    return !journal_.hasUnwritten();
}

void ReporterEngine::appendJournal(const LocalTime& day, int minuteOfDay) {
    journal_.append(records_, tick_.journal(), day, minuteOfDay);
}

bool ReporterEngine::foldJournals(bool alwaysHistory, const LocalTime* pairDay) {
    LocalTime now;
    if (!desktop_.localTime(desktop_.currentTime(), now)) {
        foldRetry_.note(false);
        return false;
    }
    const bool locked = session_.withDailyReportLock(finalSave_.lockWaitMs(steadyMs()), [&] {
        return finalSave_.fold([&](bool withHistory) {
            const FoldResult result = journal_.fold(now, settings_, pairDay);
            foldRetry_.note(result.complete);
            if (withHistory && (alwaysHistory || !result.days.empty())) writeHistoryPage(dataFolder_, now);
            return result.complete;
        });
    });
    if (!locked) {
        foldRetry_.note(false);
        finalSave_.noteNotWritten();
    }
    return locked;
}

void ReporterEngine::clearTotals() {
    records_.clearAll();
    tick_.journal().forget();
    // The new day's texts are formatted as conf.dat now says.
    useSettings(nextSettings_);
}

}  // namespace horalis
