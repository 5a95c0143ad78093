#include "e2e/ui.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "base/handles.h"
#include "base/program_path.h"

namespace e2e {
namespace {

constexpr UINT kMessageTimeoutMs = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;

bool sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kMessageTimeoutMs,
                               &result) != 0;
}

// Memory in another process that its controls can write their answers into.
class RemoteMemory {
public:
    RemoteMemory(DWORD processId, size_t size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId)),
          size_(size) {
        if (process_)
            address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteMemory() {
        if (address_ != nullptr) VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool ok() const { return address_ != nullptr; }
    void* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool write(size_t offset, const void* data, size_t size) const {
        return WriteProcessMemory(process_.get(), at(offset), data, size, nullptr) != 0;
    }
    bool read(size_t offset, void* data, size_t size) const {
        return ReadProcessMemory(process_.get(), at(offset), data, size, nullptr) != 0;
    }

private:
    horalis::KernelHandle process_;
    void* address_ = nullptr;
    size_t size_;
};

HANDLE createdFile(HANDLE file) { return file == INVALID_HANDLE_VALUE ? nullptr : file; }

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter) {
    reinterpret_cast<std::vector<Window>*>(parameter)->push_back(Window(window));
    return TRUE;
}

}  // namespace

std::wstring Window::text() const {
    DWORD_PTR length = 0;
    if (!sendWithTimeout(handle_, WM_GETTEXTLENGTH, 0, 0, length)) return {};
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!sendWithTimeout(handle_, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), copied))
        return {};
    buffer.resize(std::min<size_t>(copied, length));
    return buffer;
}

bool Window::sendWithData(UINT message, WPARAM wParam, void* data, size_t size, LRESULT* result) const {
    RemoteMemory memory(processId(), size);
    if (!memory.ok() || !memory.write(0, data, size)) return false;
    DWORD_PTR answer = 0;
    if (!sendWithTimeout(handle_, message, wParam, reinterpret_cast<LPARAM>(memory.at(0)), answer)) return false;
    if (result) *result = static_cast<LRESULT>(answer);
    return memory.read(0, data, size);
}

std::wstring Window::caption() const {
    wchar_t buffer[512];
    const int length = GetWindowTextW(handle_, buffer, static_cast<int>(std::size(buffer)));
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring Window::className() const {
    wchar_t name[256];
    const int length = GetClassNameW(handle_, name, static_cast<int>(std::size(name)));
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

DWORD Window::processId() const {
    DWORD processId = 0;
    GetWindowThreadProcessId(handle_, &processId);
    return processId;
}

Window Window::owner() const { return Window(GetWindow(handle_, GW_OWNER)); }
Window Window::control(int id) const { return Window(GetDlgItem(handle_, id)); }

std::vector<Window> Window::children() const {
    std::vector<Window> found;
    EnumChildWindows(handle_, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Window::isVisible() const { return IsWindowVisible(handle_) != FALSE; }
bool Window::isMinimised() const { return IsIconic(handle_) != FALSE; }
bool Window::isEnabled() const { return IsWindowEnabled(handle_) != FALSE; }

RECT Window::screenRect() const {
    RECT rect{};
    GetWindowRect(handle_, &rect);
    return rect;
}

SIZE Window::clientSize() const {
    RECT rect{};
    GetClientRect(handle_, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT Window::controlRect(int id) const {
    RECT rect = control(id).screenRect();
    MapWindowPoints(nullptr, handle_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Window::isResponsive(Milliseconds timeout) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(handle_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               static_cast<UINT>(timeout.count()), &result) != 0;
}

bool Window::waitClosed(Milliseconds timeout) const {
    return waitUntil([&] { return !exists() || !isVisible(); }, timeout);
}

void Window::postCommand(int id, int notification) const {
    PostMessageW(handle_, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(GetDlgItem(handle_, id)));
}

void Window::post(UINT message, WPARAM wParam, LPARAM lParam) const { PostMessageW(handle_, message, wParam, lParam); }

std::wstring Window::describe() const {
    wchar_t handle[32];
    swprintf(handle, std::size(handle), L" (%p)", static_cast<void*>(handle_));
    return className() + L" \"" + caption() + L"\"" + handle;
}

std::wstring MessageBoxWindow::text() const {
    std::wstring message;
    waitUntil([&] {
        Window label = control(kMessageBoxTextId);
        if (label) {
            message = label.text();
        } else {
            for (const Window& child : children()) {
                if (_wcsicmp(child.className().c_str(), L"Static") == 0 && !(message = child.text()).empty()) break;
            }
        }
        return !message.empty();
    }, Milliseconds(3000));
    return message;
}

std::vector<int> MessageBoxWindow::buttons() const {
    std::vector<std::pair<LONG, int>> found;
    for (const Window& child : children()) {
        if (child.isVisible() && _wcsicmp(child.className().c_str(), L"Button") == 0)
            found.emplace_back(child.screenRect().left, GetDlgCtrlID(child.handle()));
    }
    std::sort(found.begin(), found.end());
    std::vector<int> ids;
    for (const auto& entry : found) ids.push_back(entry.second);
    return ids;
}

void MessageBoxWindow::click(int buttonId) const { postCommand(buttonId, BN_CLICKED); }

int ListView::rowCount() const {
    DWORD_PTR count = 0;
    return sendWithTimeout(handle(), LVM_GETITEMCOUNT, 0, 0, count) ? static_cast<int>(count) : -1;
}

int ListView::columnCount() const {
    DWORD_PTR header = 0;
    DWORD_PTR count = 0;
    if (!sendWithTimeout(handle(), LVM_GETHEADER, 0, 0, header) || header == 0) return -1;
    return sendWithTimeout(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, count) ? static_cast<int>(count)
                                                                                           : -1;
}

std::wstring ListView::cellText(int row, int column) const {
    constexpr size_t kTextChars = 1024;
    RemoteMemory memory(processId(), sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    if (!memory.ok()) return {};
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = static_cast<wchar_t*>(memory.at(sizeof(LVITEMW)));
    item.cchTextMax = static_cast<int>(kTextChars);
    if (!memory.write(0, &item, sizeof(item))) return {};
    DWORD_PTR length = 0;
    if (!sendWithTimeout(handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.at(0)),
                         length))
        return {};
    std::wstring text(kTextChars, L'\0');
    if (!memory.read(sizeof(LVITEMW), text.data(), kTextChars * sizeof(wchar_t))) return {};
    text.resize(std::min<size_t>(length, wcsnlen(text.c_str(), kTextChars)));
    return text;
}

int ListView::columnWidth(int column) const {
    DWORD_PTR width = 0;
    return sendWithTimeout(handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0, width) ? static_cast<int>(width)
                                                                                                : -1;
}

RECT ListView::iconRect(int row) const {
    RECT rect{};
    rect.left = LVIR_ICON;
    LRESULT ok = 0;
    if (!sendWithData(LVM_GETITEMRECT, static_cast<WPARAM>(row), &rect, sizeof rect, &ok) || !ok) return RECT{};
    return rect;
}

// Sizes the window so that its client area is width x height. The frame can
// change with the size (a menu bar that wraps), so it is measured again.
bool resizeClient(const Window& main, int width, int height) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const RECT outer = main.screenRect();
        const SIZE client = main.clientSize();
        if (client.cx == width && client.cy == height) return true;
        const int frameX = (outer.right - outer.left) - client.cx;
        const int frameY = (outer.bottom - outer.top) - client.cy;
        // Asynchronous: never block on another process's window.
        SetWindowPos(main.handle(), nullptr, 0, 0, width + frameX, height + frameY,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        waitUntil([&] {
            const SIZE now = main.clientSize();
            return now.cx == width && now.cy == height;
        }, Milliseconds(2000));
    }
    const SIZE client = main.clientSize();
    return client.cx == width && client.cy == height;
}

std::vector<std::vector<std::wstring>> ListView::rows() const {
    std::vector<std::vector<std::wstring>> table;
    const int count = rowCount();
    const int columns = std::max(columnCount(), 1);
    for (int row = 0; row < count; ++row) {
        std::vector<std::wstring>& cells = table.emplace_back();
        for (int column = 0; column < columns; ++column) cells.push_back(cellText(row, column));
    }
    return table;
}

std::vector<Window> topLevelWindows(DWORD processId) {
    std::vector<Window> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    std::erase_if(all, [&](const Window& window) { return window.processId() != processId; });
    return all;
}

Window findTopLevel(DWORD processId, std::wstring_view className, std::wstring_view caption) {
    for (const Window& window : topLevelWindows(processId)) {
        if (window.className() == className && window.caption() == caption) return window;
    }
    return Window();
}

std::wstring screenshot(std::wstring_view tag) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    horalis::WindowDc screen(nullptr);
    horalis::MemoryDc memory(CreateCompatibleDC(screen.get()));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    horalis::Bitmap bitmap(CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                           &bits, nullptr, 0));
    if (!memory || !bitmap || bits == nullptr) return {};
    {
        horalis::SelectObjectScope select(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY)) return {};
    }
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + imageSize;
    header.biSizeImage = imageSize;

    const std::wstring path = config().screensFolder + L"\\" + config().caseName + L"-" + std::wstring(tag) + L".bmp";
    horalis::KernelHandle out(
        createdFile(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!out) return {};
    DWORD written = 0;
    const bool ok = WriteFile(out.get(), &file, sizeof(file), &written, nullptr) &&
                    WriteFile(out.get(), &header, sizeof(header), &written, nullptr) &&
                    WriteFile(out.get(), bits, imageSize, &written, nullptr);
    return ok ? path : std::wstring();
}

int ListView::rowOf(const std::wstring& text) const {
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        if (cellText(row, 0) == text) return row;
    return -1;
}

int ListView::secondsOf(const std::wstring& text) const {
    const int row = rowOf(text);
    return row < 0 ? -1 : static_cast<int>(timeTextSeconds(cellText(row, 1)));
}

unsigned timeTextSeconds(const std::wstring& text) {
    unsigned total = 0, part = 0;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            part = part * 10 + static_cast<unsigned>(c - L'0');
        } else if (c == L':') {
            total = (total + part) * 60;
            part = 0;
        } else if (c != L' ' && c != L'\u00a0') {
            break;
        }
    }
    return total + part;
}

void tapKey(WORD key) {
    INPUT keys[2]{};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = key;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

void workFor(Milliseconds duration, Milliseconds step) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(duration.count());
    for (int n = 0; GetTickCount64() < end; ++n) {
        if (n % 2 == 0) {
            tapKey(VK_SHIFT);
        } else {
            INPUT move{};
            move.type = INPUT_MOUSE;
            move.mi.dx = n % 4 == 1 ? 3 : -3;
            move.mi.dwFlags = MOUSEEVENTF_MOVE;
            SendInput(1, &move, sizeof(INPUT));
        }
        Sleep(static_cast<DWORD>(step.count()));
    }
}

std::wstring driverPath() { return horalis::programPath(); }

}  // namespace e2e
