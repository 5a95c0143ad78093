#include "ui/framework/icon_tint.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/handles.h"

namespace wingui {

HICON greyedIcon(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return nullptr;
    // GetIconInfo hands over copies of both bitmaps.
    const horalis::Bitmap colour(info.hbmColor);
    const horalis::Bitmap mask(info.hbmMask);
    BITMAP size{};
    if (!colour || !GetObjectW(colour.get(), sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight <= 0)
        return nullptr;
    BITMAPINFO layout{};
    layout.bmiHeader.biSize = sizeof layout.bmiHeader;
    layout.bmiHeader.biWidth = size.bmWidth;
    layout.bmiHeader.biHeight = -size.bmHeight;  // top-down
    layout.bmiHeader.biPlanes = 1;
    layout.bmiHeader.biBitCount = 32;
    layout.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(size.bmWidth) * static_cast<size_t>(size.bmHeight));
    {
        horalis::WindowDc screen(nullptr);
        if (!GetDIBits(screen.get(), colour.get(), 0, static_cast<UINT>(size.bmHeight), pixels.data(), &layout,
                       DIB_RGB_COLORS))
            return nullptr;
    }
    // Luminance, lifted towards white so the icon reads as inactive; the
    // alpha byte stays, and with it the icon's shape.
    for (uint32_t& pixel : pixels) {
        const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
        const uint32_t grey = 96 + (r * 30 + g * 59 + b * 11) / 100 * 159 / 255;
        pixel = (pixel & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
    }
    void* bits = nullptr;
    const horalis::Bitmap greyed(CreateDIBSection(nullptr, &layout, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!greyed || !bits) return nullptr;
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof(uint32_t));
    ICONINFO made{TRUE, 0, 0, mask.get(), greyed.get()};
    return CreateIconIndirect(&made);  // copies both bitmaps
}

}  // namespace wingui
