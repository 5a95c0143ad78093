#pragma once
// The sampling tick, twice a second: splash step, midnight rollover, idle
// decision, pointer shape, foreground sample, list refresh. Platform calls go
// through Desktop; the work of other features through TickActions.
#include <cstdint>

#include "storage/settings.h"
#include "base/local_time.h"
#include "tracking/usage_records.h"

namespace horalis {

using WindowRef = uintptr_t;  // an HWND, opaque to the core; 0 is none
using CursorRef = uintptr_t;  // an HCURSOR, opaque to the core

inline constexpr uint32_t kCursorShowing = 1;

struct CursorState {
    bool ok = false;  // the query succeeded
    uint32_t flags = 0;
    CursorRef handle = 0;
};

// What the tick needs of the desktop.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual int32_t currentTime() = 0;  // calendar seconds, 32-bit
    virtual bool localTime(int32_t time, LocalTime& out) = 0;  // may fail
    virtual CursorState cursorState() = 0;
    virtual WindowRef foregroundWindow() = 0;
    virtual String windowTitle(WindowRef window) = 0;  // whole title, up to its first NUL
    virtual bool isWindow(WindowRef window) = 0;
    virtual bool identifyForegroundApplication(WindowRef window, String& path) = 0;
};

// The work that the tick hands to other parts of the program.
class TickActions {
public:
    virtual ~TickActions() = default;
    virtual void destroySplash() {}
    // Writes (adds to) the daily pair that holds day; true when the totals
    // are saved in it and may be cleared.
    virtual bool writeDailyReports(const LocalTime& /*day*/) { return true; }
    virtual void clearLists() {}
    virtual void resetPointerCounts() {}
    virtual void countPointerSample(const CursorState&) {}
    virtual void refreshApplicationList() {}
};

struct TickState {
    int32_t lastInputTime = 0;
    int32_t splashTicks = 0;
    // The day the totals belong to: the latest local date a tick has read.
    // Only a later date ends it (00:00, or waking after a sleep through it);
    // a clock set back leaves it, so no pair is written twice.
    bool dayKnown = false;
    LocalTime dayHeld;
};

class SamplingTick {
public:
    SamplingTick(UsageRecords& records, const Settings& settings, Desktop& desktop, TickActions& actions)
        : records_(records), settings_(settings), desktop_(desktop), actions_(actions) {}

    // Called when the timer starts and by every input-activity message.
    void noteInput() { state_.lastInputTime = desktop_.currentTime(); }
    void run();
    // The session or the program ends: with daily reports on, the totals so
    // far go into the pair of the day held and are cleared once saved, so
    // that a later write (the session goes on after all) does not add them
    // twice.
    void saveDayNow();

    TickState& state() { return state_; }
    const TickState& state() const { return state_; }

private:
    void splashStep();
    void midnightStep();
    void rollover(const LocalTime& day);
    UsageRecords& records_;
    const Settings& settings_;
    Desktop& desktop_;
    TickActions& actions_;
    TickState state_;
};

}  // namespace horalis
