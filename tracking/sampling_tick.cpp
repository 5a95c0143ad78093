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
