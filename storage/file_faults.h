#pragma once
// Native (test) build only: the file layer stops changing anything on the
// disk after a number of changes (a replace, a removal, a rename, a file
// opened for writing, a write), as a process killed at that point would; a
// write cut off this way leaves half its bytes, as a power cut can.
#include <cstdint>

namespace horalis {

// -1: no limit (the default).
void stopFileChangesAfter(int64_t changes);
// Counts one change; false once the limit is reached.
bool fileChangeAllowed();

}  // namespace horalis
