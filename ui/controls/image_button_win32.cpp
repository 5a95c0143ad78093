#include "ui/controls/image_button.h"

#include <algorithm>
#include <utility>

#include "ui/controls/control_types_win32.h"
#include "ui/dpi_scale.h"
#include "ui/framework/window.h"

namespace horalis {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A 1-pixel rectangle outline: top and left in one colour, bottom and right in
// the other (MFC's Draw3dRect), drawn with brushes so the DC keeps its colours.
void draw3dRect(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    horalis::Brush light(CreateSolidBrush(topLeft));
    horalis::Brush dark(CreateSolidBrush(bottomRight));
    if (!light || !dark) return;
    const RECT top{r.left, r.top, r.right - 1, r.top + 1};
    const RECT left{r.left, r.top, r.left + 1, r.bottom - 1};
    const RECT right{r.right - 1, r.top, r.right, r.bottom};
    const RECT bottom{r.left, r.bottom - 1, r.right, r.bottom};
    FillRect(dc, &top, light.get());
    FillRect(dc, &left, light.get());
    FillRect(dc, &right, dark.get());
    FillRect(dc, &bottom, dark.get());
}

// Transparent pixels become 1 in the mask and black in the colour bitmap, so
// that SRCAND of the mask and SRCPAINT of the bitmap show the face through.
HBITMAP createMask(HBITMAP colour, int width, int height, COLORREF transparent) {
    horalis::Bitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!mask) return nullptr;
    horalis::MemoryDc source(CreateCompatibleDC(nullptr));
    horalis::MemoryDc target(CreateCompatibleDC(nullptr));
    if (!source || !target) return nullptr;
    horalis::SelectObjectScope sourceSelected(source.get(), colour);
    horalis::SelectObjectScope targetSelected(target.get(), mask.get());
    const COLORREF oldBk = SetBkColor(source.get(), transparent);
    if (!BitBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY)) return nullptr;
    const COLORREF oldText = SetTextColor(source.get(), kWhite);
    SetBkColor(source.get(), kBlack);
    BitBlt(source.get(), 0, 0, width, height, target.get(), 0, 0, SRCAND);
    SetTextColor(source.get(), oldText);
    SetBkColor(source.get(), oldBk);
    return mask.release();
}

}  // namespace

CImageButton::CImageButton() : face_(GetSysColor(COLOR_BTNFACE)), text_(GetSysColor(COLOR_BTNTEXT)) {}

const wingui::MessageMap* CImageButton::messageMap() const {
    static constexpr wingui::Handler<CImageButton> handlers[] = {
        wingui::onFocus(WM_KILLFOCUS, &CImageButton::onKillFocus),
        wingui::onMouse(WM_MOUSEMOVE, &CImageButton::onMouseMove),
        wingui::onMessage(WM_SYSCOLORCHANGE, &CImageButton::onSysColorChange),
        wingui::onReflectedCommand(BN_CLICKED, &CImageButton::onClicked),
        wingui::onMessage(WM_CANCELMODE, &CImageButton::onCancelMode),
        wingui::onMessage(WM_GETDLGCODE, &CImageButton::onGetDlgCode),
        wingui::onReflectedCtlColor(&CImageButton::onColor),
        wingui::onMessage(BM_SETSTYLE, &CImageButton::onSetStyle),
        wingui::onMessage(WM_MOUSELEAVE, &CImageButton::onMouseLeave),
    };
    static const wingui::MessageMap map{handlers, CButton::messageMap()};
    return &map;
}

void CImageButton::onAttach() {
    const AttachResult result = attachButton(static_cast<uint32_t>(GetWindowLongW(handle(), GWL_STYLE)));
    default_ = result.isDefault;
    SetWindowLongW(handle(), GWL_STYLE, static_cast<LONG>(result.newStyle));
    SetWindowPos(handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    CButton::onAttach();
}

bool CImageButton::preTranslateMessage(MSG& msg) {
    if (!tooltip_.handle() && tooltip_.create(*this)) {
        tooltip_.activate(false);
        tooltip_.setMaxTipWidth(400);
    }
    tooltip_.relayEvent(msg);
    // A double click acts as a second press.
    if (msg.message == WM_LBUTTONDBLCLK) msg.message = WM_LBUTTONDOWN;
    return CButton::preTranslateMessage(msg);
}

// --- Picture and size ----------------------------------------------------------

void CImageButton::loadBitmap(int id, COLORREF transparent) {
    image_ = Image{};
    horalis::Bitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(wingui::resourceInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    BITMAP info{};
    if (bitmap && GetObjectW(bitmap.get(), sizeof info, &info)) {
        horalis::Bitmap mask(createMask(bitmap.get(), info.bmWidth, info.bmHeight, transparent));
        if (mask) image_ = Image{std::move(bitmap), std::move(mask), info.bmWidth, info.bmHeight};
    }
    if (handle()) invalidate();
}

void CImageButton::setDpi(UINT dpi) {
    const ImageLayout at96;
    layout_.xOffset = scaleToDpi(at96.xOffset, dpi);
    layout_.pressedOffsetX = scaleToDpi(at96.pressedOffsetX, dpi);
    layout_.pressedOffsetY = scaleToDpi(at96.pressedOffsetY, dpi);
    if (handle()) invalidate();
}

void CImageButton::growToCaption(bool towardsLeft, LONG limit) {
    if (!handle() || !image_.bitmap) return;
    const std::wstring caption = windowText();
    int widest = 0;
    for (size_t start = 0; start < caption.size();) {
        size_t end = caption.find(L' ', start);
        if (end == std::wstring::npos) end = caption.size();
        widest = std::max(widest, wingui::textWidth(handle(), caption.substr(start, end - start)));
        start = end + 1;
    }
    const RECT rect = rectInParent();
    const LONG width = rect.right - rect.left;
    const LONG room = towardsLeft ? rect.right - limit : limit - rect.left;
    const LONG wanted = std::min<LONG>(widthForCaption(layout_, image_.width, widest), room);
    if (wanted <= width) return;
    const LONG left = towardsLeft ? rect.right - wanted : rect.left;
    SetWindowPos(handle(), nullptr, left, rect.top, wanted, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Drawing -----------------------------------------------------------------

void CImageButton::drawItem(DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const int savedDc = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    horalis::Brush face(CreateSolidBrush(face_));
    if (face) FillRect(dc, &item.rcItem, face.get());
    drawBorder(dc, item.rcItem, pressed);

    RECT caption = item.rcItem;
    const std::wstring text = windowText();
    if (image_.bitmap) {
        const ImagePlacement placement =
            placeImage(layout_, !text.empty(), toRect(item.rcItem), pressed, image_.width, image_.height);
        caption = toRECT(placement.caption);
        // The monochrome mask maps 1 to the background colour and 0 to the
        // text colour: white and black here.
        SetBkColor(dc, kWhite);
        drawImage(dc, placement.image);
    }
    if (!text.empty()) drawCaption(dc, text, caption, pressed);
    RestoreDC(dc, savedDc);
}

void CImageButton::drawBorder(HDC dc, const RECT& rect, bool pressed) const {
    switch (chooseBorder(pressed, hover_)) {
    case BorderKind::None:
        break;
    case BorderKind::SunkenThin:
        draw3dRect(dc, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        break;
    case BorderKind::RaisedThin:
        draw3dRect(dc, rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        break;
    }
}

void CImageButton::drawImage(HDC dc, const Rect& at) const {
    horalis::MemoryDc source(CreateCompatibleDC(dc));
    if (!source) return;
    SetTextColor(dc, kBlack);
    {
        horalis::SelectObjectScope selected(source.get(), image_.mask.get());
        BitBlt(dc, at.left, at.top, image_.width, image_.height, source.get(), 0, 0, SRCAND);
    }
    horalis::SelectObjectScope selected(source.get(), image_.bitmap.get());
    BitBlt(dc, at.left, at.top, image_.width, image_.height, source.get(), 0, 0, SRCPAINT);
}

void CImageButton::drawCaption(HDC dc, const std::wstring& text, const RECT& caption, bool pressed) const {
    const RECT area = toRECT(pressedCaptionRect(layout_, toRect(caption), pressed));
    RECT measured = area;
    DrawTextW(dc, text.c_str(), -1, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    RECT centred = toRECT(centreMeasuredCaption(toRect(area), toRect(measured)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text_);
    SetBkColor(dc, face_);
    DrawTextW(dc, text.c_str(), -1, &centred, DT_WORDBREAK | DT_CENTER);
}

// --- Hover and state messages --------------------------------------------------

void CImageButton::endHover() {
    if (!hover_) return;
    hover_ = false;
    invalidate();
}

void CImageButton::onMouseMove(UINT keys, POINT point) {
    defaultProcessing();
    POINT screen = point;
    ClientToScreen(handle(), &screen);
    switch (hoverStepOnMouseMove(WindowFromPoint(screen) == handle(), (keys & MK_LBUTTON) != 0, hover_)) {
    case HoverStep::Enter: {
        hover_ = true;
        invalidate();
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle(), HOVER_DEFAULT};
        _TrackMouseEvent(&track);
        break;
    }
    case HoverStep::Leave:
        endHover();
        break;
    case HoverStep::None:
        break;
    }
}

LRESULT CImageButton::onMouseLeave(WPARAM, LPARAM) {
    endHover();
    return 0;
}

void CImageButton::onKillFocus(HWND) {
    defaultProcessing();
    endHover();
}

void CImageButton::onCancelMode() {
    defaultProcessing();
    endHover();
}

void CImageButton::onSysColorChange() {
    defaultProcessing();
    face_ = GetSysColor(COLOR_BTNFACE);
    text_ = GetSysColor(COLOR_BTNTEXT);
    invalidate();
}

LRESULT CImageButton::onGetDlgCode(WPARAM, LPARAM) {
    return static_cast<LRESULT>(dialogCodeFor(static_cast<uint32_t>(defaultProcessing()), default_));
}

LRESULT CImageButton::onSetStyle(WPARAM wParam, LPARAM lParam) {
    const SetStyleResult result = setStyleRule(static_cast<uint32_t>(wParam), default_);
    default_ = result.isDefault;
    // The dialog manager moves the default button with BM_SETSTYLE; passed on
    // unchanged it would turn the button back into a plain push button.
    wingui::Message changed;
    changed.hwnd = handle();
    changed.msg = BM_SETSTYLE;
    changed.wParam = result.style;
    changed.lParam = lParam;
    return callDefault(changed);
}

HBRUSH CImageButton::onColor(HDC) {
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool CImageButton::onClicked() {
    SetFocus(handle());
    return false;  // the parent handles the click as well
}

}  // namespace horalis
