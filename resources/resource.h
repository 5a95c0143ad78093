// Resource and control identifiers. The numbers are fixed: dialog templates,
// menus and commands are known by them, so never renumber.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX            100
#define IDD_HORALIS_DIALOG      102
#define IDD_CONF                133
#define IDD_SPLASH              135
#define IDD_SERVICE             137
#define IDD_CURSORS             138

// Strings
#define IDS_ABOUTBOX            101

// Icons
#define IDR_MAINFRAME           128
#define IDI_DEFAULT_APP         129
#define IDI_TRAY                131
#define IDI_TITLE               134

// Menus
#define IDR_MAINMENU            130
#define IDR_TRAYMENU            132

// Bitmaps
#define IDB_SPLASH              136
#define IDB_CLEAR_LISTS         139
#define IDB_OPTIONS             140
#define IDB_MOUSE_POINTERS      141
// The same three drawn at 150 % and 200 %.
#define IDB_CLEAR_LISTS_150     142
#define IDB_OPTIONS_150         143
#define IDB_MOUSE_POINTERS_150  144
#define IDB_CLEAR_LISTS_200     145
#define IDB_OPTIONS_200         146
#define IDB_MOUSE_POINTERS_200  147

// Main window (102)
#define IDC_APP_LIST            1003
#define IDC_TITLE_LIST          1004
#define IDC_APP_GROUP           1018
#define IDC_TITLE_GROUP         1019
#define IDC_CLEAR_LISTS         1020
#define IDC_OPTIONS             1021
#define IDC_MOUSE_POINTERS      1022

// Options (133)
#define IDC_CONF_GROUP          1007
#define IDC_SAVE_DAILY          1008
#define IDC_SHOW_SECONDS        1009
#define IDC_SAVE_TITLES         1010
#define IDC_AWAY_TIMEOUT        1014

// Reporter manager (137)
#define IDC_INSTALL             1015
#define IDC_REMOVE              1016

// Pointer times (138)
#define IDC_CURSOR_LIST         1017

// About (100)
#define IDC_FEEDBACK_LINK       1013

// Commands
#define ID_FILE_EXIT            32773
#define ID_HELP_ABOUT           32774
#define ID_TOOLS_CLEARLIST      32775
#define ID_EXPORT_CSV           32776
#define ID_EXPORT_EXCEL_CSV     32777
#define ID_TRAY_SHOW            32778
#define ID_TRAY_EXIT            32779
#define ID_TOOLS_OPTIONS        32780
#define ID_EXPORT_HTML          32781
#define ID_FILE_OPENREPORT      32782
#define ID_FILE_HIDE            32783
#define ID_HELP_HELP            32784
#define ID_TOOLS_REPORTER       32787
#define ID_TOOLS_POINTERS       32788
// Added after the original commands: the page drawn from the daily reports.
#define ID_FILE_OPENHISTORY     32789

// System menu item "&About Horalis..."
#define IDM_ABOUTBOX            0x0010

// Runtime identifiers
#define HORALIS_TIMER_ID        291
#define HORALIS_TIMER_MS        500
#define HORALIS_TRAY_ID         4662
#define HORALIS_TRAY_RETRY_TIMER_ID  292   // a failed NIM_ADD is tried again
#define HORALIS_TRAY_RETRY_MS        1000
#define HORALIS_SESSION_RETRY_TIMER_ID  293  // a failed session-notification registration is tried again
#define WM_TRAY_CALLBACK        0xA123
