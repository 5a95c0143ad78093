#include "e2e/stand_in_tray.h"

#include <cstring>

namespace e2e {
namespace {

constexpr const wchar_t* kTrayClass = L"Shell_TrayWnd";
// Wine's shell32 sends the request as its own flat record, with the icon's
// bitmap size at this offset (seen in the records of Wine 8); Windows' own
// record differs, which is why this is a test stand-in only.
constexpr size_t kWineIconWidthOffset = 944;
constexpr UINT kNifIcon = 0x2;
constexpr size_t kWineFlagsOffset = 8;
constexpr UINT kNifTip = 0x4;
constexpr size_t kWineTipOffset = 16;  // 128 characters
constexpr size_t kWineTipLength = 128;
// After the icon's size, planes and bit count: the mask's bits, then the colour's.
constexpr size_t kWineIconBitsOffset = 960;

// Every pixel of a 32-bit top-down colour bitmap has blue = green = red.
bool allGrey(const unsigned char* pixels, size_t bytes) {
    for (size_t i = 0; i + 3 < bytes; i += 4)
        if (pixels[i] != pixels[i + 1] || pixels[i + 1] != pixels[i + 2]) return false;
    return true;
}

}  // namespace

StandInTray::StandInTray(bool takesRequests)
    : takes_(takesRequests), ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_.reset(CreateThread(nullptr, 0, &StandInTray::run, this, 0, nullptr));
    WaitForSingleObject(ready_.get(), 5000);
}

std::wstring StandInTray::lastTip() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tip_;
}

void StandInTray::close() {
    if (!thread_) return;
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread_.get(), 5000);
    thread_.reset();
}

DWORD WINAPI StandInTray::run(void* parameter) {
    auto* self = static_cast<StandInTray*>(parameter);
    WNDCLASSW type{};
    type.lpfnWndProc = &StandInTray::windowProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = kTrayClass;
    RegisterClassW(&type);
    self->window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                    nullptr, type.hInstance, nullptr);
    SetWindowLongPtrW(self->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetEvent(self->ready_.get());
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnregisterClassW(kTrayClass, type.hInstance);
    return 0;
}

LRESULT CALLBACK StandInTray::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<StandInTray*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && self) {
        ++self->requests_;
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* bytes = static_cast<const unsigned char*>(copy->lpData);
        UINT flags = 0, width = 0;
        if (copy->cbData >= kWineIconWidthOffset + sizeof width) {
            std::memcpy(&flags, bytes + kWineFlagsOffset, sizeof flags);
            std::memcpy(&width, bytes + kWineIconWidthOffset, sizeof width);
            if (flags & kNifIcon) self->iconWidth_ = static_cast<int>(width);
            if (flags & kNifTip) {
                wchar_t tip[kWineTipLength + 1] = {};
                std::memcpy(tip, bytes + kWineTipOffset, kWineTipLength * sizeof(wchar_t));
                std::lock_guard<std::mutex> lock(self->mutex_);
                self->tip_ = tip;
            }
            UINT height = 0, bpp = 0;
            std::memcpy(&height, bytes + kWineIconWidthOffset + 4, sizeof height);
            std::memcpy(&bpp, bytes + kWineIconWidthOffset + 12, sizeof bpp);
            const size_t colourBytes = size_t{width} * height * 4;
            if ((flags & kNifIcon) && bpp == 32 && copy->cbData > kWineIconBitsOffset + colourBytes) {
                const size_t maskBytes = copy->cbData - kWineIconBitsOffset - colourBytes;
                self->iconGrey_ = allGrey(bytes + kWineIconBitsOffset + maskBytes, colourBytes);
            }
        }
        return self->takes_ ? TRUE : FALSE;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace e2e
