// The main window's day files: the journal the tick appends to each minute,
// and the fold that writes the day records and the daily pair from it.
#include "reports/daily_report_lock.h"
#include "reports/history.h"
#include "storage/data_folder.h"
#include "storage/file_retry.h"
#include "ui/main_dlg.h"

namespace horalis {

// The day's time is in the journal already; the pair is written from it.
// Once the journal holds everything the totals may go, even when the pair
// could not be written now: the next fold puts the time into its own day.
bool CMainDlg::saveEndedDay(const LocalTime& day) {
    foldJournals(true, &day);
    return !journal_->hasUnwritten();
}

void CMainDlg::appendJournal(const LocalTime& day, int minuteOfDay) {
    if (!journal_ || settings_.saveDailyReports == 0) return;
    journal_->append(records_, tick_.journal(), day, minuteOfDay);
}

void CMainDlg::foldJournals(bool alwaysHistory, const LocalTime* pairDay) {
    const String folder = dataFolderPath();
    // HoralisReporter.exe, or this user's copy in another session, may be
    // writing the same pair (see reporter/reporter_engine.h).
    const DailyReportLock lock(folder, finalSave_.lockWaitMs(steadyMs()));
    if (!lock.held()) {
        foldRetry_.note(false);
        finalSave_.noteNotWritten();
        return;
    }
    finalSave_.fold([&](bool withHistory) {
        const FoldResult result = journal_->fold(localTimeNow(), settings_, pairDay);
        foldRetry_.note(result.complete);
        if (withHistory && (alwaysHistory || !result.days.empty())) writeHistoryPage(folder, localTimeNow());
        return result.complete;
    });
}

}  // namespace horalis
