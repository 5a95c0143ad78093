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
#include "ui/framework/message_map.h"

namespace wingui {

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
