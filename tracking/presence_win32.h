#pragma once
// The presence signals as Windows gives them: Core Audio's sessions of the
// foreground application, and the shell's notification state.
#include <mmdeviceapi.h>

#include "base/handles.h"
#include "tracking/presence.h"

namespace horalis {

class Win32PresenceSignals final : public PresenceSignals {
public:
    bool foregroundPlaysSound() override;
    bool screenHeld() override;

private:
    // Made at the first question, on the thread that asks (an apartment the
    // program has entered); every later one uses it.
    Com<IMMDeviceEnumerator> devices_;
};

}  // namespace horalis
