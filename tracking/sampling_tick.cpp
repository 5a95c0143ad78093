#include "tracking/sampling_tick.h"

namespace horalis {

void SamplingTick::run() {
    splashStep();
    midnightStep();

    if (away()) {
        records_.addSample(kIdleTimeKey, u"");
        actions_.refreshApplicationList();
        return;
    }

    actions_.countPointerSample(desktop_.cursorState());

    const WindowRef window = desktop_.foregroundWindow();
    if (window == 0) return;
    const String title = desktop_.windowTitle(window);
    if (!desktop_.isWindow(window)) return;
    String path;
    if (!desktop_.identifyForegroundApplication(window, path)) return;
    records_.addSample(path, title);
    actions_.refreshApplicationList();
}

void SamplingTick::start(bool hooksInstalled) {
    state_.hooksInstalled = hooksInstalled;
    state_.lastInputTime = state_.lastHookReport = desktop_.monotonicMs();
    state_.midnightDone = false;
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
    const bool haveLocal = desktop_.localTime(desktop_.currentTime(), local);
    bool dateChanged = false;
    if (haveLocal) {
        dateChanged = state_.dateSeen &&
                      (local.year != state_.lastYear || local.month != state_.lastMonth || local.day != state_.lastDay);
        state_.dateSeen = true;
        state_.lastYear = local.year;
        state_.lastMonth = local.month;
        state_.lastDay = local.day;
    }

    if (!settings_.saveDailyReports) return;

    if (haveLocal && local.hour == 0 && local.minute == 0) {
        // A date change here means midnightDone is left over from the 00:00
        // minute of an earlier day (a sleep of about a whole day).
        if (!state_.midnightDone || dateChanged) rollover();
        return;
    }
    state_.midnightDone = false;
    // A new date first seen after 00:00: the 00:00 minute of this date had no
    // tick (the machine slept), since a tick in it would have seen the date.
    if (dateChanged) rollover();
}

void SamplingTick::rollover() {
    // Totals are only dropped once they are safely in the reports; after a
    // failed write they carry on into the next day's reports.
    const bool written = actions_.writeDailyReports();
    if (written) actions_.clearLists();
    state_.midnightDone = true;
    if (written) actions_.resetPointerCounts();
}

}  // namespace horalis
