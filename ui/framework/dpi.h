#pragma once
// The DPI a window is drawn at, and icons drawn for it, on every Windows from
// 7 on: the functions newer than that are looked up at run time.
#include <windows.h>

namespace wingui {

// GetDpiForWindow (Windows 10 1607 and later) where it exists. Before it a
// window is drawn at the system DPI, LOGPIXELSY of the screen.
UINT windowDpi(HWND window);

// The dialog's controls are rescaled by the program, never by the dialog
// manager: SetDialogDpiChangeBehavior(DDC_DISABLE_ALL) where it exists
// (Windows 10 1703 and later, per-monitor v2); before it the dialog manager
// does not rescale anything.
void takeOverDialogDpiChanges(HWND dialog);

// Gives every control of the dialog (its direct children) the font and, in
// the dialog's client coordinates, the place scaled from fromDpi to toDpi,
// then redraws the dialog.
void rescaleDialogControls(HWND dialog, HFONT font, UINT fromDpi, UINT toDpi);

// An icon resource of this program at size x size pixels: the drawing of
// that size, or the nearest one scaled.
HICON loadIconOfSize(int id, int size);

// An icon resource at the size the notification area shows:
// LoadIconMetric(LIM_SMALL) of Common Controls 6 (Vista and later), which
// picks the drawing for the shell's small-icon size; without it, the drawing
// for SM_CXSMICON.
HICON loadSmallIconMetric(int id);

}  // namespace wingui
