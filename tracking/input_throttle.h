#pragma once
// How often kbdh.dll tells the window of input: at most once per interval,
// and input that falls inside the quiet part of an interval is reported when
// the interval ends, so the last input of a burst is never lost. Times are
// milliseconds on a monotonic clock. Header-only: kbdh.dll uses it without
// the rest of the core.
#include <cstdint>

namespace horalis {

class InputThrottle {
public:
    static constexpr uint64_t kIntervalMs = 1000;

    enum class Step {
        Post,      // report now
        Schedule,  // report at dueAt(): arm the trailing timer
        Wait,      // a trailing report is already due
    };

    Step onInput(uint64_t now) {
        if (!posted_ || now - lastPost_ >= kIntervalMs) {
            markPosted(now);
            return Step::Post;
        }
        if (pending_) return Step::Wait;
        pending_ = true;
        return Step::Schedule;
    }

    // When the trailing report is due, from the last report on.
    uint64_t dueAt() const { return lastPost_ + kIntervalMs; }
    // Milliseconds from now until then, never less than 1 (a timer of 0 is 10 ms on Windows anyway).
    uint32_t delayFrom(uint64_t now) const { return now >= dueAt() ? 1 : static_cast<uint32_t>(dueAt() - now); }

    // The trailing timer fired: true when a report is to be posted now.
    bool onDue(uint64_t now) {
        if (!pending_) return false;
        markPosted(now);
        return true;
    }

    bool pending() const { return pending_; }

private:
    void markPosted(uint64_t now) {
        posted_ = true;
        pending_ = false;
        lastPost_ = now;
    }

    bool posted_ = false;
    bool pending_ = false;
    uint64_t lastPost_ = 0;
};

}  // namespace horalis
