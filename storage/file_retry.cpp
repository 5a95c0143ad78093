#include "storage/file_retry.h"

#include <algorithm>

namespace horalis {
namespace {

constexpr uint32_t kLongestPauseMs = 16;

thread_local const HeldFileBudget* innermostBudget = nullptr;

}  // namespace

bool RetrySchedule::nextPause(uint64_t nowMs, uint32_t& pauseMs) {
    // The pauses alone end it too, should the clock stand still.
    if (nowMs >= deadline_ || paused_ >= budget_) return false;
    pauseMs = static_cast<uint32_t>(std::min<uint64_t>({pause_, deadline_ - nowMs, budget_ - paused_}));
    paused_ += pauseMs;
    pause_ = std::min(pause_ * 2, kLongestPauseMs);
    return true;
}

HeldFileBudget::HeldFileBudget(uint32_t budgetMs) : deadline_(steadyMs() + budgetMs), outer_(innermostBudget) {
    innermostBudget = this;
}

HeldFileBudget::~HeldFileBudget() {
    innermostBudget = outer_;
}

uint32_t HeldFileBudget::remainingMs(uint64_t nowMs) {
    if (innermostBudget == nullptr) return kHeldFileRetryMs;
    const uint64_t deadline = innermostBudget->deadline_;
    return deadline > nowMs ? static_cast<uint32_t>(deadline - nowMs) : 0;
}

}  // namespace horalis
