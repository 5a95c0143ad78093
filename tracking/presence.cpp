#include "tracking/presence.h"

namespace horalis {

template <class Read>
bool PresenceWatch::reading(Reading& cached, uint64_t now, Read read) {
    if (!cached.taken || now < cached.at || now - cached.at >= kPresenceReadIntervalMs) {
        cached.value = read();
        cached.at = now;
        cached.taken = true;
    }
    return cached.value;
}

bool PresenceWatch::holds(uint64_t now) {
    if (!enabled_) return false;
    if (reading(screen_, now, [this] { return signals_.screenHeld(); })) return true;
    return reading(sound_, now, [this] { return signals_.foregroundPlaysSound(); });
}

}  // namespace horalis
