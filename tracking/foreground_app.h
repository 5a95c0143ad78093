#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "tracking/sampling_tick.h"

namespace horalis {

// Full path of the executable of the process that owns window (at most 259
// characters). False, with path unchanged, when it cannot be had. A window of
// the store applications' frame host counts under the application it hosts.
bool identifyForegroundApplication(WindowRef window, String& path);

// The process that frames store applications: its windows hold the window of
// the hosted application's own process as a child.
inline constexpr StringView kApplicationFrameHostName = u"ApplicationFrameHost.exe";

// The executable's file name (after the last backslash or slash) is the frame
// host's, in any letter case.
bool isApplicationFrameHost(StringView executablePath);

// Among the processes owning the host window's child windows (in the order
// they were enumerated), the hosted application's: the first that is not the
// host itself. Nothing when every child belongs to the host (an application
// that is suspended or still starting), so the host counts.
std::optional<uint32_t> hostedApplicationProcess(uint32_t hostProcess, const std::vector<uint32_t>& childProcesses);

}  // namespace horalis
