#include "reports/session_end.h"

namespace horalis {

void FinalSave::run(SamplingTick& tick) {
    begin(steadyMs());
    tick.saveDayNow();
    if (end()) tick.flushJournal();
}

uint32_t FinalSave::leftOf(uint32_t budgetMs, uint64_t nowMs) const {
    const uint64_t spent = nowMs > startMs_ ? nowMs - startMs_ : 0;
    return spent < budgetMs ? static_cast<uint32_t>(budgetMs - spent) : 0;
}

uint32_t FinalSave::lockWaitMs(uint64_t nowMs) const {
    return running_ ? leftOf(kSessionEndLockMs, nowMs) : kUiWaitMs;
}

uint32_t FinalSave::fileWaitMs(uint64_t nowMs) const {
    return running_ ? leftOf(kSessionEndSaveMs, nowMs) : kHeldFileRetryMs;
}

}  // namespace horalis
