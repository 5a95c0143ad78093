#pragma once
// What the Options dialog (CConfDlg) does with its values, apart from talking
// to the controls: the check-box and timeout conversions and the copies between
// the settings record and the dialog.
#include <cstdint>

#include "storage/settings.h"
#include "tracking/usage_records.h"

namespace horalis {

// Caption colour of group box 1007, RGB(50, 0, 225) as 0x00BBGGRR.
inline constexpr uint32_t kConfGroupTextColour = 0x00E10032u;

// A stored check-box state on its way to the control: 0, 1 and 2 (the third
// state) pass unchanged; anything else becomes 0. The result is both what the
// control is set to (BM_SETCHECK) and what the member holds afterwards.
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

// The members of CConfDlg, in its order: the four copies the caller fills and
// reads back, then what is exchanged with controls 1008, 1009, 1010 and 1014.
struct ConfDialogData {
    int32_t saveDailyReports = 0;
    int32_t showTimeInSeconds = 0;
    int32_t saveWindowTitles = 0;
    int32_t awayTimeoutSeconds = 0;

    int32_t saveDailyReportsCheck = 0;
    int32_t showTimeInSecondsCheck = 0;
    int32_t saveWindowTitlesCheck = 0;
    String awayTimeoutText;
};

// Before the dialog runs: the settings into the dialog's four copies.
void copySettingsToDialog(const Settings& settings, ConfDialogData& data);
// After the dialog ended with IDOK: the four copies back into the settings.
void copyDialogToSettings(const ConfDialogData& data, Settings& settings);

// Dialog initialisation, before the exchange to the controls: the check states
// from the copies (unnormalised; checkStateToControl does that during the
// exchange) and the timeout text from the copy of the timeout.
void prepareDialogControls(ConfDialogData& data);

// OK, after the exchange from the controls: the check states and the parsed
// timeout text into the copies.
void takeDialogControls(ConfDialogData& data);

}  // namespace horalis
