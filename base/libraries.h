#pragma once
// Loading a DLL by its full path: from the program's own folder (kbdh.dll) or
// from the system folder (libraries loaded on first use). A bare name would
// also find a copy planted in the current folder or on PATH.
#include "base/handles.h"

namespace horalis {

// Null when the folder is unknown or the library cannot be loaded.
Module loadFromProgramFolder(const wchar_t* libraryName);
Module loadFromSystemFolder(const wchar_t* libraryName);

// An entry point of a system library, loaded on first use and kept for the
// rest of the run: for libraries that cost memory at start-up but serve only
// a command most runs never give. Null when the library or the entry point is
// missing.
void* systemEntryPoint(Module& library, const wchar_t* libraryName, const char* entryName);

}  // namespace horalis
