; HoralisSetup.exe: installs Horalis for all users into Program Files, with a
; Start-menu shortcut, an entry in the list of installed programs and an
; uninstaller. The build passes the values below on the makensis command line
; and runs it in the folder that holds the files to install.
;
;   HORALIS_VERSION    version shown and registered, e.g. 2.0.0
;   HORALIS_OUTFILE    path of the setup program to write
;   HORALIS_ICON       the program's icon, also the setup's own

!ifndef HORALIS_VERSION | HORALIS_OUTFILE | HORALIS_ICON
  !error "HORALIS_VERSION, HORALIS_OUTFILE and HORALIS_ICON must be defined"
!endif

Unicode true
; The program is 64-bit and writes the 64-bit registry, so the setup is too.
Target amd64-unicode
SetCompressor /SOLID lzma
; Keeps the setup the same from build to build of the same files.
SetDateSave off

!define PRODUCT "Horalis"
!define PUBLISHER "Horalis"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Horalis"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALLER "Uninstall.exe"

Name "${PRODUCT} ${HORALIS_VERSION}"
OutFile "${HORALIS_OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; A folder chosen at an earlier install is offered again.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT} ${HORALIS_VERSION}"

; VIProductVersion needs four numbers.
VIProductVersion "${HORALIS_VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${HORALIS_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${HORALIS_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) Horalis"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "StrFunc.nsh"
${StrStr}

!define MUI_ICON "${HORALIS_ICON}"
!define MUI_UNICON "${HORALIS_ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${HORALIS_VERSION}, an activity meter that shows how much time you spend in each program and window.$\r$\n$\r$\nYour settings and reports stay in your own data folder and are kept when ${PRODUCT} is removed.$\r$\n$\r$\n$_CLICK"
; The setup runs elevated, and a program it started itself would too (and
; would write the elevated user's data folder). Explorer, handed a program,
; passes it to the shell already running on the desktop, which starts it as
; the logged-on user, not elevated.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsLoggedOnUser

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Files in use cannot be replaced or removed, so a running Horalis (its main
; window, a dialog-class window captioned "Horalis") has to end first. In a
; silent run the answer is Cancel, and the exit code says so.
!macro HORALIS_ASK_TO_END_PROGRAM
  ${Do}
    FindWindow $0 "#32770" "${PRODUCT}"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Exit it (File > Exit), then click Retry." /SD IDCANCEL IDRETRY +3
    SetErrorLevel 2
    Quit
  ${Loop}
!macroend

; The Reporter has no window to exit from and holds its files while it runs,
; so it is asked to end: its hidden window saves the day so far on WM_CLOSE,
; as at a log-off, and closes. Should more than one run, each is closed in
; turn. $1 counts them.
!macro HORALIS_END_REPORTER
  StrCpy $1 0
  ${Do}
    FindWindow $0 "HoralisReporterWindow"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 200
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 50
  ; The process ends just after its window.
  ${If} $1 > 0
    Sleep 500
  ${EndIf}
!macroend

Function StartAsLoggedOnUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Horalis.exe"'
FunctionEnd

; The Reporter the setup ended in this session starts again at once, as the
; logged-on user and with the command line of its start-up entry, rather
; than at the next logon: nothing would be measured until then. Explorer
; opens a shortcut as it opens a program, as that user; the shortcut goes
; once the Reporter's window is there (at most 5 s).
Var ReporterWasRunning
Function RestartReporter
  ReadRegStr $0 HKLM "${RUN_KEY}" "HoralisReporter"
  ; The value is '"<folder>\HoralisReporter.exe" "<data folder>"' (older ones
  ; leave the program unquoted): the arguments follow the program's name.
  ${StrStr} $2 $0 "HoralisReporter.exe"
  ${If} $0 == ""
  ${OrIf} $2 == ""
    Return
  ${EndIf}
  StrCpy $2 $2 "" 19
  StrCpy $3 $2 1
  ${If} $3 == '"'
    StrCpy $2 $2 "" 1
  ${EndIf}
  StrCpy $3 "$TEMP\Horalis Reporter.lnk"
  CreateShortCut "$3" "$INSTDIR\HoralisReporter.exe" "$2"
  Exec '"$WINDIR\explorer.exe" "$3"'
  ${For} $4 1 50
    Sleep 100
    FindWindow $0 "HoralisReporterWindow"
    ${IfThen} $0 != 0 ${|} ${ExitFor} ${|}
  ${Next}
  Delete "$3"
FunctionEnd

; Windows keeps a running program's files (and the kbdh.dll it loaded) from
; being written or deleted. The search for running copies above sees only this
; session; a copy in another user's session is left running, never ended
; under that user, and its files are replaced at the next restart instead:
; each new file is written beside the old one, which is deleted, and renamed
; into its place, or, while the old one is in use, at the next restart
; (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT, which NSIS's /REBOOTOK uses).
!macro HORALIS_INSTALL_FILE NAME
  File "/oname=${NAME}.new" "${NAME}"
  Delete "$INSTDIR\${NAME}"
  Rename /REBOOTOK "$INSTDIR\${NAME}.new" "$INSTDIR\${NAME}"
!macroend

; Never a silent leftover: the setup's finish page asks to restart when
; files wait for it, the uninstaller says so in a box, and an unattended run
; ends with exit code 3010 (ERROR_SUCCESS_REBOOT_REQUIRED), as other setups do.
Function .onInstSuccess
  ${If} ${RebootFlag}
    SetErrorLevel 3010
  ${EndIf}
FunctionEnd

Function un.onUninstSuccess
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "Some files of ${PRODUCT} are in use by a copy that runs in another user's session. They will be removed when Windows restarts." /SD IDOK
    SetErrorLevel 3010
  ${EndIf}
FunctionEnd

Function .onInit
  SetShellVarContext all
  SetRegView 64
  !insertmacro HORALIS_ASK_TO_END_PROGRAM
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
  !insertmacro HORALIS_ASK_TO_END_PROGRAM
FunctionEnd

Section "Horalis" SecProgram
  SectionIn RO
  !insertmacro HORALIS_END_REPORTER
  StrCpy $ReporterWasRunning $1
  SetOutPath "$INSTDIR"
  !insertmacro HORALIS_INSTALL_FILE "Horalis.exe"
  !insertmacro HORALIS_INSTALL_FILE "kbdh.dll"
  !insertmacro HORALIS_INSTALL_FILE "Horalis.chm"
  !insertmacro HORALIS_INSTALL_FILE "HoralisReporter.exe"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Horalis.exe" "" "$INSTDIR\Horalis.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${HORALIS_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Horalis.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KiB, as the list of installed programs expects.
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $ReporterWasRunning > 0
    Call RestartReporter
  ${EndIf}
SectionEnd

; Removes what the setup put there and the Reporter's start-up entry, which
; Horalis writes itself; the data folder in %APPDATA% stays with the user.
Section "Uninstall"
  !insertmacro HORALIS_END_REPORTER
  ; Files in use by a copy in another session go at the next restart.
  Delete /REBOOTOK "$INSTDIR\Horalis.exe"
  Delete /REBOOTOK "$INSTDIR\kbdh.dll"
  Delete /REBOOTOK "$INSTDIR\Horalis.chm"
  Delete /REBOOTOK "$INSTDIR\HoralisReporter.exe"
  Delete "$INSTDIR\Horalis.exe.new"
  Delete "$INSTDIR\kbdh.dll.new"
  Delete "$INSTDIR\Horalis.chm.new"
  Delete "$INSTDIR\HoralisReporter.exe.new"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only if empty: files the user put there are not ours to delete.
  RMDir /REBOOTOK "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  DeleteRegValue HKLM "${RUN_KEY}" "HoralisReporter"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
