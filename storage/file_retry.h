#pragma once
// Files that another program holds for a moment. Antivirus scanners, the
// search indexer, backup tools and a spreadsheet with a CSV open all keep
// files open, most of them only briefly: opening or replacing such a file is
// tried again for a bounded time, short on the user-interface thread (a later
// tick tries again), longer while the session ends and seconds are to spare.
#include <cstdint>

namespace horalis {

// The longest the user-interface thread waits for anything held by another
// program (a file, the daily-report lock): about a fifth of a tick.
inline constexpr uint32_t kUiWaitMs = 100;
// What a held file gets unless a HeldFileBudget gives it more: well within kUiWaitMs.
inline constexpr uint32_t kHeldFileRetryMs = 40;

// A monotonic clock in milliseconds, for budgets only: the one the tick
// uses (GetTickCount64 on Windows).
uint64_t steadyMs();

// The pauses between tries at something held: 1, 2, 4 ... 16 ms, then 16 ms
// each, none reaching past the budget counted from the first try.
class RetrySchedule {
public:
    RetrySchedule(uint64_t startMs, uint32_t budgetMs) : deadline_(startMs + budgetMs), budget_(budgetMs) {}

    // The pause before the next try, at nowMs; false when the budget is spent.
    bool nextPause(uint64_t nowMs, uint32_t& pauseMs);

private:
    uint64_t deadline_;
    uint32_t budget_;
    uint32_t paused_ = 0;
    uint32_t pause_ = 1;
};

// While one lives on this thread, held files are tried for budgetMs from its
// making instead of kHeldFileRetryMs. Scopes nest; the innermost counts.
class HeldFileBudget {
public:
    explicit HeldFileBudget(uint32_t budgetMs);
    ~HeldFileBudget();
    HeldFileBudget(const HeldFileBudget&) = delete;
    HeldFileBudget& operator=(const HeldFileBudget&) = delete;

    // What the thread's innermost budget leaves at nowMs, or kHeldFileRetryMs without one.
    static uint32_t remainingMs(uint64_t nowMs);

private:
    uint64_t deadline_;
    const HeldFileBudget* outer_;
};

enum class Attempt {
    Done,    // it worked
    Held,    // another program holds the file: worth another try
    Failed,  // anything else: another try would fail the same way
};

// Runs attempt until it is done or fails, or is still held when the thread's
// held-file budget is spent; true when done. Sleeps between the tries.
template <class Try>
bool retryWhileHeld(Try attempt);

// The sleep between tries.
void pauseMs(uint32_t ms);

template <class Try>
bool retryWhileHeld(Try attempt) {
    const uint64_t start = steadyMs();
    RetrySchedule schedule(start, HeldFileBudget::remainingMs(start));
    for (;;) {
        const Attempt result = attempt();
        if (result != Attempt::Held) return result == Attempt::Done;
        uint32_t pause = 0;
        if (!schedule.nextPause(steadyMs(), pause)) return false;
        pauseMs(pause);
    }
}

}  // namespace horalis
