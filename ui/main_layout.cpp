#include "ui/main_layout.h"

#include <algorithm>

namespace horalis {

bool layoutGuard = true;

namespace {

// Keeps the rectangle's left and top; a negative extent becomes zero.
Rect clamped(Rect rect) {
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
    return rect;
}

}  // namespace

MainWindowLayout layoutMainWindow(int32_t width, int32_t height, const MainWindowLayout& current) {
    const int32_t middle = height / 2;
    MainWindowLayout next = current;

    next.appGroup.right = width - 10;
    next.appGroup.bottom = middle - 7;

    next.appList.right = width - 17;
    next.appList.bottom = middle - 15;

    next.titleGroup.top = middle;
    next.titleGroup.right = width - 10;
    next.titleGroup.bottom = height - 7;

    next.titleList.top = middle + 15;
    next.titleList.right = width - 17;
    next.titleList.bottom = height - 15;

    const int32_t buttonWidth = current.pointersButton.right - current.pointersButton.left;
    next.pointersButton.left = width - 10 - buttonWidth;
    next.pointersButton.right = width - 10;

    next.appGroup = clamped(next.appGroup);
    next.appList = clamped(next.appList);
    next.titleGroup = clamped(next.titleGroup);
    next.titleList = clamped(next.titleList);
    next.pointersButton = clamped(next.pointersButton);
    return next;
}

}  // namespace horalis
