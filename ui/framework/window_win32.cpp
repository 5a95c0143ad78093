#include "ui/framework/window.h"

#include "base/handles.h"
#include "ui/framework/winapp.h"

namespace wingui {
namespace {

constexpr const wchar_t* kObjectProperty = L"wingui.CWnd";
// The window's own procedure, kept on the window itself: when another
// subclass was stacked on ours, ours cannot be taken out and must keep
// forwarding after the object is gone.
constexpr const wchar_t* kOriginalProcProperty = L"wingui.proc";

// The thread's WH_GETMESSAGE hook, installed while any window is bound.
thread_local HHOOK messageHook = nullptr;
thread_local int boundWindows = 0;

HWND reflectionTarget(const Message& m) {
    switch (m.msg) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(m.lParam);  // 0 for menus and accelerators
    case WM_NOTIFY:
        return m.lParam ? reinterpret_cast<const NMHDR*>(m.lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    default:
        return detail::isCtlColor(m.msg) ? reinterpret_cast<HWND>(m.lParam) : nullptr;
    }
}

bool isTopLevel(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0;
}

// Windows sends these to top-level windows only; the controls inside need
// them as well (an owner-drawn button's colours, a list view's fonts and
// colours), so a top-level window passes them on to all its descendants.
bool reachesTopLevelOnly(UINT msg) {
    return msg == WM_SYSCOLORCHANGE || msg == WM_SETTINGCHANGE || msg == WM_THEMECHANGED;
}

void forwardToDescendants(const Message& m) {
    EnumChildWindows(
        m.hwnd,
        [](HWND child, LPARAM data) -> BOOL {
            const auto* message = reinterpret_cast<const Message*>(data);
            SendMessageW(child, message->msg, message->wParam, message->lParam);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&m));
}

// F1 reaches the focused control as WM_HELP, which climbs to the top-level
// window; there it becomes the framework's help command for the main window,
// which passes it on to the application (CWinApp::onHelp).
void sendHelpCommand(HWND from) {
    CWinApp* app = CWinApp::current();
    CWnd* main = app ? app->mainWindow() : nullptr;
    HWND target = main && main->handle() ? main->handle() : from;
    SendMessageW(target, WM_COMMAND, MAKEWPARAM(kHelpCommand, 0), 0);
}

}  // namespace

HINSTANCE resourceInstance() {
    return GetModuleHandleW(nullptr);
}

namespace detail {

bool isCtlColor(UINT msg) {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

bool matchesMessage(HandlerKind kind, UINT msg, UINT id, UINT code, const Message& m) {
    switch (kind) {
    case HandlerKind::reflectedCommand:
    case HandlerKind::reflectedCommandEnd:
        return m.reflected && m.msg == WM_COMMAND && HIWORD(m.wParam) == code;
    case HandlerKind::reflectedNotify:
        return m.reflected && m.msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(m.lParam)->code == code;
    case HandlerKind::reflectedCtlColor:
        return m.reflected && isCtlColor(m.msg);
    case HandlerKind::reflectedDrawItem:
        return m.reflected && m.msg == WM_DRAWITEM;
    default:
        break;
    }
    if (m.reflected) return false;
    switch (kind) {
    case HandlerKind::ctlColor:
        return isCtlColor(m.msg);
    case HandlerKind::command:
        return m.msg == WM_COMMAND && LOWORD(m.wParam) == id && HIWORD(m.wParam) <= 1;
    case HandlerKind::commandCode:
        return m.msg == WM_COMMAND && LOWORD(m.wParam) == id && HIWORD(m.wParam) == code;
    case HandlerKind::notify: {
        if (m.msg != WM_NOTIFY) return false;
        const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
        return header->idFrom == id && header->code == code;
    }
    case HandlerKind::drawItem:
        return m.msg == WM_DRAWITEM && m.wParam == id;
    default:
        return m.msg == msg;
    }
}

}  // namespace detail

Dispatch MessageMap::dispatch(CWnd& self, Message& m) const {
    for (const MessageMap* map = this; map; map = map->base_) {
        Dispatch result = map->scan_(self, map->table_, map->count_, m);
        if (result != Dispatch::notFound) return result;
    }
    return Dispatch::notFound;
}

// --- CWnd ----------------------------------------------------------------

CWnd::~CWnd() {
    if (!hwnd_) return;
    HWND window = hwnd_;
    bool owns = ownsWindow_;
    detach();  // first, so that no message of the dying window reaches this object
    if (owns) DestroyWindow(window);
}

CWnd* CWnd::fromHandle(HWND window) {
    return window ? static_cast<CWnd*>(GetPropW(window, kObjectProperty)) : nullptr;
}

void CWnd::attach(HWND window) {
    hwnd_ = window;
    SetPropW(window, kObjectProperty, this);
    if (boundWindows++ == 0 && !messageHook)
        messageHook = SetWindowsHookExW(WH_GETMESSAGE, &CWnd::getMessageHook, nullptr, GetCurrentThreadId());
}

void CWnd::detach() {
    if (!hwnd_) return;
    if (originalProc_ &&
        GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::windowProc)) {
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
        RemovePropW(hwnd_, kOriginalProcProperty);
    }
    if (GetPropW(hwnd_, kObjectProperty) == this) RemovePropW(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
    originalProc_ = nullptr;
    ownsWindow_ = false;
    if (--boundWindows == 0 && messageHook) {
        UnhookWindowsHookEx(messageHook);
        messageHook = nullptr;
    }
}

bool CWnd::subclassWindow(HWND window) {
    if (!window || hwnd_ || fromHandle(window)) return false;
    attach(window);
    onAttach();
    if (!hwnd_) return false;  // the hook gave the window up
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::windowProc)));
    if (!originalProc_) {
        detach();
        return false;
    }
    SetPropW(window, kOriginalProcProperty, reinterpret_cast<HANDLE>(originalProc_));
    return true;
}

bool CWnd::subclassDlgItem(int id, const CWnd& parent) {
    return subclassWindow(GetDlgItem(parent.handle(), id));
}

HWND CWnd::unsubclassWindow() {
    HWND window = hwnd_;
    if (window && originalProc_) detach();
    return window;
}

bool CWnd::createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                        const RECT& rect, HWND parent, HMENU menuOrId) {
    if (hwnd_) return false;
    HWND window = CreateWindowExW(exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, menuOrId, resourceInstance(), nullptr);
    if (!window) return false;
    if (!subclassWindow(window)) {
        DestroyWindow(window);
        return false;
    }
    ownsWindow_ = true;
    return true;
}

bool CWnd::destroyWindow() {
    if (!hwnd_) return false;
    return DestroyWindow(hwnd_) != FALSE;  // WM_NCDESTROY detaches
}

LRESULT CWnd::sendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return SendMessageW(hwnd_, msg, wParam, lParam);
}

bool CWnd::postMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return PostMessageW(hwnd_, msg, wParam, lParam) != FALSE;
}

int CWnd::dlgCtrlId() const {
    return GetDlgCtrlID(hwnd_);
}

HWND CWnd::dlgItem(int id) const {
    return GetDlgItem(hwnd_, id);
}

std::wstring CWnd::windowText() const {
    return wingui::windowText(hwnd_);
}

void CWnd::setWindowText(const std::wstring& text) const {
    SetWindowTextW(hwnd_, text.c_str());
}

RECT CWnd::clientRect() const {
    RECT rect{};
    GetClientRect(hwnd_, &rect);
    return rect;
}

RECT CWnd::windowRect() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return rect;
}

RECT CWnd::rectInParent() const {
    return wingui::rectInParent(hwnd_);
}

LONG_PTR CWnd::style() const {
    return GetWindowLongPtrW(hwnd_, GWL_STYLE);
}

void CWnd::modifyStyle(DWORD remove, DWORD add, UINT swpFlags) const {
    LONG_PTR old = style();
    LONG_PTR changed = (old & ~static_cast<LONG_PTR>(remove)) | static_cast<LONG_PTR>(add);
    if (changed == old) return;
    SetWindowLongPtrW(hwnd_, GWL_STYLE, changed);
    if (swpFlags)
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
}

void CWnd::invalidate(bool erase) const {
    InvalidateRect(hwnd_, nullptr, erase);
}

bool CWnd::showWindow(int command) const {
    return ShowWindow(hwnd_, command) != FALSE;
}

bool CWnd::isWindowVisible() const {
    return IsWindowVisible(hwnd_) != FALSE;
}

bool CWnd::enableWindow(bool enable) const {
    return EnableWindow(hwnd_, enable) != FALSE;
}

bool CWnd::preTranslateMessage(MSG&) {
    return false;
}

LRESULT CWnd::defaultProcessing() {
    Message* m = current_;
    if (!m || m->reflected) return 0;  // a reflected notification has no default of its own
    if (!m->defaultDone) {
        m->defaultResult = callDefault(*m);
        m->defaultDone = true;
    }
    return m->defaultResult;
}

LRESULT CWnd::callDefault(const Message& m) {
    if (originalProc_) return CallWindowProcW(originalProc_, m.hwnd, m.msg, m.wParam, m.lParam);
    return DefWindowProcW(m.hwnd, m.msg, m.wParam, m.lParam);
}

bool CWnd::processMessage(Message& m) {
    if (!m.reflected && reachesTopLevelOnly(m.msg) && isTopLevel(m.hwnd)) forwardToDescendants(m);
    if (!m.reflected && reflectToChild(m)) return true;
    if (dispatchOwn(m)) return true;
    if (m.msg == WM_HELP && !m.reflected && isTopLevel(m.hwnd)) {
        sendHelpCommand(m.hwnd);
        m.result = TRUE;
        return true;
    }
    return false;
}

bool CWnd::dispatchOwn(Message& m) {
    const MessageMap* map = messageMap();
    Dispatch result = map ? map->dispatch(*this, m) : Dispatch::notFound;
    if (result == Dispatch::handled) return true;
    if (m.defaultDone) {  // the handler ran the default itself, then declined
        m.result = m.defaultResult;
        return true;
    }
    return false;
}

bool CWnd::reflectToChild(Message& m) {
    HWND target = reflectionTarget(m);
    if (!target || target == m.hwnd) return false;
    CWnd* child = fromHandle(target);
    if (!child) return false;
    Message reflected = m;
    reflected.hwnd = target;
    reflected.reflected = true;
    reflected.defaultDone = false;
    MessageScope scope(*child, &reflected);
    const MessageMap* map = child->messageMap();
    if (!map || map->dispatch(*child, reflected) != Dispatch::handled) return false;
    m.result = reflected.result;
    return true;
}

LRESULT CALLBACK CWnd::windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    CWnd* self = fromHandle(window);
    if (!self || !self->originalProc_) {
        auto original = reinterpret_cast<WNDPROC>(GetPropW(window, kOriginalProcProperty));
        if (msg == WM_NCDESTROY) RemovePropW(window, kOriginalProcProperty);
        return original ? CallWindowProcW(original, window, msg, wParam, lParam)
                        : DefWindowProcW(window, msg, wParam, lParam);
    }
    WNDPROC original = self->originalProc_;
    Message m{window, msg, wParam, lParam};
    LRESULT result = 0;
    try {
        bool handled;
        {
            MessageScope scope(*self, &m);
            handled = self->processMessage(m);
        }
        result = handled ? m.result : CallWindowProcW(original, window, msg, wParam, lParam);
    } catch (...) {
        result = m.defaultDone ? m.defaultResult : CallWindowProcW(original, window, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        if (fromHandle(window) == self) self->detach();
        RemovePropW(window, kOriginalProcProperty);
    }
    return result;
}

LRESULT CALLBACK CWnd::getMessageHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        try {
            // The target first, then the windows it is a child of.
            for (HWND window = msg->hwnd; window;) {
                if (CWnd* object = fromHandle(window); object && object->preTranslateMessage(*msg)) {
                    msg->message = WM_NULL;
                    break;
                }
                if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) break;
                window = GetParent(window);
            }
        } catch (...) {
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT rectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int textWidth(HWND window, const std::wstring& text) {
    if (text.empty()) return 0;
    horalis::WindowDc dc(window);
    if (!dc.get()) return 0;
    const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    horalis::SelectObjectScope selected(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SIZE extent{};
    if (!GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent)) return 0;
    return extent.cx;
}

}  // namespace wingui
