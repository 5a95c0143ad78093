#pragma once
#include "tracking/sampling_tick.h"

namespace horalis {

// Full path of the executable of the process that owns window (at most 259
// characters). False, with path unchanged, when it cannot be had.
bool identifyForegroundApplication(WindowRef window, String& path);

}  // namespace horalis
