#pragma once
#include <optional>

#include "base/string.h"

namespace horalis {

// The data folder for a given value of the "APPDATA" variable: the value plus
// "\Horalis", or "C:\" when the variable is not set.
String dataFolderPathFor(const std::optional<String>& appData);

// The data folder of this process, computed afresh at every call. On Windows
// it reads "APPDATA"; the native build reads HORALIS_APPDATA (tests only).
String dataFolderPath();

// Who this run is, for the names of the files only it writes: a data folder
// may be synced between computers, and each keeps its own records.
// The native build reads HORALIS_COMPUTER and HORALIS_USER (tests only).
String thisComputerName();
String thisUserName();
// Unique among the runs of this computer: the start time and the process.
String newRunId();

}  // namespace horalis
