#include "ui/main_layout.h"

#include <algorithm>

namespace horalis {

namespace {

// Keeps the rectangle's left and top; a negative extent becomes zero.
Rect clamped(Rect rect) {
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
    return rect;
}

}  // namespace

MainWindowLayout layoutMainWindow(int32_t width, int32_t height, const MainWindowLayout& current, uint32_t dpi) {
    const int32_t middle = height / 2;
    const int32_t groupEdge = scaleToDpi(10, dpi);
    const int32_t groupBottom = scaleToDpi(7, dpi);
    const int32_t listEdge = scaleToDpi(17, dpi);
    const int32_t listGap = scaleToDpi(15, dpi);
    MainWindowLayout next = current;

    next.appGroup.right = width - groupEdge;
    next.appGroup.bottom = middle - groupBottom;

    next.appList.right = width - listEdge;
    next.appList.bottom = middle - listGap;

    next.titleGroup.top = middle;
    next.titleGroup.right = width - groupEdge;
    next.titleGroup.bottom = height - groupBottom;

    next.titleList.top = middle + listGap;
    next.titleList.right = width - listEdge;
    next.titleList.bottom = height - listGap;

    const int32_t buttonWidth = current.pointersButton.right - current.pointersButton.left;
    next.pointersButton.left = width - groupEdge - buttonWidth;
    next.pointersButton.right = width - groupEdge;

    next.appGroup = clamped(next.appGroup);
    next.appList = clamped(next.appList);
    next.titleGroup = clamped(next.titleGroup);
    next.titleList = clamped(next.titleList);
    next.pointersButton = clamped(next.pointersButton);
    return next;
}

Rect fitIntoArea(Rect window, Rect area) {
    const int32_t width = std::min(window.width(), area.width());
    const int32_t height = std::min(window.height(), area.height());
    const int32_t left = std::clamp(window.left, area.left, area.right - width);
    const int32_t top = std::clamp(window.top, area.top, area.bottom - height);
    return {left, top, left + width, top + height};
}

}  // namespace horalis
