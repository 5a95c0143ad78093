#pragma once
// The main window's resize rule, in client pixels: the two group boxes and
// their lists share the height half and half and follow the right edge; the
// "Mouse pointers" button keeps to the right edge. The margins are the 96-DPI
// ones scaled to the window's DPI.
#include <cstdint>

#include "ui/controls/control_types.h"
#include "ui/dpi_scale.h"

namespace horalis {

struct MainWindowLayout {
    Rect appGroup;        // group box 1018
    Rect appList;         // list 1003
    Rect titleGroup;      // group box 1019
    Rect titleList;       // list 1004
    Rect pointersButton;  // button 1022
    friend bool operator==(const MainWindowLayout&, const MainWindowLayout&) = default;
};

// The controls' places for a client area of width x height, from their
// current places, at the window's DPI. A width or height that would come out
// negative is zero.
MainWindowLayout layoutMainWindow(int32_t width, int32_t height, const MainWindowLayout& current,
                                  uint32_t dpi = kBaseDpi);

// Where a window of this rectangle goes so that it lies inside area (the
// work area of its monitor): unchanged where it fits; otherwise no larger
// than area and moved in by as little as it takes.
Rect fitIntoArea(Rect window, Rect area);

}  // namespace horalis
