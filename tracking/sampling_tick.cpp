#include "tracking/sampling_tick.h"

namespace horalis {

void SamplingTick::run() {
    splashStep();
    midnightStep();
    journalStep();
    if (state_.paused) return;

    if (away()) {
        // Time in front of a window that is not to be recorded is not away time either.
        String path, title;
        if (filter_ && filter_->keepsAnyOut() && readForeground(path, title) && !filter_->admit(path, title)) return;
        count(kIdleTimeKey, u"");
        return;
    }

    String path, title;
    const bool found = readForeground(path, title);
    // Before anything holds the sample: a hidden title is replaced here, and
    // a window not to be recorded counts nothing, its pointer shape neither.
    if (found && filter_ && !filter_->admit(path, title)) return;
    actions_.countPointer(desktop_.cursorState());
    if (found) count(path, title);
}

bool SamplingTick::readForeground(String& path, String& title) {
    const WindowRef window = desktop_.foregroundWindow();
    if (window == 0) return false;
    title = desktop_.windowTitle(window);
    if (!desktop_.isWindow(window)) return false;
    path.clear();
    return desktop_.identifyForegroundApplication(window, path);
}

void SamplingTick::count(StringView path, StringView title) {
    records_.addSample(path, title);
    journal_.noteSample(records_);
    actions_.refreshLists();
}

void SamplingTick::journalStep() {
    // A new minute (or day) closes the last one's samples into a block.
    if (state_.minuteOfDay < 0) return;
    if (state_.journalMinute == state_.minuteOfDay && compareDates(state_.journalDay, state_.dayHeld) == 0) return;
    flushJournal();
    state_.journalDay = state_.dayHeld;
    state_.journalMinute = state_.minuteOfDay;
}

void SamplingTick::flushJournal() {
    if (state_.journalMinute >= 0 && journal_.pending()) actions_.appendJournal(state_.journalDay, state_.journalMinute);
}

void SamplingTick::start(bool hooksInstalled) {
    state_.hooksInstalled = hooksInstalled;
    state_.lastInputTime = state_.lastHookReport = desktop_.monotonicMs();
}

void SamplingTick::noteHookActivity() {
    state_.lastInputTime = state_.lastHookReport = desktop_.monotonicMs();
}

void SamplingTick::sessionChanged(uint32_t event) {
    switch (static_cast<SessionEvent>(event)) {
    case SessionEvent::Lock: state_.locked = true; break;
    case SessionEvent::ConsoleDisconnect:
    case SessionEvent::RemoteDisconnect: state_.disconnected = true; break;
    // Reconnecting to a session that was not locked brings no unlock.
    case SessionEvent::ConsoleConnect:
    case SessionEvent::RemoteConnect: state_.disconnected = false; break;
    case SessionEvent::Unlock:
        state_.locked = state_.disconnected = false;
        // Unlocking is input; the hooks saw nothing on the secure desktop, which is no fault of theirs.
        noteHookActivity();
        break;
    }
}

bool SamplingTick::away() {
    if (state_.locked || state_.disconnected) return true;
    const uint64_t now = desktop_.monotonicMs();
    uint64_t sessionInput = 0;
    if (state_.hooksInstalled && desktop_.lastSessionInput(sessionInput)) {
        if (sessionInput > state_.lastInputTime && sessionInput <= now) state_.lastInputTime = sessionInput;
        if (hooksNeedReinstall(now, state_.lastHookReport, sessionInput)) {
            actions_.reinstallHooks();
            state_.lastHookReport = now;  // a minute's grace before the next try, never a loop
        }
    }
    // Watching or listening without input: the timeout counts from the
    // last moment a signal held. Not asked while input is recent.
    if (presence_ && now >= state_.lastInputTime + kPresenceReadIntervalMs && presence_->holds(now))
        state_.lastInputTime = now;
    // Whole seconds, as the timeout is given: T + 300.9 s is still present at 300.
    const int64_t elapsed = now > state_.lastInputTime ? static_cast<int64_t>((now - state_.lastInputTime) / 1000) : 0;
    return elapsed > settings_.awayTimeoutSeconds;
}

void SamplingTick::splashStep() {
    if (state_.splashTicks == 1)
        actions_.destroySplash();
    else
        ++state_.splashTicks;
}

void SamplingTick::midnightStep() {
    // The date is followed on every tick, switch on or off, so that turning
    // daily reports on later does not look like a date change.
    LocalTime local;
    if (!desktop_.localTime(desktop_.currentTime(), local)) return;
    state_.minuteOfDay = local.hour * 60 + local.minute;
    if (!state_.dayKnown || compareDates(local, state_.dayHeld) < 0) {
        // The first tick, or a clock set back (by hand, a time zone to the
        // west): nothing ends, and the totals stay with the later day.
        if (!state_.dayKnown) state_.dayHeld = dateOf(local);
        state_.dayKnown = true;
        return;
    }
    if (compareDates(local, state_.dayHeld) == 0) {
        retryRollover();
        return;
    }
    const LocalTime ended = state_.dayHeld;
    state_.dayHeld = dateOf(local);
    if (settings_.saveDailyReports) rollover(ended);
}

void SamplingTick::saveDayNow() {
    midnightStep();
    if (settings_.saveDailyReports && state_.dayKnown) rollover(state_.dayHeld);
}

void SamplingTick::rollover(const LocalTime& day) {
    // The ended day's last samples first: the pair is written from the journal.
    flushJournal();
    if (writeAndClear(day) || state_.rolloverPending) return;
    state_.rolloverPending = true;
    state_.rolloverRetryEnd = desktop_.monotonicMs() + kRolloverRetryMs;
    state_.rolloverDay = day;
}

void SamplingTick::retryRollover() {
    if (!state_.rolloverPending) return;
    if (!settings_.saveDailyReports || desktop_.monotonicMs() >= state_.rolloverRetryEnd)
        state_.rolloverPending = false;
    else
        writeAndClear(state_.rolloverDay);
}

bool SamplingTick::writeAndClear(const LocalTime& day) {
    // Totals are only dropped once they are safely in the journal (the pair
    // follows from it); after a failed write they carry on.
    if (!actions_.saveEndedDay(day)) return false;
    state_.rolloverPending = false;
    actions_.clearTotals();
    actions_.clearPointerTotals();
    return true;
}

}  // namespace horalis
