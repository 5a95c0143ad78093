#pragma once
// The tick's view of the real Windows desktop.
#include "tracking/sampling_tick.h"

namespace horalis {

class Win32Desktop final : public Desktop {
public:
    int64_t currentTime() override;
    bool localTime(int64_t time, LocalTime& out) override;
    uint64_t monotonicMs() override;
    bool lastSessionInput(uint64_t& ms) override;
    CursorState cursorState() override;
    WindowRef foregroundWindow() override;
    String windowTitle(WindowRef window) override;
    bool isWindow(WindowRef window) override;
    bool identifyForegroundApplication(WindowRef window, String& path) override;
};

}  // namespace horalis
