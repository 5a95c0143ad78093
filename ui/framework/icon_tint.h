#pragma once
// A greyed copy of an icon, as a paused or disabled state is drawn.
#include <windows.h>

namespace wingui {

// A new icon (the caller destroys it) of the same size and mask, its colours
// turned to light greys and its transparency kept; null when the icon has
// no colour bitmap to read.
HICON greyedIcon(HICON icon);

}  // namespace wingui
