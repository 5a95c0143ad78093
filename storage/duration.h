#pragma once
#include <cstdint>

#include "base/string.h"

namespace horalis {

// Whole seconds as shown in the lists: "1:02:03", "2:03", "5 sec", or in
// seconds mode the plain number "3723".
String formatDuration(int32_t seconds, bool secondsMode);

// The inverse of formatDuration for either mode; text it cannot read gives 0.
uint32_t parseDuration(StringView text);

}  // namespace horalis
