#pragma once
// Looking at and driving the windows of another process, as a user would see
// them: find a window, read its texts, press its buttons, read its lists.
#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/framework.h"

namespace e2e {

using Milliseconds = std::chrono::milliseconds;
inline constexpr Milliseconds kDefaultWait{10000};

// Polls condition every step until it holds or timeout passes; true if it held.
template <class Condition>
bool waitUntil(Condition condition, Milliseconds timeout = kDefaultWait, Milliseconds step = Milliseconds(20)) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(static_cast<DWORD>(step.count()));
    }
}

class Window {
public:
    Window() = default;
    explicit Window(HWND handle) : handle_(handle) {}

    HWND handle() const { return handle_; }
    bool exists() const { return handle_ != nullptr && IsWindow(handle_); }
    explicit operator bool() const { return exists(); }

    // The text the window itself reports (WM_GETTEXT), for controls too.
    std::wstring text() const;
    // The caption as the system keeps it; asks nothing of the window's thread,
    // so it also works while that thread is busy or hung.
    std::wstring caption() const;
    std::wstring className() const;
    DWORD processId() const;
    Window owner() const;
    Window control(int id) const;
    std::vector<Window> children() const;

    bool isVisible() const;
    bool isMinimised() const;
    bool isEnabled() const;
    RECT screenRect() const;
    SIZE clientSize() const;
    // A control's rectangle in this window's client coordinates.
    RECT controlRect(int id) const;

    // False when the window's thread has not handled a message within timeout.
    bool isResponsive(Milliseconds timeout = Milliseconds(2000)) const;
    bool waitClosed(Milliseconds timeout = kDefaultWait) const;

    // Posted, never sent: a command may open a modal loop of its own.
    void postCommand(int id, int notification = 0) const;
    // Sends a message whose lParam points at size bytes of data: the data is
    // copied into the window's process and back. False if it could not be sent.
    bool sendWithData(UINT message, WPARAM wParam, void* data, size_t size, LRESULT* result = nullptr) const;
    void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // class "caption" (handle), for failure messages.
    std::wstring describe() const;

private:
    HWND handle_ = nullptr;
};

class MessageBoxWindow : public Window {
public:
    using Window::Window;
    // The message itself; waits until the box has set it (Wine shows the box
    // before filling in the text).
    std::wstring text() const;
    // Identifiers of the visible buttons (IDOK, IDYES, ...), left to right.
    std::vector<int> buttons() const;
    void click(int buttonId) const;
    void clickOk() const { click(IDOK); }
    void clickYes() const { click(IDYES); }
    void clickNo() const { click(IDNO); }
};

// A list-view control of another process, read through memory allocated in
// that process (the list's messages carry pointers).
class ListView : public Window {
public:
    using Window::Window;
    int rowCount() const;
    int columnCount() const;
    std::wstring cellText(int row, int column) const;
    std::vector<std::vector<std::wstring>> rows() const;
    // The first row whose first column reads text, or -1.
    int rowOf(const std::wstring& text) const;
    // Seconds in the second column of that row, or -1 without such a row.
    int secondsOf(const std::wstring& text) const;
    int columnWidth(int column) const;
    // Where the row's icon is drawn, in the list's client coordinates.
    RECT iconRect(int row) const;
};

// Sizes a window of another process so that its client area is width x
// height; false if it does not get there.
bool resizeClient(const Window& main, int width, int height);

// Seconds of either time form of the lists ("1:05", "0:00:59", "59 sec", "100").
unsigned timeTextSeconds(const std::wstring& text);

// A key pressed and released as typed (it reaches low-level hooks, flagged as injected).
void tapKey(WORD key);
// The user at work: a key press or a small mouse move every step, for duration.
void workFor(Milliseconds duration, Milliseconds step = Milliseconds(250));

// This driver's own executable: the application that the lists show while one
// of its windows is in front.
std::wstring driverPath();

// Visible and hidden top-level windows of a process, in z-order.
std::vector<Window> topLevelWindows(DWORD processId);
// The first top-level window of the process with this class and caption.
Window findTopLevel(DWORD processId, std::wstring_view className, std::wstring_view caption);

// Saves the whole screen as a 24-bit BMP named after the case and tag into the
// screens folder; returns the file's path (empty on failure).
std::wstring screenshot(std::wstring_view tag);

}  // namespace e2e
