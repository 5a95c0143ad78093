#pragma once
// Horalis.exe's command line. It reads one argument, the one it registers
// for Windows to hand back when it brings the program back after an update
// or a restart (RegisterApplicationRestart): start with the window hidden in
// the tray, as it was. A start without it, or with anything else, is a
// start as always.
#include "base/string.h"

namespace horalis {

inline constexpr StringView kStartInTrayArgument = u"/tray";

// The whole command line, the program's path first (GetCommandLineW).
bool startsInTray(StringView commandLine);

// What the program registers for its restart: the state its window is in.
inline StringView restartArguments(bool windowHidden) { return windowHidden ? kStartInTrayArgument : u""; }

}  // namespace horalis
