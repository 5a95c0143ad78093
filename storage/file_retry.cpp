#include "storage/file_retry.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace horalis {
namespace {

constexpr uint32_t kLongestPauseMs = 16;

thread_local const HeldFileBudget* innermostBudget = nullptr;

}  // namespace

uint64_t steadyMs() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void pauseMs(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool RetrySchedule::nextPause(uint64_t nowMs, uint32_t& pauseMs) {
    if (nowMs >= deadline_) return false;
    pauseMs = static_cast<uint32_t>(std::min<uint64_t>(pause_, deadline_ - nowMs));
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
