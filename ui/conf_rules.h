#pragma once
// What the Options dialog (CConfDlg) does with its values, apart from talking
// to the controls: the check-box and timeout conversions.
#include <cstdint>

#include "base/string.h"

namespace horalis {

// Caption colour of group box 1007, RGB(50, 0, 225) as 0x00BBGGRR.
inline constexpr uint32_t kConfGroupTextColour = 0x00E10032u;

// A stored check-box state on its way to the control: 0, 1 and 2 (the third
// state) pass unchanged; anything else becomes 0.
int32_t checkStateToControl(int32_t state);

// A check-box state read from the control (BM_GETCHECK): BST_CHECKED gives 1,
// BST_INDETERMINATE 2, everything else 0. An automatic two-state box only ever
// reports 0 or 1.
int32_t checkStateFromControl(int64_t bmGetCheckResult);

// The timeout field as a number: leading white space skipped, an optional sign,
// then decimal digits up to the first other character. No digits gives 0;
// a number beyond the 32-bit range is clamped to INT32_MIN or INT32_MAX.
int32_t parseTimeoutText(StringView text);

// The timeout as the field shows it: signed decimal.
String formatTimeoutText(int32_t seconds);

}  // namespace horalis
