#include "ui/main_dlg.h"

#include <shellapi.h>

#include <string>

#include "resources/resource.h"
#include "storage/data_folder.h"
#include "ui/controls/control_types_win32.h"
#include "ui/dpi_scale.h"
#include "ui/framework/dpi.h"
#include "ui/framework/winapp.h"
#include "ui/main_layout.h"

namespace horalis {
namespace {

constexpr const wchar_t* kExitQuestion = L"Exit from application?";
constexpr const wchar_t* kExitCaption = L"Horalis";
constexpr const wchar_t* kFeedbackQuestion =
    L"We would like to hear what you think about Horalis, so please send us your comments, "
    L"suggestions or problems you had using the program. Click 'Yes' to visit our Web site.";
constexpr const wchar_t* kFeedbackCaption = L"Write us";
constexpr const wchar_t* kErrorCaption = L"Error";

HICON loadIconResource(int id) {
    return static_cast<HICON>(
        LoadImageW(wingui::resourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

}  // namespace

CMainDlg::CMainDlg()
    : CDialog(IDD_HORALIS_DIALOG),
      mainIcon_(loadIconResource(IDR_MAINFRAME)),
      tick_(records_, settings_, desktop_, *this),
      splash_(IDD_SPLASH) {}

CMainDlg::~CMainDlg() = default;

const wingui::MessageMap* CMainDlg::messageMap() const {
    static constexpr wingui::Handler<CMainDlg> handlers[] = {
        wingui::onTimer(&CMainDlg::onTimer),
        wingui::onMessage(kWmHookActivity, &CMainDlg::onHookActivity),
        wingui::onMessage(WM_WTSSESSION_CHANGE, &CMainDlg::onSessionChange),
        wingui::onMessage(WM_DESTROY, &CMainDlg::onDestroy),
        wingui::onSize(&CMainDlg::onSize),
        wingui::onPaint(&CMainDlg::onPaint),
        wingui::onQueryDragIcon(&CMainDlg::onQueryDragIcon),
        wingui::onClose(&CMainDlg::onClose),
        wingui::onSysCommand(&CMainDlg::onSysCommand),
        wingui::onMessage(WM_TRAY_CALLBACK, &CMainDlg::onTrayCallback),
        wingui::onMessage(WM_QUERYENDSESSION, &CMainDlg::onQueryEndSession),
        wingui::onMessage(WM_ENDSESSION, &CMainDlg::onEndSession),
        wingui::onMessage(WM_DPICHANGED, &CMainDlg::onDpiChanged),
        // Enter and Esc must not close the main window.
        wingui::onCommand(IDOK, &CMainDlg::ignoreCommand),
        wingui::onCommand(IDCANCEL, &CMainDlg::ignoreCommand),

        wingui::onCommand(ID_FILE_OPENREPORT, &CMainDlg::openReport),
        wingui::onCommand(ID_FILE_OPENHISTORY, &CMainDlg::openHistory),
        wingui::onCommand(ID_EXPORT_CSV, &CMainDlg::exportCsv),
        wingui::onCommand(ID_EXPORT_EXCEL_CSV, &CMainDlg::exportExcelCsv),
        wingui::onCommand(ID_EXPORT_HTML, &CMainDlg::exportHtml),
        wingui::onCommand(ID_FILE_HIDE, &CMainDlg::hideWindow),
        wingui::onCommand(ID_FILE_EXIT, &CMainDlg::exitApplication),
        wingui::onCommand(ID_TOOLS_CLEARLIST, &CMainDlg::clearLists),
        wingui::onCommand(ID_TOOLS_OPTIONS, &CMainDlg::showOptions),
        wingui::onCommand(ID_TOOLS_REPORTER, &CMainDlg::showReporterManager),
        wingui::onCommand(ID_TOOLS_POINTERS, &CMainDlg::showPointerTimes),
        wingui::onCommand(ID_HELP_HELP, &CMainDlg::showHelp),
        wingui::onCommand(ID_HELP_ABOUT, &CMainDlg::showAbout),
        wingui::onCommand(ID_TRAY_SHOW, &CMainDlg::showApplication),
        wingui::onCommand(ID_TRAY_EXIT, &CMainDlg::exitApplication),
        wingui::onCommand(IDC_CLEAR_LISTS, &CMainDlg::clearLists),
        wingui::onCommand(IDC_OPTIONS, &CMainDlg::showOptions),
        wingui::onCommand(IDC_MOUSE_POINTERS, &CMainDlg::showPointerTimes),

        wingui::onNotify(IDC_APP_LIST, LVN_GETDISPINFOW, &CMainDlg::onListGetDispInfo),
        wingui::onNotify(IDC_TITLE_LIST, LVN_GETDISPINFOW, &CMainDlg::onListGetDispInfo),
        wingui::onNotify(IDC_APP_LIST, LVN_ITEMCHANGED, &CMainDlg::onListItemChanged),
        wingui::onNotify(IDC_TITLE_LIST, LVN_ITEMCHANGED, &CMainDlg::onListItemChanged),
        wingui::onNotify(IDC_APP_LIST, LVN_ODSTATECHANGED, &CMainDlg::onListStateRangeChanged),
        wingui::onNotify(IDC_TITLE_LIST, LVN_ODSTATECHANGED, &CMainDlg::onListStateRangeChanged),
        wingui::onNotify(IDC_APP_LIST, LVN_ODFINDITEMW, &CMainDlg::onListFindItem),
        wingui::onNotify(IDC_TITLE_LIST, LVN_ODFINDITEMW, &CMainDlg::onListFindItem),
        wingui::onNotify(IDC_APP_LIST, NM_CLICK, &CMainDlg::onAppListClick),
        wingui::onNotify(IDC_APP_LIST, LVN_COLUMNCLICK, &CMainDlg::onListColumnClick),
        wingui::onNotify(IDC_TITLE_LIST, LVN_COLUMNCLICK, &CMainDlg::onListColumnClick),
        wingui::onCtlColor(&CMainDlg::onCtlColor),
    };
    static const wingui::MessageMap map{handlers, CDialog::messageMap()};
    return &map;
}

void CMainDlg::doDataExchange(wingui::DataExchange& dx) {
    CDialog::doDataExchange(dx);
    wingui::ddxControl(dx, IDC_APP_LIST, appList_);
    wingui::ddxControl(dx, IDC_TITLE_LIST, titleList_);
    wingui::ddxControl(dx, IDC_CLEAR_LISTS, clearListsButton_);
    wingui::ddxControl(dx, IDC_OPTIONS, optionsButton_);
    wingui::ddxControl(dx, IDC_MOUSE_POINTERS, pointersButton_);
}

BOOL CMainDlg::onInitDialog() {
    CDialog::onInitDialog();
    dpi_ = wingui::windowDpi(handle());
    addAboutMenuItem();
    setIcons();
    loadHookLibrary();
    loadSettings(settings_, dataFolderPath());
    showSplash();
    setupLists();
    setupTrayMenu();
    loadPointerHandles();
    startSampling();
    addTrayIcon();
    layoutGuard = false;
    loadButtonBitmaps();
    return TRUE;
}

// --- Initialisation steps ------------------------------------------------

void CMainDlg::addAboutMenuItem() {
    const wchar_t* text = nullptr;
    int length = LoadStringW(wingui::resourceInstance(), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return;
    HMENU systemMenu = GetSystemMenu(handle(), FALSE);
    if (!systemMenu) return;
    std::wstring item(text, static_cast<size_t>(length));
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, item.c_str());
}

// The small icon (caption, taskbar button) is the icon's own drawing for the
// small-icon size at the window's DPI rather than the large one shrunk. The
// window is given the new one before the old one is destroyed.
void CMainDlg::setIcons() {
    sendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon_.get()));
    horalis::Icon small(wingui::loadIconOfSize(IDR_MAINFRAME, scaleToDpi(16, dpi_)));
    sendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small.get() : mainIcon_.get()));
    smallIcon_ = std::move(small);
}

void CMainDlg::loadHookLibrary() {
    hooks_.load();
    if (!hooks_.loaded()) MessageBoxW(handle(), kCantLoadHookLibrary, kErrorCaption, MB_ICONERROR | MB_OK);
    if (!hooks_.hasSetHooks()) {
        MessageBoxW(handle(), kCantFindSetHooks, kErrorCaption, MB_ICONERROR | MB_OK);
        return;
    }
    hooks_.install(handle());
}

void CMainDlg::showSplash() {
    tick_.state().splashTicks = 0;
    if (!splash_.create(handle())) return;
    // Topmost: the main window is shown and activated after this and must not
    // cover the splash before the second tick closes it.
    SetWindowPos(splash_.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    splash_.showWindow(SW_SHOW);
    // Nothing is dispatched during the pause, so paint the picture now.
    UpdateWindow(splash_.handle());
    Sleep(1000);
}

void CMainDlg::startSampling() {
    journal_ = std::make_unique<DayJournal>(dataFolderPath(), RecordOwner{thisComputerName(), thisUserName()},
                                            newRunId());
    // What an earlier run counted but could not put into its pair (a crash, a kill) goes there now.
    if (journalsWaiting(dataFolderPath(), journal_->owner())) foldJournals(false);
    tick_.start(hooks_.installed());
    sessionNotifications_.register_(handle());
    SetTimer(handle(), HORALIS_TIMER_ID, HORALIS_TIMER_MS, nullptr);
}

// --- The tick's calls back ---------------------------------------------------

void CMainDlg::destroySplash() {
    if (splash_.handle()) splash_.destroyWindow();
}

// --- Messages --------------------------------------------------------------

void CMainDlg::onTimer(UINT_PTR id) {
    if (id == HORALIS_TRAY_RETRY_TIMER_ID) {
        addTrayIcon();
        return;
    }
    tick_.run();
}

LRESULT CMainDlg::onHookActivity(WPARAM, LPARAM) {
    tick_.noteHookActivity();
    return 0;
}

LRESULT CMainDlg::onSessionChange(WPARAM event, LPARAM) {
    tick_.sessionChanged(static_cast<uint32_t>(event));
    return 0;
}

void CMainDlg::onDestroy() {
    sessionNotifications_.unregister();
    defaultProcessing();
}

void CMainDlg::reinstallHooks() {
    hooks_.reinstall();
}

void CMainDlg::onSize(UINT, int width, int height) {
    defaultProcessing();
    layoutControls(width, height);
}

void CMainDlg::layoutControls(int width, int height) {
    if (layoutGuard) return;

    const int ids[] = {IDC_APP_GROUP, IDC_APP_LIST, IDC_TITLE_GROUP, IDC_TITLE_LIST, IDC_MOUSE_POINTERS};
    HWND items[5];
    RECT rects[5];
    for (int i = 0; i < 5; ++i) {
        items[i] = dlgItem(ids[i]);
        rects[i] = {};
        if (!items[i]) return;
        GetWindowRect(items[i], &rects[i]);
        MapWindowPoints(HWND_DESKTOP, handle(), reinterpret_cast<POINT*>(&rects[i]), 2);
    }
    MainWindowLayout current{toRect(rects[0]), toRect(rects[1]), toRect(rects[2]), toRect(rects[3]),
                             toRect(rects[4])};
    MainWindowLayout next = layoutMainWindow(width, height, current, dpi_);
    const Rect placed[] = {next.appGroup, next.appList, next.titleGroup, next.titleList, next.pointersButton};
    for (int i = 0; i < 5; ++i) {
        const Rect& r = placed[i];
        MoveWindow(items[i], r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    InvalidateRect(handle(), nullptr, TRUE);
}

// A per-monitor aware window moved to a monitor of another DPI (or the
// user's scale changed) gets WM_DPICHANGED: LOWORD(wParam) is the new DPI and
// lParam the rectangle the window is to take.
LRESULT CMainDlg::onDpiChanged(WPARAM dpis, LPARAM suggested) {
    const UINT from = dpi_;
    if (LOWORD(dpis) != 0) dpi_ = LOWORD(dpis);
    // In a per-monitor v2 dialog the dialog manager rescales the template's
    // controls and fonts here (Windows 10 1703 and later).
    defaultProcessing();
    rescaleLists(from);
    loadButtonBitmaps();
    setIcons();
    if (const auto* rect = reinterpret_cast<const RECT*>(suggested))
        SetWindowPos(handle(), nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    // The size may be the same as before, when no WM_SIZE comes.
    const RECT client = clientRect();
    layoutControls(client.right - client.left, client.bottom - client.top);
    return 0;
}

void CMainDlg::onPaint() {
    if (!IsIconic(handle())) {
        defaultProcessing();
        return;
    }
    horalis::PaintDc dc(handle());
    sendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    RECT client = clientRect();
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc.get(), x, y, mainIcon_.get());
}

HICON CMainDlg::onQueryDragIcon() {
    return mainIcon_.get();
}

// Closing only hides the window; the tray icon brings it back.
void CMainDlg::onClose() {
    hideWindow();
}

// Log-off or shutdown: the day so far goes into its pair here already, since
// a program may be ended without WM_ENDSESSION when another one refuses or
// the user forces the end. Saved totals are cleared, so a session that goes
// on counts them once.
LRESULT CMainDlg::onQueryEndSession(WPARAM, LPARAM) {
    tick_.saveDayNow();
    return TRUE;
}

// The process may be ended as soon as this returns: what came in since the
// question is saved too.
LRESULT CMainDlg::onEndSession(WPARAM ending, LPARAM) {
    if (ending) tick_.saveDayNow();
    return 0;
}

bool CMainDlg::onSysCommand(UINT id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        showAbout();
        return true;
    }
    return false;
}

// --- Commands --------------------------------------------------------------

void CMainDlg::hideWindow() {
    showWindow(SW_HIDE);
}

void CMainDlg::showApplication() {
    showWindow(SW_SHOW);
    SendMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_HOTKEY, reinterpret_cast<LPARAM>(handle()));
}

void CMainDlg::exitApplication() {
    if (MessageBoxW(handle(), kExitQuestion, kExitCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    help_.closeAll();
    if (MessageBoxW(handle(), kFeedbackQuestion, kFeedbackCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
        ShellExecuteW(handle(), L"open", kFeedbackUrl, nullptr, nullptr, SW_SHOWNORMAL);
    // The day's time so far would be lost with the program.
    tick_.saveDayNow();
    hooks_.unload();
    removeTrayIcon();
    endDialog(0);
}


}  // namespace horalis
