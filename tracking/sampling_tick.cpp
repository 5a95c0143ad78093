#include "tracking/sampling_tick.h"

namespace horalis {

void SamplingTick::run() {
    splashStep();
    midnightStep();

    // Wrapping difference: a clock set back before the last input gives a
    // negative gap, which counts as present.
    const int32_t now = desktop_.currentTime();
    const int32_t gap = static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(state_.lastInputTime));
    if (gap > settings_.awayTimeoutSeconds) {
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
    if (!state_.dayKnown || compareDates(local, state_.dayHeld) < 0) {
        // The first tick, or a clock set back (by hand, a time zone to the
        // west): nothing ends, and the totals stay with the later day.
        if (!state_.dayKnown) state_.dayHeld = dateOf(local);
        state_.dayKnown = true;
        return;
    }
    if (compareDates(local, state_.dayHeld) == 0) return;
    const LocalTime ended = state_.dayHeld;
    state_.dayHeld = dateOf(local);
    if (settings_.saveDailyReports) rollover(ended);
}

void SamplingTick::saveDayNow() {
    midnightStep();
    if (settings_.saveDailyReports && state_.dayKnown) rollover(state_.dayHeld);
}

void SamplingTick::rollover(const LocalTime& day) {
    // Totals are only dropped once they are safely in the pair; after a
    // failed write they carry on into the next one.
    if (!actions_.writeDailyReports(day)) return;
    actions_.clearLists();
    actions_.resetPointerCounts();
}

}  // namespace horalis
