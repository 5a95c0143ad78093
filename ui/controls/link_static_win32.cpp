#include "ui/controls/link_static.h"

#include <shellapi.h>

#include "base/string.h"
#include "ui/controls/control_types_win32.h"
#include "ui/framework/winapp.h"

namespace horalis {

namespace {

// A copy of font, underlined or not; null when the font cannot be read.
HFONT linkFontFrom(HFONT font, bool underline) {
    LOGFONTW logFont{};
    if (!font || GetObjectW(font, sizeof logFont, &logFont) != sizeof logFont) return nullptr;
    logFont.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&logFont);
}

}  // namespace

CLinkStatic::CLinkStatic() {
    colours_.hover = GetSysColor(COLOR_HIGHLIGHT);
}

CLinkStatic::~CLinkStatic() = default;

const wingui::MessageMap* CLinkStatic::messageMap() const {
    static constexpr wingui::Handler<CLinkStatic> handlers[] = {
        wingui::onReflectedCommand(STN_CLICKED, &CLinkStatic::onClicked),
        wingui::onReflectedCtlColor(&CLinkStatic::onColor),
        wingui::onSetCursor(&CLinkStatic::onSetCursor),
        wingui::onMouse(WM_MOUSEMOVE, &CLinkStatic::onMouseMove),
        wingui::onMessage(WM_CAPTURECHANGED, &CLinkStatic::onCaptureChangedMessage),
        wingui::onMessage(WM_SETFONT, &CLinkStatic::onSetFont),
    };
    static const wingui::MessageMap map{handlers, CStatic::messageMap()};
    return &map;
}

void CLinkStatic::SetTarget(const std::wstring& target) {
    target_ = target;
    if (!handle()) return;
    FitToText();
    tooltip_.updateTipText(target_, *this, 1);
}

void CLinkStatic::onAttach() {
    // Without SS_NOTIFY a static control is transparent to the mouse and never
    // sends STN_CLICKED.
    SetWindowLongW(handle(), GWL_STYLE, static_cast<LONG>(GetWindowLongW(handle(), GWL_STYLE) | SS_NOTIFY));

    const std::wstring text = windowText();
    const LinkTexts texts = attachLinkTexts(horalis::toCore(text), horalis::toCore(target_));
    target_ = horalis::toWide(texts.target);
    if (texts.text != horalis::toCore(text)) setWindowText(horalis::toWide(texts.text));

    auto current = reinterpret_cast<HFONT>(sendMessage(WM_GETFONT));
    if (!current) current = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    font_.reset(linkFontFrom(current, underline_));
    if (font_) sendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);

    FitToText();
    LoadLinkCursor();

    if (tooltip_.create(*this)) tooltip_.addTool(*this, target_, nullptr, 1);
    CStatic::onAttach();
}

// The dialog gives every control its font anew at another DPI: the link
// takes its own copy of that one, as at the start, and fits itself to it.
LRESULT CLinkStatic::onSetFont(WPARAM font, LPARAM redraw) {
    horalis::Font own(linkFontFrom(reinterpret_cast<HFONT>(font), underline_));
    if (!own) return defaultProcessing();
    callDefault(wingui::Message{handle(), WM_SETFONT, reinterpret_cast<WPARAM>(own.get()), redraw});
    font_ = std::move(own);  // the old copy once the control no longer uses it
    FitToText();
    return 0;
}

bool CLinkStatic::preTranslateMessage(MSG& msg) {
    tooltip_.relayEvent(msg);
    return CStatic::preTranslateMessage(msg);
}

void CLinkStatic::FitToText() {
    if (!handle() || !adjustToFit_) return;
    const RECT window = rectInParent();
    const std::wstring text = windowText();
    SIZE extent{};
    {
        horalis::WindowDc dc(handle());
        if (!dc.get()) return;
        auto font = font_ ? font_.get() : reinterpret_cast<HFONT>(sendMessage(WM_GETFONT));
        horalis::SelectObjectScope selected(dc.get(), font ? font : GetStockObject(SYSTEM_FONT));
        if (!GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent)) return;
    }
    const Rect fitted = fitToText(toRect(window), static_cast<uint32_t>(style()), extent.cx, extent.cy);
    SetWindowPos(handle(), nullptr, fitted.left, fitted.top, fitted.width(), fitted.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CLinkStatic::LoadLinkCursor() {
    if (linkCursor_) return;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::wstring path(folder, length);
        path += horalis::toWide(kLinkCursorModuleName);
        // Mapped as data only: none of the help program's code runs in here.
        horalis::Module module(
            LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        if (module) {
            if (HCURSOR cursor = LoadCursorW(module.get(), MAKEINTRESOURCEW(kLinkCursorResourceId)))
                ownedCursor_.reset(static_cast<HCURSOR>(CopyIcon(cursor)));
        }
    }
    // The help program is gone from current systems; the system hand is the
    // same picture. It is shared, so it is never destroyed.
    linkCursor_ = ownedCursor_ ? ownedCursor_.get() : LoadCursorW(nullptr, IDC_HAND);
}

void CLinkStatic::ReportOpenError(int code) {
    wingui::appMessageBox(horalis::toWide(openErrorText(code)), MB_ICONEXCLAMATION | MB_OK);
}

// The link paints its text on a null brush, so the pixels behind it are the
// dialog's. Redrawing the control alone draws the new text over the old one
// (ClearType's coloured edges then add up and the text thickens): the
// dialog's background under the control is painted first, then the control.
void CLinkStatic::redrawNow() const {
    HWND parent = GetParent(handle());
    if (!parent) {
        RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        return;
    }
    const RECT area = rectInParent();
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Windows takes the capture away without a mouse move (Alt+Tab, a window
// coming up in front such as the browser that a click opens) and says so
// with WM_CAPTURECHANGED only: without it the link would stay lit.
void CLinkStatic::onCaptureChanged(HWND newCapture) {
    if (!overControl_ || newCapture == handle()) return;
    overControl_ = false;
    redrawNow();
}

void CLinkStatic::onClicked() {
    const auto result = reinterpret_cast<intptr_t>(
        ShellExecuteW(nullptr, wingui::kOpenVerb, target_.c_str(), nullptr, nullptr, SW_SHOW));
    visited_ = linkOpenSucceeded(result);
    if (visited_) {
        invalidate(true);
    } else {
        MessageBeep(MB_ICONEXCLAMATION);
        ReportOpenError(static_cast<int>(result));
    }
}

HBRUSH CLinkStatic::onColor(HDC dc) {
    SetTextColor(dc, linkTextColour(colours_, overControl_, visited_));
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool CLinkStatic::onSetCursor(HWND, UINT, UINT) {
    if (!linkCursor_) return false;
    SetCursor(linkCursor_);
    return true;
}

void CLinkStatic::onMouseMove(UINT, POINT point) {
    defaultProcessing();
    const RECT client = clientRect();
    switch (linkHoverStep(overControl_, PtInRect(&client, point) != FALSE)) {
    case LinkHoverStep::Enter:
        overControl_ = true;
        redrawNow();
        SetCapture(handle());
        break;
    case LinkHoverStep::Leave:
        overControl_ = false;
        ReleaseCapture();
        redrawNow();
        break;
    case LinkHoverStep::None:
        break;
    }
}

}  // namespace horalis
