#include "reporter/reporter_engine.h"

#include <utility>

#include "reports/daily_reports.h"

namespace horalis {

ReporterEngine::ReporterEngine(String dataFolder, Desktop& desktop, ReporterSession& session)
    : dataFolder_(std::move(dataFolder)),
      desktop_(desktop),
      session_(session),
      tick_(records_, settings_, desktop_, *this) {}

void ReporterEngine::start(bool hooksInstalled, std::function<void()> reinstallHooks) {
    Settings fromFile;
    loadSettings(fromFile, dataFolder_);
    useSettings(fromFile);
    nextSettings_ = settings_;
    reinstallHooks_ = std::move(reinstallHooks);
    tick_.start(hooksInstalled);
}

void ReporterEngine::useSettings(const Settings& fromFile) {
    settings_ = fromFile;
    settings_.saveDailyReports = 1;
}

bool ReporterEngine::writeDailyReports() {
    // Read afresh: the user may have changed the options in Horalis since.
    Settings fromFile;
    loadSettings(fromFile, dataFolder_);
    nextSettings_ = fromFile;
    // Horalis.exe writes this pair itself; the reporter's totals end here too,
    // so that its next pair holds one day like the program's.
    if (fromFile.saveDailyReports != 0 && session_.mainProgramRunning()) return true;

    LocalTime moment;
    if (!desktop_.localTime(desktop_.currentTime(), moment)) return false;
    ReportLists lists{appModel_, titleModel_, records_, settings_};
    return session_.withDailyReportLock([&] { return horalis::writeDailyReports(dataFolder_, moment, lists); });
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
