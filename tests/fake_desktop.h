#pragma once
// The desktop as the sampling tick sees it, set by hand: a clock whose local
// time is a day count from a fixed midnight, one foreground window and the
// pointer. Shared by the tick's and the reporter's tests.
#include <utility>

#include "tracking/sampling_tick.h"

namespace horalis::test {

inline constexpr int32_t kDay = 86400;
// 2024-03-10 00:00:00 as seen by the fake desktop.
inline constexpr int32_t kMidnight = 1710028800;

class FakeDesktop : public Desktop {
public:
    FakeDesktop(int64_t start, String title, String path, CursorState cursor)
        : now(start), cursor(cursor), title(std::move(title)), path(std::move(path)) {}

    int64_t now;                // seconds; the monotonic clock follows it
    int64_t wallShift = 0;      // the user setting the wall clock
    uint64_t extraMs = 0;       // a part of a second on the monotonic clock
    bool sessionKnown = true;
    uint64_t sessionInput = 0;  // the session's last input, monotonic
    bool localFails = false;
    CursorState cursor;
    WindowRef foreground = 0x10;
    String title;
    bool windowValid = true;
    bool identifies = true;
    String path;
    int foregroundQueries = 0;
    int cursorQueries = 0;

    int64_t currentTime() override { return now + wallShift; }
    uint64_t monotonicMs() override { return static_cast<uint64_t>(now) * 1000 + extraMs; }
    bool lastSessionInput(uint64_t& ms) override {
        ms = sessionInput;
        return sessionKnown;
    }
    // Day numbers count on past the month's end; only changes of date matter here.
    bool localTime(int64_t time, LocalTime& out) override {
        if (localFails) return false;
        const int64_t rel = int64_t{time} - (kMidnight - 10 * kDay);
        out = LocalTime{2024, 3, static_cast<int>(rel / kDay), static_cast<int>(rel % kDay / 3600),
                        static_cast<int>(rel % 3600 / 60), static_cast<int>(rel % 60)};
        return true;
    }
    CursorState cursorState() override {
        ++cursorQueries;
        return cursor;
    }
    WindowRef foregroundWindow() override {
        ++foregroundQueries;
        return foreground;
    }
    String windowTitle(WindowRef) override { return title; }
    bool isWindow(WindowRef) override { return windowValid; }
    bool identifyForegroundApplication(WindowRef, String& out) override {
        if (!identifies) return false;
        out = path;
        return true;
    }
};

}  // namespace horalis::test
