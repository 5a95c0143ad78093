#pragma once
// Paths longer than the Win32 file functions take by default.
#include "base/string.h"

namespace horalis {

// From this length on a path goes to the file functions in its extended
// form: CreateDirectoryW takes at most MAX_PATH - 12 characters, the others
// MAX_PATH - 1, unless the path starts with \\?\ (or the program declares
// longPathAware and the system has long paths switched on, from Windows 10
// 1607 on; Windows 7 and 8 know only the prefix).
inline constexpr size_t kLongPathFrom = 248;

// A full path ("C:\..." or "\\server\share\...") of at least kLongPathFrom
// characters in the extended form "\\?\C:\..." or "\\?\UNC\server\share\...",
// with '/' as '\' and the "." and ".." steps resolved, since the system takes
// an extended path literally. Shorter, relative and already extended paths
// come back as they are.
String extendedLengthPath(const String& path);

}  // namespace horalis
