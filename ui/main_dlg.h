#pragma once
// The main window: owns every piece of the program's state for the whole run.
#include <windows.h>

#include <memory>
#include <optional>

#include "lists/list_models.h"
#include "reports/day_journal.h"
#include "reports/report_writers.h"
#include "base/named_mutex.h"
#include "reports/session_end.h"
#include "storage/settings.h"
#include "tracking/desktop_win32.h"
#include "tracking/hook_library_win32.h"
#include "tracking/input_hook.h"
#include "tracking/presence_win32.h"
#include "tracking/recording_rules.h"
#include "tracking/sampling_tick.h"
#include "tracking/session_notifications_win32.h"
#include "tracking/usage_records.h"
#include "ui/controls/image_button.h"
#include "ui/framework/controls.h"
#include "base/handles.h"
#include "ui/framework/window.h"
#include "ui/html_help.h"

namespace horalis {

// The maker's feedback page, opened from the exit prompt and the About dialog.
inline constexpr const wchar_t* kFeedbackUrl = L"https://horalis.example/feedback";

class CMainDlg : public wingui::CDialog, private TickActions {
public:
    // startHidden: started in the tray, as Windows restarts a program whose
    // window was hidden (ui/start_options.h).
    explicit CMainDlg(bool startHidden = false);
    ~CMainDlg() override;

protected:
    const wingui::MessageMap* messageMap() const override;
    void doDataExchange(wingui::DataExchange& dx) override;
    BOOL onInitDialog() override;

private:
    // Initialisation steps, in the order onInitDialog runs them.
    void addAboutMenuItem();
    void setIcons();
    void loadHookLibrary();
    void showSplash();
    void setupLists();
    void setupTrayMenu();
    void loadPointerHandles();
    void startSampling();
    void addTrayIcon();
    void loadButtonBitmaps();
    void fitIntoWorkArea();

    // The tick's calls back into the window: the day files in
    // main_journal_win32.cpp, the lists in main_lists_win32.cpp, the pointers
    // in main_pointers_win32.cpp.
    void destroySplash() override;
    bool saveEndedDay(const LocalTime& day) override;
    void appendJournal(const LocalTime& day, int minuteOfDay) override;
    void clearTotals() override;
    void clearPointerTotals() override;
    void countPointer(const CursorState& cursor) override;
    void refreshLists() override;
    void reinstallHooks() override;

    // Messages.
    void onTimer(UINT_PTR id);
    LRESULT onHookActivity(WPARAM, LPARAM);
    LRESULT onSessionChange(WPARAM event, LPARAM);
    void onDestroy();
    void onSize(UINT type, int width, int height);
    void layoutControls(int width, int height);
    void onPaint();
    HICON onQueryDragIcon();
    void onClose();
    bool onSysCommand(UINT id);
    LRESULT onTrayCallback(WPARAM id, LPARAM event);
    LRESULT onWindowPosChanging(WPARAM, LPARAM position);
    void onDpiChanged(UINT fromDpi) override;
    void ignoreCommand() {}

    // The session's end and a sleep (main_exit_win32.cpp).
    LRESULT onQueryEndSession(WPARAM, LPARAM);
    LRESULT onEndSession(WPARAM ending, LPARAM flags);
    LRESULT onPowerBroadcast(WPARAM event, LPARAM);

    // The two lists (main_lists_win32.cpp).
    LRESULT onListGetDispInfo(NMHDR* header);
    LRESULT onListItemChanged(NMHDR* header);
    LRESULT onListStateRangeChanged(NMHDR* header);
    LRESULT onListFindItem(NMHDR* header);
    LRESULT onAppListClick(NMHDR* header);
    LRESULT onListColumnClick(NMHDR* header);
    HBRUSH onCtlColor(HDC dc, HWND control);
    ListModel* modelOf(const NMHDR* header);
    void pushSelection(const wingui::CListCtrl& view, const ListModel& model);
    void pullSelection(const wingui::CListCtrl& view, ListModel& model);
    void updateListViews();
    // Column widths, row images and default icon for dpi(), from fromDpi's.
    void rescaleLists(UINT fromDpi);

    // The tray (main_tray_win32.cpp).
    void removeTrayIcon();
    static LRESULT CALLBACK taskbarSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                                DWORD_PTR data) noexcept;

    // Commands of the menus, the tray pop-up and the buttons.
    void hideWindow();
    void showApplication();

    // How the run ends (main_exit_win32.cpp).
    void exitApplication();
    // The last save of the run, within the time Windows allows at a session end.
    void saveBeforeEnd();
    // Hooks, tray icon and the modal run end: the program ends.
    void endProgram();
    void registerRestart(bool windowHidden);

    // The commands that open a window of their own (main_dialogs_win32.cpp).
    void showOptions();
    void showReporterManager();
    void showPointerTimes();
    void showHelp();
    void showAbout();

    // What is recorded (main_recording_win32.cpp).
    void togglePause();
    void showRecordingRules();
    // rules.txt into the tick's filter and the presence switch.
    void loadRecordingRules();
    // The menus' check marks, the tray's tip and icon, and the reporter's mark.
    void showPauseState();
    void updateTrayIcon();

    // The reports (main_reports_win32.cpp).
    void openReport();
    void openHistory();
    void exportCsv();
    void exportExcelCsv();
    void exportHtml();
    ReportLists reportLists();
    LocalTime localTimeNow();
    void exportReportTo(const wchar_t* defaultExtension, const wchar_t* filter, ReportFormat format);

    // The day files (main_journal_win32.cpp).
    // Journals into day records and pairs, under the daily-report lock; the
    // history page follows when a pair changed (or always).
    void foldJournals(bool alwaysHistory, const LocalTime* pairDay = nullptr);

    Icon mainIcon_;
    Icon smallIcon_;  // the caption's, drawn for dpi()
    UsageRecords records_;
    Icon defaultAppIcon_;
    ImageList appImages_;
    ImageList titleImages_;
    Menu trayMenu_;
    wingui::CWnd trayMenuOwner_;  // hidden; the foreground window while the tray pop-up shows
    Win32Desktop desktop_;
    SamplingTick tick_;  // keeps the day held, lastInputTime and splashTicks
    FinalSave finalSave_;
    // Until the first tick, the dialog manager's own showing of the window is
    // refused: it shows a modal dialog whatever its template says.
    bool keepHidden_ = false;
    // Set until the initialisation has finished; while it is set, resizing
    // moves nothing.
    bool layoutGuard_ = true;
    wingui::CDialog splash_;
    Settings settings_;
    std::unique_ptr<DayJournal> journal_;  // from the start of sampling
    FoldRetry foldRetry_;  // a fold cut short is tried again on later ticks
    HookLibrary hooks_;
    SessionNotifications sessionNotifications_;
    ListModel appModel_;    // what list 1003 shows
    ListModel titleModel_;  // what list 1004 shows
    ListSort listSort_;     // both lists', set by a header click or a report
    ListUpdate listUpdate_;
    std::unique_ptr<IconSource> appIcons_;  // appends to appImages_
    bool syncingSelection_ = false;
    UINT taskbarCreatedMessage_ = 0;
    wingui::CListCtrl appList_;
    wingui::CListCtrl titleList_;
    CImageButton clearListsButton_;
    CImageButton optionsButton_;
    CImageButton pointersButton_;
    HtmlHelpViewer help_;  // loaded at the first "Help..."
    RecordingFilter recordingFilter_;
    Win32PresenceSignals presenceSignals_;
    PresenceWatch presence_{presenceSignals_};
    // Held while paused, so that Horalis Reporter pauses too; it ends with the process.
    std::optional<SingleInstance> pauseMark_;
};

}  // namespace horalis
