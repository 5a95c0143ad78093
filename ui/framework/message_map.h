#pragma once
// wingui's handler tables: the typed entries a window class lists its
// handlers in, and their matching and calling (see window.h and README.md).
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>

namespace wingui {

class CWnd;

// One window message while it is being handled.
struct Message {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool reflected = false;  // offered to the child that sent it
    LRESULT result = 0;
    bool defaultDone = false;  // defaultProcessing() already ran
    LRESULT defaultResult = 0;
};

enum class HandlerKind : uint8_t {
    raw,           // LRESULT(WPARAM, LPARAM)
    plain,         // void()
    timer,         // void(UINT_PTR id)
    size,          // void(UINT type, int cx, int cy)
    command,       // void(), WM_COMMAND from a menu, accelerator or BN_CLICKED
    commandCode,   // void(), WM_COMMAND with one notification code
    notify,        // LRESULT(NMHDR*)
    drawItem,      // void(DRAWITEMSTRUCT&), by control id
    ctlColor,      // HBRUSH(HDC, HWND control); null declines
    sysCommand,    // bool(UINT id); false declines
    queryIcon,     // HICON()
    mouse,         // void(UINT keys, POINT client)
    setCursor,     // bool(HWND, UINT hitTest, UINT mouseMessage); false declines
    focus,         // void(HWND other) for WM_SETFOCUS / WM_KILLFOCUS
    activate,      // void(UINT state, HWND other, bool minimised)
    enable,        // void(bool enabled)
    reflectedCommand,    // bool(); false lets the parent see it too
    reflectedCommandEnd, // void(); consumed
    reflectedNotify,     // LRESULT(NMHDR*); consumed
    reflectedCtlColor,   // HBRUSH(HDC); null lets the parent answer
    reflectedDrawItem,   // void(DRAWITEMSTRUCT&)
};

// One entry of a class's handler table. Made by the on...() functions below.
template <class T>
struct Handler {
    HandlerKind kind;
    UINT msg;   // the message (WM_COMMAND, WM_NOTIFY... for those kinds)
    UINT id;    // command or control id, where it matters
    UINT code;  // notification code, where it matters
    union Fn {
        LRESULT (T::*raw)(WPARAM, LPARAM);
        void (T::*plain)();
        bool (T::*flag)();
        void (T::*timer)(UINT_PTR);
        void (T::*size)(UINT, int, int);
        LRESULT (T::*notify)(NMHDR*);
        void (T::*drawItem)(DRAWITEMSTRUCT&);
        HBRUSH (T::*ctlColor)(HDC, HWND);
        HBRUSH (T::*reflectedCtlColor)(HDC);
        bool (T::*sysCommand)(UINT);
        HICON (T::*queryIcon)();
        void (T::*mouse)(UINT, POINT);
        bool (T::*setCursor)(HWND, UINT, UINT);
        void (T::*focus)(HWND);
        void (T::*activate)(UINT, HWND, bool);
        void (T::*enable)(bool);
    } fn;
};

// --- Table entries -------------------------------------------------------
// Any message, raw parameters; the result goes back to the sender.
template <class T>
constexpr Handler<T> onMessage(UINT msg, LRESULT (T::*f)(WPARAM, LPARAM)) {
    return {HandlerKind::raw, msg, 0, 0, {.raw = f}};
}
// Any message whose parameters don't matter; result 0.
template <class T>
constexpr Handler<T> onMessage(UINT msg, void (T::*f)()) {
    return {HandlerKind::plain, msg, 0, 0, {.plain = f}};
}
template <class T>
constexpr Handler<T> onTimer(void (T::*f)(UINT_PTR)) {
    return {HandlerKind::timer, WM_TIMER, 0, 0, {.timer = f}};
}
template <class T>
constexpr Handler<T> onSize(void (T::*f)(UINT, int, int)) {
    return {HandlerKind::size, WM_SIZE, 0, 0, {.size = f}};
}
template <class T>
constexpr Handler<T> onPaint(void (T::*f)()) {
    return onMessage(WM_PAINT, f);
}
template <class T>
constexpr Handler<T> onClose(void (T::*f)()) {
    return onMessage(WM_CLOSE, f);
}
template <class T>
constexpr Handler<T> onQueryDragIcon(HICON (T::*f)()) {
    return {HandlerKind::queryIcon, WM_QUERYDRAGICON, 0, 0, {.queryIcon = f}};
}
template <class T>
constexpr Handler<T> onSysCommand(bool (T::*f)(UINT)) {
    return {HandlerKind::sysCommand, WM_SYSCOMMAND, 0, 0, {.sysCommand = f}};
}
// Every WM_CTLCOLOR* message; the handler gets the control's window.
template <class T>
constexpr Handler<T> onCtlColor(HBRUSH (T::*f)(HDC, HWND)) {
    return {HandlerKind::ctlColor, WM_CTLCOLORSTATIC, 0, 0, {.ctlColor = f}};
}
// A menu item, an accelerator or a button click (notification code 0 or 1).
template <class T>
constexpr Handler<T> onCommand(UINT id, void (T::*f)()) {
    return {HandlerKind::command, WM_COMMAND, id, 0, {.plain = f}};
}
// A control's WM_COMMAND notification with the given code (EN_CHANGE...).
template <class T>
constexpr Handler<T> onCommand(UINT id, UINT code, void (T::*f)()) {
    return {HandlerKind::commandCode, WM_COMMAND, id, code, {.plain = f}};
}
template <class T>
constexpr Handler<T> onNotify(UINT id, UINT code, LRESULT (T::*f)(NMHDR*)) {
    return {HandlerKind::notify, WM_NOTIFY, id, code, {.notify = f}};
}
template <class T>
constexpr Handler<T> onDrawItem(UINT id, void (T::*f)(DRAWITEMSTRUCT&)) {
    return {HandlerKind::drawItem, WM_DRAWITEM, id, 0, {.drawItem = f}};
}
// WM_MOUSEMOVE, WM_LBUTTONDOWN...: key flags and the point in client pixels.
template <class T>
constexpr Handler<T> onMouse(UINT msg, void (T::*f)(UINT, POINT)) {
    return {HandlerKind::mouse, msg, 0, 0, {.mouse = f}};
}
template <class T>
constexpr Handler<T> onSetCursor(bool (T::*f)(HWND, UINT, UINT)) {
    return {HandlerKind::setCursor, WM_SETCURSOR, 0, 0, {.setCursor = f}};
}
// WM_SETFOCUS or WM_KILLFOCUS, with the window that gets or had the focus.
template <class T>
constexpr Handler<T> onFocus(UINT msg, void (T::*f)(HWND)) {
    return {HandlerKind::focus, msg, 0, 0, {.focus = f}};
}
template <class T>
constexpr Handler<T> onActivate(void (T::*f)(UINT, HWND, bool)) {
    return {HandlerKind::activate, WM_ACTIVATE, 0, 0, {.activate = f}};
}
template <class T>
constexpr Handler<T> onEnable(void (T::*f)(bool)) {
    return {HandlerKind::enable, WM_ENABLE, 0, 0, {.enable = f}};
}

// --- Reflected entries: a control's own notifications, back from the parent.
// bool(): return false to let the parent handle the notification as well.
template <class T>
constexpr Handler<T> onReflectedCommand(UINT code, bool (T::*f)()) {
    return {HandlerKind::reflectedCommand, WM_COMMAND, 0, code, {.flag = f}};
}
template <class T>
constexpr Handler<T> onReflectedCommand(UINT code, void (T::*f)()) {
    return {HandlerKind::reflectedCommandEnd, WM_COMMAND, 0, code, {.plain = f}};
}
template <class T>
constexpr Handler<T> onReflectedNotify(UINT code, LRESULT (T::*f)(NMHDR*)) {
    return {HandlerKind::reflectedNotify, WM_NOTIFY, 0, code, {.notify = f}};
}
template <class T>
constexpr Handler<T> onReflectedCtlColor(HBRUSH (T::*f)(HDC)) {
    return {HandlerKind::reflectedCtlColor, WM_CTLCOLORSTATIC, 0, 0, {.reflectedCtlColor = f}};
}
template <class T>
constexpr Handler<T> onReflectedDrawItem(void (T::*f)(DRAWITEMSTRUCT&)) {
    return {HandlerKind::reflectedDrawItem, WM_DRAWITEM, 0, 0, {.drawItem = f}};
}

// --- Matching and calling, once for all classes ----------------------------
// declined: the entry matched but left the message to the default processing
// (for reflected entries: to the parent).
enum class Dispatch { notFound, handled, declined };

namespace detail {
bool isCtlColor(UINT msg);
bool matchesMessage(HandlerKind kind, UINT msg, UINT id, UINT code, const Message& m);

template <class T>
Dispatch call(const Handler<T>& h, T& self, Message& m) {
    const auto& f = h.fn;
    switch (h.kind) {
    case HandlerKind::raw:
        m.result = (self.*f.raw)(m.wParam, m.lParam);
        return Dispatch::handled;
    case HandlerKind::plain:
    case HandlerKind::command:
    case HandlerKind::commandCode:
    case HandlerKind::reflectedCommandEnd:
        (self.*f.plain)();
        return Dispatch::handled;
    case HandlerKind::reflectedCommand:
        return (self.*f.flag)() ? Dispatch::handled : Dispatch::declined;
    case HandlerKind::timer:
        (self.*f.timer)(static_cast<UINT_PTR>(m.wParam));
        return Dispatch::handled;
    case HandlerKind::size:
        (self.*f.size)(static_cast<UINT>(m.wParam), static_cast<int>(LOWORD(m.lParam)),
                       static_cast<int>(HIWORD(m.lParam)));
        return Dispatch::handled;
    case HandlerKind::notify:
    case HandlerKind::reflectedNotify:
        m.result = (self.*f.notify)(reinterpret_cast<NMHDR*>(m.lParam));
        return Dispatch::handled;
    case HandlerKind::drawItem:
    case HandlerKind::reflectedDrawItem:
        (self.*f.drawItem)(*reinterpret_cast<DRAWITEMSTRUCT*>(m.lParam));
        m.result = TRUE;
        return Dispatch::handled;
    case HandlerKind::ctlColor: {
        HBRUSH brush = (self.*f.ctlColor)(reinterpret_cast<HDC>(m.wParam), reinterpret_cast<HWND>(m.lParam));
        m.result = reinterpret_cast<LRESULT>(brush);
        return brush ? Dispatch::handled : Dispatch::declined;
    }
    case HandlerKind::reflectedCtlColor: {
        HBRUSH brush = (self.*f.reflectedCtlColor)(reinterpret_cast<HDC>(m.wParam));
        m.result = reinterpret_cast<LRESULT>(brush);
        return brush ? Dispatch::handled : Dispatch::declined;
    }
    case HandlerKind::sysCommand:
        return (self.*f.sysCommand)(static_cast<UINT>(m.wParam)) ? Dispatch::handled : Dispatch::declined;
    case HandlerKind::queryIcon:
        m.result = reinterpret_cast<LRESULT>((self.*f.queryIcon)());
        return Dispatch::handled;
    case HandlerKind::mouse: {
        POINT pt{static_cast<short>(LOWORD(m.lParam)), static_cast<short>(HIWORD(m.lParam))};
        (self.*f.mouse)(static_cast<UINT>(m.wParam), pt);
        return Dispatch::handled;
    }
    case HandlerKind::setCursor:
        if (!(self.*f.setCursor)(reinterpret_cast<HWND>(m.wParam), LOWORD(m.lParam), HIWORD(m.lParam)))
            return Dispatch::declined;
        m.result = TRUE;
        return Dispatch::handled;
    case HandlerKind::focus:
        (self.*f.focus)(reinterpret_cast<HWND>(m.wParam));
        return Dispatch::handled;
    case HandlerKind::activate:
        (self.*f.activate)(LOWORD(m.wParam), reinterpret_cast<HWND>(m.lParam), HIWORD(m.wParam) != 0);
        return Dispatch::handled;
    case HandlerKind::enable:
        (self.*f.enable)(m.wParam != 0);
        return Dispatch::handled;
    }
    return Dispatch::notFound;
}

template <class T>
Dispatch scan(CWnd& self, const void* table, size_t count, Message& m) {
    const auto* entries = static_cast<const Handler<T>*>(table);
    for (size_t i = 0; i < count; ++i) {
        const Handler<T>& h = entries[i];
        if (matchesMessage(h.kind, h.msg, h.id, h.code, m)) return call(h, static_cast<T&>(self), m);
    }
    return Dispatch::notFound;
}
}  // namespace detail

// A class's table plus the map of its base class.
class MessageMap {
public:
    template <class T, size_t N>
    MessageMap(const Handler<T> (&table)[N], const MessageMap* base)
        : base_(base), table_(table), count_(N), scan_(&detail::scan<T>) {}

    // Scans this table, then the base classes' tables; the first match decides.
    Dispatch dispatch(CWnd& self, Message& m) const;

private:
    const MessageMap* base_;
    const void* table_;
    size_t count_;
    Dispatch (*scan_)(CWnd&, const void*, size_t, Message&);
};

}  // namespace wingui
