#include "ui/main_dlg.h"

#include <string>

#include "resources/resource.h"
#include "storage/data_folder.h"
#include "ui/controls/control_types_win32.h"
#include "ui/dpi_scale.h"
#include "ui/framework/dpi.h"
#include "ui/framework/winapp.h"
#include "ui/main_layout.h"
#include "ui/message_texts.h"

namespace horalis {
namespace {

HICON loadIconResource(int id) {
    return static_cast<HICON>(
        LoadImageW(wingui::resourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

}  // namespace

CMainDlg::CMainDlg(bool startHidden)
    : CDialog(IDD_HORALIS_DIALOG),
      mainIcon_(loadIconResource(IDR_MAINFRAME)),
      tick_(records_, settings_, desktop_, *this),
      keepHidden_(startHidden),
      splash_(IDD_SPLASH) {
    tick_.useRecordingFilter(&recordingFilter_);
    tick_.usePresence(&presence_);
}

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
        wingui::onMessage(WM_POWERBROADCAST, &CMainDlg::onPowerBroadcast),
        wingui::onMessage(WM_WINDOWPOSCHANGING, &CMainDlg::onWindowPosChanging),
        // Enter and Esc must not close the main window.
        wingui::onCommand(IDOK, &CMainDlg::ignoreCommand),
        wingui::onCommand(IDCANCEL, &CMainDlg::ignoreCommand),

        wingui::onCommand(ID_FILE_OPENREPORT, &CMainDlg::openReport),
        wingui::onCommand(ID_FILE_OPENHISTORY, &CMainDlg::openHistory),
        wingui::onCommand(ID_PAUSE_RECORDING, &CMainDlg::togglePause),
        wingui::onCommand(ID_TOOLS_RULES, &CMainDlg::showRecordingRules),
        wingui::onCommand(ID_EXPORT_CSV, &CMainDlg::exportCsv),
        wingui::onCommand(ID_EXPORT_EXCEL_CSV, &CMainDlg::exportExcelCsv),
        wingui::onCommand(ID_EXPORT_HTML, &CMainDlg::exportHtml),
        wingui::onCommand(ID_FILE_HIDE, &CMainDlg::hideWindow),
        wingui::onCommand(ID_FILE_EXIT, &CMainDlg::exitApplication),
        wingui::onCommand(ID_TOOLS_CLEARLIST, &CMainDlg::clearTotals),
        wingui::onCommand(ID_TOOLS_OPTIONS, &CMainDlg::showOptions),
        wingui::onCommand(ID_TOOLS_REPORTER, &CMainDlg::showReporterManager),
        wingui::onCommand(ID_TOOLS_POINTERS, &CMainDlg::showPointerTimes),
        wingui::onCommand(ID_HELP_HELP, &CMainDlg::showHelp),
        wingui::onCommand(ID_HELP_ABOUT, &CMainDlg::showAbout),
        wingui::onCommand(ID_TRAY_SHOW, &CMainDlg::showApplication),
        wingui::onCommand(ID_TRAY_EXIT, &CMainDlg::exitApplication),
        wingui::onCommand(IDC_CLEAR_LISTS, &CMainDlg::clearTotals),
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
    addAboutMenuItem();
    setIcons();
    loadHookLibrary();
    loadSettings(settings_, dataFolderPath());
    loadRecordingRules();
    showSplash();
    setupLists();
    setupTrayMenu();
    loadPointerHandles();
    startSampling();
    addTrayIcon();
    layoutGuard_ = false;
    loadButtonBitmaps();
    fitIntoWorkArea();
    registerRestart(keepHidden_);
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
    Icon small(wingui::loadIconOfSize(IDR_MAINFRAME, scaleToDpi(16, dpi())));
    sendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small.get() : mainIcon_.get()));
    smallIcon_ = std::move(small);
}

// The template's size is in dialog units, which grow with the scale: at
// 150 % on a small screen the window would be taller than the screen. It is
// made to fit its monitor's work area before it is first shown.
void CMainDlg::fitIntoWorkArea() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(handle(), MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const Rect window = toRect(windowRect());
    const Rect fitted = fitIntoArea(window, toRect(monitor.rcWork));
    if (fitted == window) return;
    SetWindowPos(handle(), nullptr, fitted.left, fitted.top, fitted.width(), fitted.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
    // Started into the tray: no one is looking for the window.
    if (keepHidden_ || !splash_.create(handle())) return;
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
    sessionNotifications_.register_(handle(), HORALIS_SESSION_RETRY_TIMER_ID);
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
    if (id == HORALIS_SESSION_RETRY_TIMER_ID) {
        sessionNotifications_.retry();
        return;
    }
    keepHidden_ = false;
    tick_.run();
    if (foldRetry_.due()) foldJournals(false);
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
    if (layoutGuard_) return;

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
    MainWindowLayout next = layoutMainWindow(width, height, current, dpi());
    const Rect placed[] = {next.appGroup, next.appList, next.titleGroup, next.titleList, next.pointersButton};
    for (int i = 0; i < 5; ++i) {
        const Rect& r = placed[i];
        MoveWindow(items[i], r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    InvalidateRect(handle(), nullptr, TRUE);
}

// The controls have the new DPI's font and place already (CDialog); the
// lists, the button pictures, the icons and the resize rule's margins are
// sized here.
void CMainDlg::onDpiChanged(UINT fromDpi) {
    rescaleLists(fromDpi);
    loadButtonBitmaps();
    setIcons();
    // The size may be the same as before, when no WM_SIZE comes.
    const RECT client = clientRect();
    layoutControls(client.right - client.left, client.bottom - client.top);
}

void CMainDlg::onPaint() {
    if (!IsIconic(handle())) {
        defaultProcessing();
        return;
    }
    PaintDc dc(handle());
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

// WM_WINDOWPOSCHANGING lets a window refuse a change by clearing its flag:
// a start into the tray refuses to be shown, and to be activated, by the
// dialog manager.
LRESULT CMainDlg::onWindowPosChanging(WPARAM, LPARAM position) {
    if (keepHidden_) {
        auto* change = reinterpret_cast<WINDOWPOS*>(position);
        change->flags &= ~SWP_SHOWWINDOW;
        change->flags |= SWP_NOACTIVATE;
    }
    return defaultProcessing();
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
    keepHidden_ = false;
    showWindow(SW_SHOW);
    SendMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_HOTKEY, reinterpret_cast<LPARAM>(handle()));
}

}  // namespace horalis
