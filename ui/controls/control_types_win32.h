#pragma once
// Rect to and from the Win32 RECT, field for field.
#include <windows.h>

#include "ui/controls/control_types.h"

namespace horalis {

inline Rect toRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

inline RECT toRECT(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace horalis
