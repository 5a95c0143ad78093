#pragma once
// Watching a video, a call or a presentation brings no keyboard or mouse
// input, yet the user is there. With "Count watching video and calls as
// present" on, the away timeout does not run out while a signal holds: the
// foreground application plays sound, or a full-screen program or a
// presentation holds the screen. Once every signal has ended, the timeout
// counts from the last moment one held.
#include <cstdint>

namespace horalis {

// Each call asks the system afresh; PresenceWatch decides how often.
class PresenceSignals {
public:
    virtual ~PresenceSignals() = default;
    // The foreground window's application has an active audio session.
    virtual bool foregroundPlaysSound() = 0;
    // A full-screen program or presentation mode holds the screen.
    virtual bool screenHeld() = 0;
};

inline constexpr uint64_t kPresenceReadIntervalMs = 1000;

class PresenceWatch {
public:
    explicit PresenceWatch(PresenceSignals& signals) : signals_(signals) {}

    // Off by default: then no signal is ever read.
    void setEnabled(bool on) {
        enabled_ = on;
        screen_ = sound_ = Reading{};
    }
    bool enabled() const { return enabled_; }

    // Whether a signal holds at now (monotonic ms). Each signal is read at
    // most once a second; in between its last reading stands. The sound is
    // not asked about while the screen is held.
    bool holds(uint64_t now);

private:
    struct Reading {
        bool taken = false;
        uint64_t at = 0;
        bool value = false;
    };
    template <class Read>
    bool reading(Reading& cached, uint64_t now, Read read);

    PresenceSignals& signals_;
    bool enabled_ = false;
    Reading screen_;
    Reading sound_;
};

}  // namespace horalis
