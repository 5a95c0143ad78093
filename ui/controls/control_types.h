#pragma once
// Plain value types shared by the portable halves of the custom controls. They
// mirror RECT and COLORREF field for field so the Win32 side converts 1:1.
#include <cstdint>

namespace horalis {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

constexpr Rect offsetRect(Rect r, int32_t dx, int32_t dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// Positive amounts shrink, negative ones grow, like InflateRect(-n, -n).
constexpr Rect insetRect(Rect r, int32_t amount) {
    return {r.left + amount, r.top + amount, r.right - amount, r.bottom - amount};
}

// 0x00BBGGRR, the layout of COLORREF.
using ColorRef = uint32_t;

constexpr ColorRef rgb(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
           (static_cast<ColorRef>(b) << 16);
}
constexpr uint8_t redOf(ColorRef c) { return static_cast<uint8_t>(c); }
constexpr uint8_t greenOf(ColorRef c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t blueOf(ColorRef c) { return static_cast<uint8_t>(c >> 16); }

}  // namespace horalis
