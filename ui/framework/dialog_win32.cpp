#include <utility>

#include "ui/framework/dpi.h"
#include "ui/framework/window.h"
#include "ui/framework/winapp.h"

namespace wingui {
namespace {

// Messages whose result a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
bool returnsResultDirectly(UINT msg) {
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

}  // namespace

// --- Data exchange -------------------------------------------------------------

HWND DataExchange::item(int id) const {
    return GetDlgItem(dialog_.handle(), id);
}

void ddxControl(DataExchange& dx, int id, CWnd& control) {
    if (!control.handle()) control.subclassDlgItem(id, dx.dialog());
}

void ddxCheck(DataExchange& dx, int id, int32_t& state) {
    HWND item = dx.item(id);
    if (dx.saving()) {
        state = static_cast<int32_t>(SendMessageW(item, BM_GETCHECK, 0, 0));
        return;
    }
    if (state < BST_UNCHECKED || state > BST_INDETERMINATE) state = BST_UNCHECKED;
    SendMessageW(item, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void ddxText(DataExchange& dx, int id, std::wstring& text) {
    HWND item = dx.item(id);
    if (dx.saving()) {
        std::wstring value(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
        value.resize(static_cast<size_t>(GetWindowTextW(item, value.data(), static_cast<int>(value.size()))));
        text = std::move(value);
    } else {
        SetWindowTextW(item, text.c_str());
    }
}

// --- CDialog -----------------------------------------------------------------

HWND CDialog::ownerWindow() const {
    if (parent_) return parent_->handle();
    CWinApp* app = CWinApp::current();
    CWnd* main = app ? app->mainWindow() : nullptr;
    if (main && main != this && main->handle()) return GetLastActivePopup(main->handle());
    return nullptr;
}

INT_PTR CDialog::doModal() {
    if (handle()) return -1;
    return DialogBoxParamW(resourceInstance(), MAKEINTRESOURCEW(templateId_), ownerWindow(), &CDialog::dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::create(HWND owner) {
    if (handle()) return false;
    HWND window = CreateDialogParamW(resourceInstance(), MAKEINTRESOURCEW(templateId_), owner, &CDialog::dialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!window) return false;
    ownsWindow_ = true;
    return true;
}

void CDialog::endDialog(INT_PTR result) const {
    EndDialog(handle(), result);
}

bool CDialog::updateData(bool saving) {
    DataExchange dx(*this, saving);
    doDataExchange(dx);
    return true;
}

BOOL CDialog::onInitDialog() {
    updateData(false);
    return TRUE;
}

void CDialog::onOK() {
    if (!updateData(true)) return;
    endDialog(IDOK);
}

void CDialog::onCancel() {
    endDialog(IDCANCEL);
}

const MessageMap* CDialog::messageMap() const {
    static constexpr Handler<CDialog> handlers[] = {
        wingui::onCommand(IDOK, &CDialog::okCommand),
        wingui::onCommand(IDCANCEL, &CDialog::cancelCommand),
        wingui::onMessage(WM_DPICHANGED, &CDialog::dpiChanged),
    };
    static const MessageMap map{handlers, CWnd::messageMap()};
    return &map;
}

// The template's font as the dialog manager made it for the dialog's DPI;
// its size in points is what every later DPI gets.
void CDialog::noteTemplateFont() {
    const auto font = reinterpret_cast<HFONT>(sendMessage(WM_GETFONT));
    if (!font || GetObjectW(font, sizeof templateFont_, &templateFont_) != sizeof templateFont_) return;
    templatePoints_ = MulDiv(templateFont_.lfHeight < 0 ? -templateFont_.lfHeight : templateFont_.lfHeight, 72,
                             static_cast<int>(dpi_));
}

// Windows sends WM_DPICHANGED when the dialog moves to a monitor of another
// DPI (or that monitor's scale changes); the dialog is to take the suggested
// rectangle in lParam. Every control gets the template's font made for the new
// DPI and its place scaled (takeOverDialogDpiChanges says why it is done here),
// then the class scales its own sizes.
LRESULT CDialog::dpiChanged(WPARAM dpis, LPARAM suggested) {
    const UINT from = dpi_;
    const UINT to = LOWORD(dpis);
    if (to == 0 || to == from) return 0;
    dpi_ = to;
    horalis::Font font;
    if (templatePoints_ > 0) {
        LOGFONTW scaled = templateFont_;
        scaled.lfHeight = -MulDiv(templatePoints_, static_cast<int>(to), 72);
        font.reset(CreateFontIndirectW(&scaled));
    }
    rescaleDialogControls(handle(), font.get(), from, to);
    font_ = std::move(font);  // the previous one only now that no control uses it
    if (const auto* rect = reinterpret_cast<const RECT*>(suggested))
        SetWindowPos(handle(), nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    onDpiChanged(from);
    return 0;
}

LRESULT CDialog::callDefault(const Message& m) {
    // DefDlgProc would call this very procedure again; its own work for the
    // messages a handler may pass on is DefWindowProc's.
    return DefWindowProcW(m.hwnd, m.msg, m.wParam, m.lParam);
}

INT_PTR CALLBACK CDialog::dialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        self->attach(window);
        self->dpi_ = windowDpi(window);
        takeOverDialogDpiChanges(window);
        self->noteTemplateFont();
        Message m{window, msg, wParam, lParam};
        try {
            MessageScope scope(*self, &m);
            return self->onInitDialog();
        } catch (...) {
            EndDialog(window, -1);
            return FALSE;
        }
    }
    CWnd* self = fromHandle(window);
    if (!self) return FALSE;  // messages before WM_INITDIALOG, or after the object let go

    Message m{window, msg, wParam, lParam};
    bool handled = false;
    try {
        MessageScope scope(*self, &m);
        handled = self->processMessage(m);
        if (!handled && msg == WM_COMMAND && lParam == 0) {
            // Menu and accelerator commands go on to the application object.
            if (CWinApp* app = CWinApp::current()) handled = app->onCommand(LOWORD(wParam));
            m.result = 0;
        }
    } catch (...) {
        handled = m.defaultDone;
        m.result = m.defaultResult;
    }
    if (msg == WM_NCDESTROY) {
        self->detach();
        static_cast<CDialog*>(self)->font_.reset();  // the controls are gone
    }
    if (!handled) return FALSE;
    if (returnsResultDirectly(msg)) return static_cast<INT_PTR>(m.result);
    SetWindowLongPtrW(window, DWLP_MSGRESULT, m.result);
    return TRUE;
}

}  // namespace wingui
