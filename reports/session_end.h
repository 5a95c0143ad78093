#pragma once
// The last save of a run that Windows is about to end: a log-off, a shutdown,
// Restart Manager closing the program for an update, the setup closing the
// reporter. Windows allows each program about 5 s per message
// (WM_QUERYENDSESSION, then WM_ENDSESSION) before it ends it, also when it
// has no window to show, so WM_QUERYENDSESSION is answered at once and the
// pair is written at WM_ENDSESSION within the budget below. What cannot be
// written in that time (the other writer holds the lock, a file stays held)
// goes to the day's journal, which the next start folds into the pair.
#include <cstdint>

#include "storage/file_retry.h"
#include "tracking/sampling_tick.h"

namespace horalis {

// What Windows shows for the program while the final save runs.
inline constexpr StringView kFinalSaveReason = u"Saving today's activity";

// The whole save, the wait for the lock included: with the journal after it,
// well within Windows' 5 s.
inline constexpr uint32_t kSessionEndSaveMs = 3000;
// Of which the longest wait for the other writer's lock, so that the files
// keep time for their own retries.
inline constexpr uint32_t kSessionEndLockMs = 1500;

// The waits of one pair write: a tick's, or those of the final save while
// it runs.
class FinalSave {
public:
    // The final save: the day so far into its pair, else into the journal.
    void run(SamplingTick& tick);

    // Between them the final save runs (nowMs: steadyMs()); end() is true
    // when a pair write failed meanwhile, leaving its time to the journal.
    void begin(uint64_t nowMs) {
        running_ = true;
        startMs_ = nowMs;
        pairMissed_ = false;
    }
    bool end() {
        running_ = false;
        return pairMissed_;
    }
    bool running() const { return running_; }

    // The longest wait for the daily-report lock now.
    uint32_t lockWaitMs(uint64_t nowMs) const;
    // The held-file budget now (HeldFileBudget).
    uint32_t fileWaitMs(uint64_t nowMs) const;

    // Runs a fold of the journals as a tick does (withHistory: history.html
    // after it) or, during the final save, the pairs alone: rebuilding the
    // history from every day is the next start's work. fold(withHistory) is
    // true when everything it owed is written; a failure is noted.
    template <class Fold>
    bool fold(Fold&& fold) {
        const HeldFileBudget files(fileWaitMs(steadyMs()));
        const bool complete = fold(!running_);
        if (!complete) noteNotWritten();
        return complete;
    }
    // The lock could not be had: nothing was written.
    void noteNotWritten() { pairMissed_ = pairMissed_ || running_; }

private:
    uint32_t leftOf(uint32_t budgetMs, uint64_t nowMs) const;
    bool running_ = false;
    bool pairMissed_ = false;
    uint64_t startMs_ = 0;
};

}  // namespace horalis
