#include "tracking/desktop_win32.h"

#include <windows.h>

#include <ctime>
#include <string>

#include "tracking/foreground_app.h"
#include "base/string.h"

namespace horalis {
namespace {

HWND toHwnd(WindowRef window) { return reinterpret_cast<HWND>(window); }

}  // namespace

// time_t is 64-bit here, so dates after January 2038 convert as any other.
static_assert(sizeof(std::time_t) == 8);

int64_t Win32Desktop::currentTime() { return static_cast<int64_t>(std::time(nullptr)); }

bool Win32Desktop::localTime(int64_t time, LocalTime& out) {
    // Not the C runtime's localtime: it reads the time zone once (until
    // _tzset), while a laptop may change zones as it runs. With no zone given,
    // SystemTimeToTzSpecificLocalTime uses the zone active at this moment.
    if (time < 0) return false;
    const ULONGLONG ticks = (static_cast<ULONGLONG>(time) + 11644473600ULL) * 10000000ULL;
    FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{}, local{};
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return false;
    out.year = local.wYear;
    out.month = local.wMonth;
    out.day = local.wDay;
    out.hour = local.wHour;
    out.minute = local.wMinute;
    out.second = local.wSecond;
    return true;
}

uint64_t Win32Desktop::monotonicMs() { return GetTickCount64(); }

bool Win32Desktop::lastSessionInput(uint64_t& ms) {
    LASTINPUTINFO info{};
    info.cbSize = sizeof(info);
    if (!GetLastInputInfo(&info)) return false;
    // dwTime is GetTickCount's 32-bit value, which wraps every 49.7 days: take
    // its age on that clock and go back that far from the 64-bit one.
    const uint64_t now = GetTickCount64();
    const uint64_t age = static_cast<DWORD>(static_cast<DWORD>(now) - info.dwTime);
    if (age > now) return false;
    ms = now - age;
    return true;
}

CursorState Win32Desktop::cursorState() {
    CURSORINFO info{};
    // The real size: the 32-bit layout's 20 bytes make the call fail on 64-bit.
    info.cbSize = sizeof(info);
    CursorState state;
    state.ok = GetCursorInfo(&info) != FALSE;
    if (state.ok) {
        state.flags = info.flags;
        state.handle = reinterpret_cast<CursorRef>(info.hCursor);
    }
    return state;
}

WindowRef Win32Desktop::foregroundWindow() { return reinterpret_cast<WindowRef>(GetForegroundWindow()); }

String Win32Desktop::windowTitle(WindowRef window) {
    const int length = GetWindowTextLengthW(toHwnd(window));
    if (length <= 0) return String();
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(toHwnd(window), buffer.data(), length + 1);
    if (copied <= 0) return String();
    buffer.resize(static_cast<size_t>(copied));
    if (const size_t nul = buffer.find(L'\0'); nul != std::wstring::npos) buffer.resize(nul);
    return horalis::toCore(buffer);
}

bool Win32Desktop::isWindow(WindowRef window) {
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    return GetWindowInfo(toHwnd(window), &info) != FALSE;
}

bool Win32Desktop::identifyForegroundApplication(WindowRef window, String& path) {
    return horalis::identifyForegroundApplication(window, path);
}

}  // namespace horalis
