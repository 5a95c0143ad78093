#pragma once
// The sampling tick, twice a second: splash step, midnight rollover, idle
// decision, pointer shape, foreground sample, list refresh. Platform calls go
// through Desktop; the work of other features through TickActions.
//
// The away decision runs on a monotonic clock, so that setting the wall clock
// neither hides nor invents away time; the wall clock only names dates. With
// the hook library installed, the session's own record of the last input
// counts too (the hooks miss input to elevated windows, and Windows removes a
// hook that answers too slowly without telling anyone).
#include <cstdint>

#include "storage/settings.h"
#include "base/local_time.h"
#include "tracking/presence.h"
#include "tracking/recording_rules.h"
#include "tracking/journal.h"
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
    virtual int64_t currentTime() = 0;  // calendar seconds, 64-bit
    virtual bool localTime(int64_t time, LocalTime& out) = 0;  // may fail
    virtual uint64_t monotonicMs() = 0;  // never goes back, whatever the wall clock does
    // The session's last input on the monotonic clock; false when unknown.
    virtual bool lastSessionInput(uint64_t& ms) = 0;
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
    virtual bool saveEndedDay(const LocalTime& /*day*/) { return true; }
    // What was counted since the last append goes into the day's journal
    // (tick().journal()), as the samples of day at minuteOfDay (0..1439).
    virtual void appendJournal(const LocalTime& /*day*/, int /*minuteOfDay*/) {}
    virtual void clearTotals() {}
    virtual void clearPointerTotals() {}
    virtual void countPointer(const CursorState&) {}
    virtual void refreshLists() {}
    // SetHooks(0) then SetHooks(1): the hooks have gone quiet while the session saw input.
    virtual void reinstallHooks() {}
};

// Session notifications, numbered as WM_WTSSESSION_CHANGE carries them.
enum class SessionEvent : uint32_t {
    ConsoleConnect = 1,
    ConsoleDisconnect = 2,
    RemoteConnect = 3,
    RemoteDisconnect = 4,
    Lock = 7,
    Unlock = 8,
};

// The hooks have reported nothing this long although the session saw input.
inline constexpr uint64_t kHookSilenceBeforeReinstallMs = 60000;
// Input the hooks may still report late: the throttle's trailing report.
inline constexpr uint64_t kHookReportSlackMs = 2000;

// True when the hooks are to be put back: quiet for a minute since their last
// report (or their last installation) while the session saw input after it.
constexpr bool hooksNeedReinstall(uint64_t now, uint64_t lastHookReport, uint64_t lastSessionInput) {
    return now >= lastHookReport && now - lastHookReport >= kHookSilenceBeforeReinstallMs &&
           lastSessionInput > lastHookReport + kHookReportSlackMs;
}

struct TickState {
    uint64_t lastInputTime = 0;   // monotonic milliseconds
    uint64_t lastHookReport = 0;  // monotonic milliseconds: a report, an installation or an unlock
    bool hooksInstalled = false;  // kbdh.dll loaded and SetHooks called
    bool locked = false;          // from a lock until the unlock
    bool disconnected = false;    // from a disconnect until a connect or the unlock
    bool paused = false;          // "Pause recording": nothing is counted, not even as away
    int32_t splashTicks = 0;
    // The day the totals belong to: the latest local date a tick has read.
    // Only a later date ends it (00:00, or waking after a sleep through it);
    // a clock set back leaves it, so no pair is written twice.
    bool dayKnown = false;
    LocalTime dayHeld;
    // The minute of the local time the last tick read, and the day and
    // minute that the samples not yet in the journal belong to (-1: none).
    int minuteOfDay = -1;
    LocalTime journalDay;
    int journalMinute = -1;
    // An ended day whose pair could not be written (the other writer held
    // the lock): the ticks until rolloverRetryEnd (monotonic) try again.
    bool rolloverPending = false;
    uint64_t rolloverRetryEnd = 0;
    LocalTime rolloverDay;
};

// How long the ticks try again to write an ended day's pair: more than any
// writer holds the lock; after that the journal keeps the time for the next fold.
inline constexpr uint64_t kRolloverRetryMs = 10000;

class SamplingTick {
public:
    SamplingTick(UsageRecords& records, const Settings& settings, Desktop& desktop, TickActions& actions)
        : records_(records), settings_(settings), desktop_(desktop), actions_(actions) {}

    // When the timer starts: the idle clock starts now.
    void start(bool hooksInstalled);
    // The hook library's activity message.
    void noteHookActivity();
    // WM_WTSSESSION_CHANGE; other events are ignored.
    void sessionChanged(uint32_t event);
    void run();
    // The user's rules, asked before a present sample is counted; none by default.
    void useRecordingFilter(RecordingFilter* filter) { filter_ = filter; }
    // Signals that keep the user present without input; none by default.
    void usePresence(PresenceWatch* presence) { presence_ = presence; }
    // The session or the program ends: with daily reports on, the totals so
    // far go into the pair of the day held and are cleared once saved, so
    // that a later write (the session goes on after all) does not add them
    // twice.
    void saveDayNow();
    // The samples not yet in the journal go into it now (the session ends,
    // the computer goes to sleep): whatever happens next, they are on the disk.
    void flushJournal();

    // Which records changed since the journal's last append.
    JournalTracker& journal() { return journal_; }

    TickState& state() { return state_; }
    const TickState& state() const { return state_; }

private:
    void splashStep();
    void midnightStep();
    void rollover(const LocalTime& day);
    void journalStep();
    // The foreground window's program and title; false when there is none.
    bool readForeground(String& path, String& title);
    void count(StringView path, StringView title);
    bool writeAndClear(const LocalTime& day);
    void retryRollover();
    bool away();
    UsageRecords& records_;
    const Settings& settings_;
    Desktop& desktop_;
    TickActions& actions_;
    RecordingFilter* filter_ = nullptr;
    PresenceWatch* presence_ = nullptr;
    TickState state_;
    JournalTracker journal_;
};

}  // namespace horalis
