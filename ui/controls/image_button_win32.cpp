#include "ui/controls/image_button.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <span>
#include <utility>

#include "base/libraries.h"
#include "ui/controls/control_types_win32.h"
#include "ui/dpi_scale.h"
#include "ui/framework/window.h"

namespace horalis {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

bool isGenerated(HBITMAP alternate) {
    const auto value = reinterpret_cast<intptr_t>(alternate);
    return value == kAlternateDarker || value == kAlternateGrey;
}

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

// A copy of the bitmap in a 32-bit DIB section, each pixel passed through
// transform; the result is a bitmap like any other for BitBlt.
template <class Transform>
HBITMAP transformedCopy(HBITMAP source, int width, int height, Transform transform) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    horalis::WindowDc screen(nullptr);
    horalis::Bitmap copy(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !bits) return nullptr;
    {
        horalis::MemoryDc from(CreateCompatibleDC(screen.get()));
        horalis::MemoryDc to(CreateCompatibleDC(screen.get()));
        if (!from || !to) return nullptr;
        horalis::SelectObjectScope fromSelected(from.get(), source);
        horalis::SelectObjectScope toSelected(to.get(), copy.get());
        if (!BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY)) return nullptr;
    }
    GdiFlush();
    std::span<ColorRef> pixels(static_cast<ColorRef*>(bits), static_cast<size_t>(width) * height);
    // DIB pixels are 0x00RRGGBB, the rules work on COLORREF order.
    for (ColorRef& pixel : pixels) pixel = swapRedBlue(pixel);
    transform(pixels);
    for (ColorRef& pixel : pixels) pixel = swapRedBlue(pixel);
    return copy.release();
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

CImageButton::CImageButton()
    : colours_(systemButtonColours(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT))) {}

CImageButton::~CImageButton() {
    discardFaceSnapshot();
}

const wingui::MessageMap* CImageButton::messageMap() const {
    static constexpr wingui::Handler<CImageButton> handlers[] = {
        wingui::onSetCursor(&CImageButton::onSetCursor),
        wingui::onFocus(WM_KILLFOCUS, &CImageButton::onKillFocus),
        wingui::onMouse(WM_MOUSEMOVE, &CImageButton::onMouseMove),
        wingui::onMessage(WM_SYSCOLORCHANGE, &CImageButton::onSysColorChange),
        wingui::onReflectedCommand(BN_CLICKED, &CImageButton::onClicked),
        wingui::onActivate(&CImageButton::onActivate),
        wingui::onEnable(&CImageButton::onEnable),
        wingui::onMessage(WM_CANCELMODE, &CImageButton::onCancelMode),
        wingui::onMessage(WM_GETDLGCODE, &CImageButton::onGetDlgCode),
        wingui::onReflectedCtlColor(&CImageButton::onColor),
        wingui::onMessage(BM_SETSTYLE, &CImageButton::onSetStyle),
        wingui::onMessage(WM_MOUSELEAVE, &CImageButton::onMouseLeave),
        wingui::onMessage(BM_SETCHECK, &CImageButton::onSetCheck),
        wingui::onMessage(BM_GETCHECK, &CImageButton::onGetCheck),
    };
    static const wingui::MessageMap map{handlers, CButton::messageMap()};
    return &map;
}

// --- Attach, pre-translation ------------------------------------------------

void CImageButton::onAttach() {
    const auto style = static_cast<uint32_t>(GetWindowLongW(handle(), GWL_STYLE));
    const AttachResult result = attachButton(style, checkBoxMode_, default_);
    buttonType_ = result.buttonType;
    checkBoxMode_ = result.checkBoxMode;
    default_ = result.isDefault;
    SetWindowLongW(handle(), GWL_STYLE, static_cast<LONG>(result.newStyle));
    SetWindowPos(handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    CButton::onAttach();
}

bool CImageButton::preTranslateMessage(MSG& msg) {
    if (!tooltip_.handle() && tooltip_.create(*this, tooltipStyle_)) {
        tooltip_.activate(false);
        tooltip_.setMaxTipWidth(400);
    }
    tooltip_.relayEvent(msg);
    // A double click acts as a second press.
    if (msg.message == WM_LBUTTONDBLCLK) msg.message = WM_LBUTTONDOWN;
    return CButton::preTranslateMessage(msg);
}

// --- Bitmaps -----------------------------------------------------------------

DWORD CImageButton::LoadButtonBitmaps(int normalId, COLORREF normalTransparent, int alternateId,
                                      COLORREF alternateTransparent) {
    const HINSTANCE instance = wingui::resourceInstance();
    auto load = [instance](int id) {
        return static_cast<HBITMAP>(
            LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    };
    HBITMAP normal = load(normalId);
    HBITMAP alternate = nullptr;
    if (alternateId == kAlternateDarker || alternateId == kAlternateGrey)
        alternate = reinterpret_cast<HBITMAP>(static_cast<intptr_t>(alternateId));
    else if (alternateId != kAlternateNone)
        alternate = load(alternateId);
    return SetButtonBitmaps(normal, normalTransparent, alternate, alternateTransparent);
}

DWORD CImageButton::SetButtonBitmaps(HBITMAP normal, COLORREF normalTransparent, HBITMAP alternate,
                                     COLORREF alternateTransparent) {
    releaseImages();
    horalis::Bitmap ownedAlternate(isGenerated(alternate) ? nullptr : alternate);
    if (!normal) {
        if (handle()) invalidate();
        return 0;
    }
    normal_.bitmap.reset(normal);
    normal_.transparent = normalTransparent;
    BITMAP info{};
    if (!GetObjectW(normal, sizeof info, &info)) {
        releaseImages();
        return 1;
    }
    normal_.width = info.bmWidth;
    normal_.height = info.bmHeight;

    // The copies are made before the mask blackens the normal bitmap's
    // transparent pixels.
    const auto which = reinterpret_cast<intptr_t>(alternate);
    if (which == kAlternateDarker || which == kAlternateGrey) {
        alternateTransparent = normalTransparent;
        const ColorRef transparent = normalTransparent;
        ownedAlternate.reset(transformedCopy(normal, normal_.width, normal_.height,
                                             [which, transparent](std::span<ColorRef> pixels) {
                                                 if (which == kAlternateDarker)
                                                     makeDarker(pixels, transparent);
                                                 else
                                                     makeGrey(pixels, transparent);
                                             }));
    }

    normal_.mask.reset(createMask(normal, normal_.width, normal_.height, normalTransparent));
    if (!normal_.mask) {
        releaseImages();
        return 2;
    }

    if (ownedAlternate) {
        alternate_.transparent = alternateTransparent;
        if (!GetObjectW(ownedAlternate.get(), sizeof info, &info)) {
            releaseImages();
            return 1;
        }
        alternate_.width = info.bmWidth;
        alternate_.height = info.bmHeight;
        alternate_.bitmap = std::move(ownedAlternate);
        alternate_.mask.reset(
            createMask(alternate_.bitmap.get(), alternate_.width, alternate_.height, alternateTransparent));
        if (!alternate_.mask) {
            releaseImages();
            return 2;
        }
    }
    if (handle()) invalidate();
    return 0;
}

void CImageButton::setDpi(UINT dpi) {
    const ImageLayout at96;
    xOffset_ = scaleToDpi(at96.xOffset, dpi);
    yOffset_ = scaleToDpi(at96.yOffset, dpi);
    pressedOffsetX_ = scaleToDpi(at96.pressedOffsetX, dpi);
    pressedOffsetY_ = scaleToDpi(at96.pressedOffsetY, dpi);
    if (handle()) invalidate();
}

void CImageButton::growToCaption(bool towardsLeft, LONG limit) {
    if (!handle() || !normal_.bitmap) return;
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
    const LONG wanted = std::min<LONG>(widthForCaption(layout(), normal_.width, widest), room);
    if (wanted <= width) return;
    const LONG left = towardsLeft ? rect.right - wanted : rect.left;
    SetWindowPos(handle(), nullptr, left, rect.top, wanted, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CImageButton::releaseImages() {
    normal_ = Image{};
    alternate_ = Image{};
}

// --- Drawing -----------------------------------------------------------------

ImageLayout CImageButton::layout() const {
    ImageLayout result;
    result.alignment = alignment_;
    result.xOffset = xOffset_;
    result.yOffset = yOffset_;
    result.pressedOffsetX = pressedOffsetX_;
    result.pressedOffsetY = pressedOffsetY_;
    result.checkBoxMode = checkBoxMode_;
    return result;
}

ImagePlacement CImageButton::place(bool hasCaption, const RECT& item, const RECT& caption, bool pressed,
                                   int width, int height) const {
    const RECT client = clientRect();
    return placeImage(layout(), hasCaption, toRect(item), toRect(caption), pressed, width, height,
                      client.right - client.left);
}

void CImageButton::drawItem(DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    const ButtonDrawState state = drawStateFrom(item.itemState, checkBoxMode_, checkState_, menuShowing_);
    pressed_ = state.pressed;
    focused_ = state.focused;
    disabled_ = state.disabled;

    const int savedDc = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    RECT face = item.rcItem;
    if (transparentFace_)
        paintFaceSnapshot(dc, face);
    else
        DrawBackground(dc, face);
    DrawBorder(dc, face);

    RECT caption = item.rcItem;
    const std::wstring text = windowText();
    const bool hasCaption = !text.empty();
    if (normal_.icon) {
        DrawIconImage(dc, hasCaption, item.rcItem, caption, pressed_, disabled_);
    } else if (normal_.bitmap) {
        SetBkColor(dc, kWhite);
        DrawBitmapImage(dc, hasCaption, item.rcItem, caption, pressed_, disabled_);
    }
    if (hasCaption) DrawCaption(dc, text, caption, pressed_, disabled_);

    if (drawsFocusRect(focused_, flat_, focusWhenFlat_)) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    RestoreDC(dc, savedDc);
}

void CImageButton::DrawBackground(HDC dc, RECT& rect) {
    if (backgroundFramed(flat_, focused_, default_)) {
        FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&rect, -1, -1);
    }
    const ColourPair pair = coloursFor(colours_, colourStateFor(hover_, pressed_, focused_));
    horalis::Brush brush(CreateSolidBrush(pair.face));
    if (brush) FillRect(dc, &rect, brush.get());
}

void CImageButton::DrawBorder(HDC dc, RECT& rect) {
    switch (chooseBorder(pressed_, flat_, hover_, drawBorder_)) {
    case BorderKind::None:
        break;
    case BorderKind::SunkenThin:
        draw3dRect(dc, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        break;
    case BorderKind::RaisedThin:
        draw3dRect(dc, rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        break;
    case BorderKind::ShadowFrame: {
        horalis::Brush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
        if (shadow) FrameRect(dc, &rect, shadow.get());
        break;
    }
    case BorderKind::Raised3D:
        for (const BorderLine& line : raised3DLines(toRect(rect))) {
            horalis::Pen pen(CreatePen(PS_SOLID, 1, GetSysColor(line.sysColour)));
            if (!pen) continue;
            horalis::SelectObjectScope selected(dc, pen.get());
            MoveToEx(dc, line.points[0].x, line.points[0].y, nullptr);
            LineTo(dc, line.points[1].x, line.points[1].y);
            LineTo(dc, line.points[2].x, line.points[2].y);
        }
        break;
    }
}

void CImageButton::DrawIconImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption, bool pressed,
                                 bool disabled) {
    const bool alternate = showsAlternateImage(bool(alternate_.icon), pressed, checkBoxMode_, hover_);
    const Image& image = alternate ? alternate_ : normal_;
    const ImagePlacement placement = place(hasCaption, item, caption, pressed, image.width, image.height);
    caption = toRECT(placement.caption);
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(image.icon.get()), 0, placement.image.left,
               placement.image.top, image.width, image.height, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
}

void CImageButton::DrawBitmapImage(HDC dc, bool hasCaption, const RECT& item, RECT& caption, bool pressed,
                                   bool disabled) {
    const bool alternate = showsAlternateImage(bool(alternate_.bitmap), pressed, checkBoxMode_, hover_);
    const Image& image = alternate ? alternate_ : normal_;
    const ImagePlacement placement = place(hasCaption, item, caption, pressed, image.width, image.height);
    caption = toRECT(placement.caption);
    const int x = placement.image.left;
    const int y = placement.image.top;
    const int w = image.width;
    const int h = image.height;

    horalis::MemoryDc source(CreateCompatibleDC(dc));
    if (!source) return;
    if (disabled && embossedDisabled_) {
        // The image on a white ground, embossed by the system.
        horalis::Bitmap ground(CreateCompatibleBitmap(dc, w, h));
        horalis::MemoryDc groundDc(CreateCompatibleDC(dc));
        if (!ground || !groundDc) return;
        {
            horalis::SelectObjectScope groundSelected(groundDc.get(), ground.get());
            PatBlt(groundDc.get(), 0, 0, w, h, WHITENESS);
            SetBkColor(groundDc.get(), kWhite);
            SetTextColor(groundDc.get(), kBlack);
            {
                horalis::SelectObjectScope selected(source.get(), image.mask.get());
                BitBlt(groundDc.get(), 0, 0, w, h, source.get(), 0, 0, SRCAND);
            }
            horalis::SelectObjectScope selected(source.get(), image.bitmap.get());
            BitBlt(groundDc.get(), 0, 0, w, h, source.get(), 0, 0, SRCPAINT);
        }
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(ground.get()), 0, x, y, w, h,
                   DST_BITMAP | DSS_DISABLED);
        return;
    }
    // The monochrome mask maps 1 to the background colour (white, set by the
    // caller) and 0 to the text colour, which must be black here.
    SetTextColor(dc, kBlack);
    {
        horalis::SelectObjectScope selected(source.get(), image.mask.get());
        BitBlt(dc, x, y, w, h, source.get(), 0, 0, SRCAND);
    }
    horalis::SelectObjectScope selected(source.get(), image.bitmap.get());
    BitBlt(dc, x, y, w, h, source.get(), 0, 0, SRCPAINT);
}

void CImageButton::DrawCaption(HDC dc, const std::wstring& text, RECT& caption, bool pressed, bool disabled) {
    const RECT area = toRECT(pressedCaptionRect(layout(), toRect(caption), pressed));
    RECT measured = area;
    DrawTextW(dc, text.c_str(), -1, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    RECT centred = toRECT(centreMeasuredCaption(toRect(area), toRect(measured)));
    caption = centred;
    SetBkMode(dc, TRANSPARENT);
    if (disabled) {
        RECT etched = centred;
        OffsetRect(&etched, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, text.c_str(), -1, &etched, DT_WORDBREAK | DT_CENTER);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        DrawTextW(dc, text.c_str(), -1, &centred, DT_WORDBREAK | DT_CENTER);
        return;
    }
    const ColourPair pair = coloursFor(colours_, colourStateFor(hover_, pressed, focused_));
    SetTextColor(dc, pair.text);
    SetBkColor(dc, pair.face);
    DrawTextW(dc, text.c_str(), -1, &centred, DT_WORDBREAK | DT_CENTER);
}

void CImageButton::paintFaceSnapshot(HDC dc, const RECT& rect) {
    const RECT client = clientRect();
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (!faceDc_) {
        const HWND parent = GetParent(handle());
        horalis::WindowDc parentDc(parent);
        if (!parentDc.get()) return;
        const RECT inParent = rectInParent();
        faceDc_.reset(CreateCompatibleDC(parentDc.get()));
        faceBitmap_.reset(CreateCompatibleBitmap(parentDc.get(), width, height));
        if (!faceDc_ || !faceBitmap_) {
            discardFaceSnapshot();
            return;
        }
        faceOldBitmap_ = SelectObject(faceDc_.get(), faceBitmap_.get());
        BitBlt(faceDc_.get(), 0, 0, width, height, parentDc.get(), inParent.left, inParent.top, SRCCOPY);
    }
    BitBlt(dc, rect.left, rect.top, width, height, faceDc_.get(), 0, 0, SRCCOPY);
}

void CImageButton::discardFaceSnapshot() {
    // The bitmap must leave the DC before either can be deleted.
    if (faceDc_ && faceOldBitmap_) SelectObject(faceDc_.get(), faceOldBitmap_);
    faceOldBitmap_ = nullptr;
    faceDc_.reset();
    faceBitmap_.reset();
}

// --- Hover and state messages --------------------------------------------------

void CImageButton::endHover() {
    if (!hoverEnds(flat_, hover_)) return;
    hover_ = false;
    invalidate();
}

void CImageButton::playSound(const Sound& sound) const {
    // winmm (with the audio drivers it opens) is loaded for the first sound
    // rather than at start-up, where it only added resident memory.
    using PlaySoundFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    static horalis::Module winmm;
    if (!sound.inUse) return;
    if (auto play = reinterpret_cast<PlaySoundFn>(horalis::systemEntryPoint(winmm, L"winmm.dll", "PlaySoundW")))
        play(sound.inUse, sound.module, sound.flags);
}

void CImageButton::onMouseMove(UINT keys, POINT point) {
    defaultProcessing();
    POINT screen = point;
    ClientToScreen(handle(), &screen);
    const HWND under = WindowFromPoint(screen);
    const HWND reference = alwaysTrack_ ? handle() : GetActiveWindow();
    switch (hoverStepOnMouseMove(under == handle(), reference != nullptr, (keys & MK_LBUTTON) != 0, hover_,
                                 flat_)) {
    case HoverStep::Enter: {
        hover_ = true;
        invalidate();
        playSound(hoverSound_);
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle(), HOVER_DEFAULT};
        _TrackMouseEvent(&track);
        break;
    }
    case HoverStep::Leave:
        hover_ = false;
        invalidate();
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

void CImageButton::onActivate(UINT state, HWND, bool) {
    defaultProcessing();
    if (state == WA_INACTIVE) endHover();
}

void CImageButton::onEnable(bool enabled) {
    defaultProcessing();
    if (enabled) return;
    // A disabled button cannot keep the focus; hand it on even when it did not
    // hold it, as the dialog manager would not.
    const HWND parent = GetParent(handle());
    const HWND next = parent ? GetNextDlgTabItem(parent, handle(), FALSE) : nullptr;
    if (next && next != handle())
        SetFocus(next);
    else if (parent)
        SetFocus(parent);
    endHover();
}

void CImageButton::onSysColorChange() {
    defaultProcessing();
    discardFaceSnapshot();
    colours_ = systemButtonColours(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT));
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

LRESULT CImageButton::onSetCheck(WPARAM wParam, LPARAM) {
    if (checkBoxMode_) {
        checkState_ = checkStateAfterSetCheck(checkBoxMode_, wParam, checkState_);
        invalidate();
    }
    return 0;
}

LRESULT CImageButton::onGetCheck(WPARAM, LPARAM) {
    return checkState_;
}

HBRUSH CImageButton::onColor(HDC) {
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool CImageButton::onSetCursor(HWND, UINT, UINT) {
    if (!hoverCursor_) return false;
    SetCursor(hoverCursor_.get());
    return true;
}

bool CImageButton::onClicked() {
    SetFocus(handle());
    playSound(clickSound_);
    if (checkBoxMode_) {
        checkState_ = checkState_ ? 0 : 1;
        invalidate();
    } else if (menu_) {
        menuShowing_ = true;
        invalidate();
        const HMENU popup = GetSubMenu(menu_.get(), 0);
        if (menuCallbackWindow_)
            SendMessageW(menuCallbackWindow_, menuCallbackMessage_, reinterpret_cast<WPARAM>(popup),
                         menuCallbackParam_);
        const RECT window = windowRect();
        const auto command = static_cast<UINT>(TrackPopupMenuEx(
            popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, window.left, window.bottom, menuOwner_, nullptr));
        menuShowing_ = false;
        invalidate();
        if (command) PostMessageW(menuOwner_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    } else if (!webAddress_.empty()) {
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = webAddress_.c_str();
        info.nShow = SW_SHOWMAXIMIZED;
        ShellExecuteExW(&info);
    }
    return false;  // the parent handles the click as well
}

}  // namespace horalis
