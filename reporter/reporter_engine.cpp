#include "reporter/reporter_engine.h"

#include <utility>

#include "reports/daily_reports.h"

namespace horalis {

ReporterEngine::ReporterEngine(String dataFolder, Desktop& desktop, ReporterSession& session,
                               PresenceSignals* presence)
    : dataFolder_(std::move(dataFolder)),
      desktop_(desktop),
      session_(session),
      tick_(records_, settings_, desktop_, *this) {
    if (presence) presence_ = std::make_unique<PresenceWatch>(*presence);
    tick_.useRecordingFilter(&filter_);
    tick_.usePresence(presence_.get());
}

void ReporterEngine::start(bool hooksInstalled, std::function<void()> reinstallHooks) {
    Settings fromFile;
    loadSettings(fromFile, dataFolder_);
    useSettings(fromFile);
    nextSettings_ = settings_;
    loadRules();
    reinstallHooks_ = std::move(reinstallHooks);
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
    if (mainProgramWrites() && !records_.empty()) horalis::clearLists(records_, appModel_, titleModel_, icons_);
    // The pause is only asked of a running Horalis.exe: its mark ends with it.
    tick_.state().paused = mainWasRunning_ && session_.mainProgramPaused();
    tick_.run();
}

void ReporterEngine::useSettings(const Settings& fromFile) {
    settings_ = fromFile;
    settings_.saveDailyReports = 1;
}

bool ReporterEngine::writeDailyReports(const LocalTime& day) {
    // Read afresh: the user may have changed the options in Horalis since.
    Settings fromFile;
    loadSettings(fromFile, dataFolder_);
    nextSettings_ = fromFile;
    // Horalis.exe writes this pair itself; the reporter's totals end here too,
    // so that its next pair holds one day like the program's.
    if (fromFile.saveDailyReports != 0 && session_.mainProgramRunning()) return true;

    LocalTime now;
    if (!desktop_.localTime(desktop_.currentTime(), now)) return false;
    return session_.withDailyReportLock([&] {
        return horalis::writeDailyReports(dataFolder_, day, now, records_, settings_) != DailyPairResult::NotWritten;
    });
}

void ReporterEngine::clearLists() {
    horalis::clearLists(records_, appModel_, titleModel_, icons_);
    // The new day's texts are formatted as conf.dat now says.
    useSettings(nextSettings_);
}

void ReporterEngine::refreshApplicationList() {
    horalis::refreshApplicationList(appModel_, records_, settings_.showTimeInSeconds != 0, icons_);
}

}  // namespace horalis
