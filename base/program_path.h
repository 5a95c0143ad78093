#pragma once
// The running program's own path and folder. Horalis.exe and
// HoralisReporter.exe find kbdh.dll, the help file and each other there.
#include <string>

#include "base/string.h"

namespace horalis {

// The folder of an executable path: everything up to and including the last
// backslash; empty when there is none.
String programFolderOf(StringView executablePath);

// Full path of the running executable, however long (empty only when the
// system cannot tell it).
std::wstring programPath();
// Its folder, with the trailing backslash.
std::wstring programFolder();

}  // namespace horalis
