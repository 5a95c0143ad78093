#pragma once
// wingui: the small window framework of the Win32 shell. README.md in this
// folder is the guide with examples; in short:
//
// * Every window class derives from CWnd (dialogs from CDialog) and overrides
//   the message-map accessor. The table is static and typed; the base scans
//   it, the first matching entry wins, and the map chains to the base class's:
//
//     const wingui::MessageMap* CMainDlg::messageMap() const {
//         static constexpr wingui::Handler<CMainDlg> handlers[] = {
//             wingui::onTimer(&CMainDlg::onTimer),                 // void(UINT_PTR id)
//             wingui::onCommand(32776, &CMainDlg::exportCsv),      // void()
//             wingui::onNotify(1003, NM_CLICK, &CMainDlg::onAppListClick),  // LRESULT(NMHDR*)
//         };
//         static const wingui::MessageMap map{handlers, CDialog::messageMap()};
//         return &map;
//     }
//
//   Write the entries qualified (wingui::onTimer): a handler member of the
//   same name hides the unqualified one.
//   Messages are unpacked once, here, into the handler's typed arguments. An
//   entry that is found replaces the platform's default processing; inside a
//   handler, defaultProcessing() runs the default first (MFC's Default()).
//   Handlers that return bool or a brush/icon may decline (false / null): the
//   message then gets the default processing.
//
// * Reflection: a WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR* or WM_DRAWITEM from a
//   child that is bound to a CWnd object is first offered to that object's
//   table (entries made with onReflected...), then to the parent's own table.
//   A reflected command handler returning bool says whether it consumed the
//   notification (false lets the parent see it too, as BN_CLICKED needs).
//
// * Controls of a dialog are bound to members with the data-exchange step:
//   override CDialog::doDataExchange and call ddxControl / ddxCheck / ddxText.
//   Binding subclasses the dialog item and runs the control's onAttach() hook.
//
// * preTranslateMessage(MSG&) sees each queued message for the window (and
//   for its child windows) before it is dispatched, in every message loop of
//   the thread: DialogBoxParam's modal loop cannot be entered, so the
//   framework watches the queue with a WH_GETMESSAGE hook of the thread.
//   Returning true swallows the message (it becomes WM_NULL); the MSG may
//   also be changed in place.
//
// * No exception leaves a window, dialog or hook procedure: they catch
//   everything and fall back to the default processing.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/handles.h"

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

// --- CWnd ----------------------------------------------------------------
class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Takes the procedure back from a subclassed window; destroys a window
    // that this object created.
    virtual ~CWnd();

    HWND handle() const { return hwnd_; }
    // The object bound to a window, or null.
    static CWnd* fromHandle(HWND window);

    // Binds this object to an existing window (a dialog item): runs
    // onAttach(), then routes the window's messages through this object.
    bool subclassWindow(HWND window);
    bool subclassDlgItem(int id, const CWnd& parent);
    // Gives the window back its own procedure and forgets it.
    HWND unsubclassWindow();
    // Creates a window owned by this object (destroyed with it) and binds it.
    bool createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style,
                      const RECT& rect, HWND parent, HMENU menuOrId = nullptr);
    bool destroyWindow();

    LRESULT sendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool postMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    int dlgCtrlId() const;
    HWND dlgItem(int id) const;
    std::wstring windowText() const;
    void setWindowText(const std::wstring& text) const;
    RECT clientRect() const;
    RECT windowRect() const;    // screen coordinates
    RECT rectInParent() const;  // window rectangle in the parent's client coordinates
    LONG_PTR style() const;
    // Changes style bits; with swpFlags, also SetWindowPos so that the frame follows.
    void modifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    void invalidate(bool erase = true) const;
    bool showWindow(int command) const;
    bool isWindowVisible() const;
    bool enableWindow(bool enable) const;

protected:
    // The class's handler table (see the top of this file). CWnd has none.
    virtual const MessageMap* messageMap() const { return nullptr; }
    // The attach hook: runs when the object is bound to its window, before the
    // window's messages come through it. Base: nothing.
    virtual void onAttach() {}
    // The pre-translation hook: sees queued messages for this window and its
    // child windows before dispatch. True swallows the message.
    virtual bool preTranslateMessage(MSG& msg);
    // The platform's own processing of the message being handled, for use
    // inside a handler (once; later calls return the same result).
    LRESULT defaultProcessing();

    // Offers a message to the child's object, then to this object's tables.
    bool processMessage(Message& m);
    // What the platform does with a message nobody handled.
    virtual LRESULT callDefault(const Message& m);
    void attach(HWND window);
    void detach();

    // Makes m the message that defaultProcessing() refers to, for one scope.
    class MessageScope {
    public:
        MessageScope(CWnd& window, Message* m) : slot_(window.current_), outer_(std::exchange(window.current_, m)) {}
        MessageScope(const MessageScope&) = delete;
        MessageScope& operator=(const MessageScope&) = delete;
        ~MessageScope() { slot_ = outer_; }

    private:
        Message*& slot_;
        Message* outer_;
    };

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK getMessageHook(int code, WPARAM wParam, LPARAM lParam) noexcept;
    bool reflectToChild(Message& m);
    bool dispatchOwn(Message& m);

    HWND hwnd_ = nullptr;
    WNDPROC originalProc_ = nullptr;  // set while subclassed
    bool ownsWindow_ = false;
    Message* current_ = nullptr;      // the message being handled
    friend class CDialog;
};

// --- Dialog data exchange ---------------------------------------------------
class CDialog;

class DataExchange {
public:
    DataExchange(CDialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}
    // true: controls to members (OK); false: members to controls (initialisation).
    bool saving() const { return saving_; }
    CDialog& dialog() const { return dialog_; }
    HWND item(int id) const;

private:
    CDialog& dialog_;
    bool saving_;
};

// Binds the dialog item to the control object (once; later calls do nothing).
void ddxControl(DataExchange& dx, int id, CWnd& control);
// Check box state: 0 unchecked, 1 checked, 2 indeterminate. Any other value
// is set to 0 before it goes to the control.
void ddxCheck(DataExchange& dx, int id, int32_t& state);
void ddxText(DataExchange& dx, int id, std::wstring& text);

// --- CDialog -----------------------------------------------------------------
class CDialog : public CWnd {
public:
    // Without a parent, a modal dialog is owned by the application's main window.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : templateId_(templateId), parent_(parent) {}

    // Runs the dialog modally; returns the endDialog result, or -1 when the
    // dialog could not be created.
    INT_PTR doModal();
    // Creates the dialog modeless, owned by owner; the object destroys it.
    bool create(HWND owner);
    void endDialog(INT_PTR result) const;
    // Runs the data-exchange step; saving = controls to members.
    bool updateData(bool saving = true);
    UINT templateId() const { return templateId_; }
    // The DPI the dialog is laid out for: its monitor's at creation, then
    // the one of each WM_DPICHANGED.
    UINT dpi() const { return dpi_; }

protected:
    // Base: the data-exchange step to the controls; true lets the platform
    // set the focus.
    virtual BOOL onInitDialog();
    virtual void doDataExchange(DataExchange&) {}
    // Base: controls to members, then endDialog(IDOK).
    virtual void onOK();
    // Base: endDialog(IDCANCEL).
    virtual void onCancel();
    // After a move to a monitor of another DPI, once every control has the
    // dialog font at the new DPI and its place scaled, and the dialog has the
    // rectangle Windows suggested: whatever the class sizes in code itself
    // (list columns, image lists, pictures). Base: nothing.
    virtual void onDpiChanged(UINT fromDpi) { (void)fromDpi; }
    // Binds IDOK and IDCANCEL to onOK and onCancel.
    const MessageMap* messageMap() const override;
    LRESULT callDefault(const Message& m) override;

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    void okCommand() { onOK(); }
    void cancelCommand() { onCancel(); }
    HWND ownerWindow() const;
    void noteTemplateFont();
    LRESULT dpiChanged(WPARAM dpis, LPARAM suggested);

    UINT templateId_;
    CWnd* parent_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    LOGFONTW templateFont_{};  // the template's font as created, with its size in points
    int templatePoints_ = 0;   // 0: no font to scale
    horalis::Font font_;       // the template's font at dpi_, after the first DPI change
};

// The module whose resources the program uses (the executable).
HINSTANCE resourceInstance();

// Width in pixels of text in the window's own font (WM_GETFONT); 0 when it
// cannot be measured.
int textWidth(HWND window, const std::wstring& text);

std::wstring windowText(HWND window);

// A child window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND child);

}  // namespace wingui
