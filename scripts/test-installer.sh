#!/usr/bin/env bash
# HoralisSetup.exe and the portable zip under Wine, as a user would use them:
# a silent install (/S) into Program Files, the program started from the
# Start-menu shortcut and by the end-to-end driver from the installed folder,
# the entry in the list of installed programs, then a silent uninstall that has
# to leave nothing behind but the user's data folder. Finally the zip, unpacked,
# must hold the same files and start the same way.
# Expects the Windows build in build/windows (or $HORALIS_WINDOWS_BUILD).
# Ends with "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${HORALIS_WINDOWS_BUILD:-$root/build/windows}
source scripts/test-results.sh

check() {  # description command...
  local what=$1; shift
  if "$@"; then
    echo "PASS $what"; passed=$((passed + 1))
  else
    echo "FAIL $what"; failed=$((failed + 1))
  fi
}
finish() {
  results_summary
  ((failed == 0 && passed > 0))
  exit
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt" 2>/dev/null)
setup=$build/bin/HoralisSetup.exe
zip=$build/bin/Horalis-$version-portable.zip
driver=$build/e2e/horalis_e2e.exe
payload=(Horalis.exe kbdh.dll HoralisReporter.exe Horalis.chm)

check "the build made HoralisSetup.exe, the portable zip and the driver" \
  test -n "$version" -a -f "$setup" -a -f "$zip" -a -f "$driver"
((failed == 0)) || finish

command -v unzip >/dev/null || bash scripts/install-deps.sh || true
source e2e/wine-env.sh
horalis_wine_start --own-display || { echo "0 passed, 1 failed, 0 skipped"; exit 1; }
# No desktop entries in the caller's home for the Start-menu shortcut.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
to_windows() { printf 'Z:%s' "${1//\//\\}"; }
work=$(mktemp -d)
trap 'horalis_wine_stop; rm -rf "$work"' EXIT

drive=$WINEPREFIX/drive_c
target=$drive/Program\ Files/Horalis
target_win='C:\Program Files\Horalis'
shortcut=$drive/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Horalis.lnk
shortcut_win='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Horalis.lnk'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Horalis'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
appdata_win=$(horalis_wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
data_win=$appdata_win\\Horalis
data=$(horalis_wine winepath -u "$appdata_win" 2>/dev/null)/Horalis

# Everything outside the system folder and the temporary folders, and the
# machine's and user's software keys, to compare after the uninstall.
snapshot() {  # name
  (cd "$drive" && find . -path ./windows -prune -o -path './users/*/Temp' -prune -o -print | sort) >"$work/$1.files"
  timeout 60 "$HORALIS_WINESERVER_BIN" -w
  horalis_wine reg export 'HKLM\Software' "$(to_windows "$work/$1.hklm")" /y >/dev/null 2>&1
  horalis_wine reg export 'HKCU\Software' "$(to_windows "$work/$1.hkcu")" /y >/dev/null 2>&1
}
reg_value() {  # key name: the value's data, or nothing
  local value try
  # reg.exe now and then prints nothing while the prefix's server starts up.
  for try in 1 2 3; do
    value=$(horalis_wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
      sed -n "s/^    $2    REG_[A-Z_]*    //p")
    [[ -n $value ]] && break
    sleep 0.5
  done
  printf '%s' "$value"
}
same_files() {  # folder: holds exactly the payload (plus $2...), byte for byte as built
  local folder=$1 name; shift
  for name in "${payload[@]}"; do cmp -s "$build/bin/$name" "$folder/$name" || return 1; done
  [[ $(ls "$folder" | sort) == $(printf '%s\n' "${payload[@]}" "$@" | sort) ]]
}
run_cases() {  # app-folder(windows) filter: the driver's cases, each one a check here
  local results=$work/results.txt
  rm -f "$results"
  mkdir -p "$work/cases" "$work/screens"
  timeout -k 10 180 "$HORALIS_WINE_BIN" "$driver" --app "$1" --filter "$2" --work "$(to_windows "$work/cases")" \
      --screens "$(to_windows "$work/screens")" --results "$(to_windows "$results")" </dev/null 2>&1 |
    hide_results_line
  add_results "$results" || { echo "FAIL the driver gave no result"; failed=$((failed + 1)); }
}
main_window_pid() {  # waits up to 20 s for the main window; prints its process id
  local deadline=$((SECONDS + 20)) window
  while ((SECONDS < deadline)); do
    window=$(xdotool search --name '^Horalis$' 2>/dev/null | head -n 1)
    [[ -n $window ]] && { sleep 0.5; xdotool getwindowpid "$window" 2>/dev/null; return; }
    sleep 0.2
  done
}

snapshot before

# --- install ---
horalis_wine "$setup" /S </dev/null
check "silent install ends with exit code 0" test $? -eq 0
check "Program Files\\Horalis holds the program's files as built and Uninstall.exe" same_files "$target" Uninstall.exe
check "the Start-menu shortcut exists and leads to the installed Horalis.exe" \
  bash -c 'test -f "$1" && { strings -a "$1"; strings -a -el "$1"; } | grep -qF "$2\\Horalis.exe"' _ "$shortcut" "$target_win"

check "installed programs: DisplayName is Horalis" test "$(reg_value "$uninstall_key" DisplayName)" = Horalis
check "installed programs: DisplayVersion is the project version $version" \
  test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "installed programs: Publisher is Horalis" test "$(reg_value "$uninstall_key" Publisher)" = Horalis
check "installed programs: UninstallString names the uninstaller" \
  test "$(reg_value "$uninstall_key" UninstallString)" = "\"$target_win\\Uninstall.exe\""
check "installed programs: DisplayIcon is the program's icon" \
  test "$(reg_value "$uninstall_key" DisplayIcon)" = "$target_win\\Horalis.exe,0"
# The size of the program's files, in KiB; the uninstaller may be counted too.
size_kib=$(( $(cd "$target" && cat "${payload[@]}" | wc -c) / 1024 ))
max_kib=$(( $(cat "$target"/* | wc -c) / 1024 + 8 ))
estimated=$(( $(reg_value "$uninstall_key" EstimatedSize) ))
check "installed programs: EstimatedSize $estimated KiB fits the files ($size_kib KiB)" \
  test "$estimated" -ge "$size_kib" -a "$estimated" -le "$max_kib"

# --- the installed program starts ---
run_cases "$target_win" startup_with_hook_library_shows_splash_then_main_window

horalis_wine start "$shortcut_win" </dev/null
pid=$(main_window_pid)
check "the shortcut starts Horalis.exe from Program Files and its main window shows" \
  bash -c 'test -n "$1" && tr "\0" "\n" </proc/$1/cmdline | head -n 1 | grep -qxF "$2\\Horalis.exe"' _ "$pid" "$target_win"
check "the program made its data folder in the user's APPDATA" test -d "$data"
/usr/bin/import -window root "$work/screens/installed.png" 2>/dev/null

# While it runs, the uninstaller keeps everything and says so in its exit code
# (run in place with _?= so that the exit code is its own; _?= takes no quotes,
# so the folder goes by its short name).
short=$(horalis_wine winepath -s "$target_win" 2>/dev/null | tr -d '\r')
horalis_wine "$short\\Uninstall.exe" /S "_?=$short" </dev/null
code=$?
check "a silent uninstall while Horalis runs ends with code 2 and removes nothing" \
  test "$code" -eq 2 -a -f "$target/Horalis.exe" -a -f "$shortcut" -a -n "$(reg_value "$uninstall_key" DisplayName)"
# So does the setup, run again over a running Horalis.
horalis_wine "$setup" /S </dev/null
check "a silent install over a running Horalis ends with code 2" test $? -eq 2
[[ -n $pid ]] && kill "$pid" 2>/dev/null
timeout 60 "$HORALIS_WINESERVER_BIN" -w

# --- files in use by a copy in another session ---
# hold-file.exe keeps installed files open as such a copy keeps its own, with no
# window the setup could find: they are replaced at the next restart, and the
# setup says so with exit code 3010.
holder_exe=$build/e2e/hold-file.exe
session_key='HKLM\System\CurrentControlSet\Control\Session Manager'
pending() { reg_value "$session_key" PendingFileRenameOperations; }
hold() {  # file...: in the background; the holder's PID in $holder
  "$HORALIS_WINE_BIN" "$holder_exe" "$@" </dev/null &
  holder=$!
  sleep 1.5
}
release() {
  kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null
  horalis_wine reg delete "$session_key" /v PendingFileRenameOperations /f >/dev/null 2>&1
  timeout 60 "$HORALIS_WINESERVER_BIN" -w
}
# A Unix exit status keeps the low 8 bits of the Windows code: 3010 is 194.
restart_needed=$((3010 % 256))
hold "$target_win\\kbdh.dll" "$target_win\\HoralisReporter.exe"
horalis_wine "$setup" /S </dev/null
code=$?
check "an upgrade over files in use in another session ends with code 3010 (restart needed)" \
  test "$code" -eq "$restart_needed"
check "the new kbdh.dll and HoralisReporter.exe wait beside the old ones, renamed over them at restart" \
  bash -c 'cmp -s "$1/kbdh.dll" "$2/kbdh.dll.new" && cmp -s "$1/HoralisReporter.exe" "$2/HoralisReporter.exe.new" &&
           grep -qF "kbdh.dll.new" <<<"$3" && grep -qF "HoralisReporter.exe.new" <<<"$3"' \
  _ "$build/bin" "$target" "$(pending)"
release
horalis_wine "$setup" /S </dev/null
check "the next upgrade, nothing in use, ends with code 0 and leaves no waiting file" \
  bash -c 'test "$1" -eq 0 && test ! -e "$2/kbdh.dll.new"' _ $? "$target"

# --- an upgrade while the Reporter runs ---
# The setup closes it with WM_CLOSE, which saves its day as a log-off does,
# and starts it again as the user, with its start-up entry's command line.
reporter_pids() { pgrep -f 'HoralisReporter\.exe' | sort; }
horalis_wine reg add "$run_key" /v HoralisReporter /t REG_EXPAND_SZ /f \
  /d "\"$target_win\\HoralisReporter.exe\" \"%APPDATA%\\Horalis\"" >/dev/null 2>&1
mkdir -p "$data"
rm -f "$data"/*_*_*.csv
"$HORALIS_WINE_BIN" "$target_win\\HoralisReporter.exe" "$data_win" </dev/null &
reporter=$!
sleep 3
horalis_wine "$setup" /S </dev/null
code=$?
wait "$reporter"
closed=$?
sleep 1
restarted=$(reporter_pids | head -n 1)
check "a silent upgrade while the Reporter runs ends with code 0; the Reporter ended cleanly with its day in a pair" \
  bash -c 'test "$1" -eq 0 -a "$2" -eq 0 && ls "$3"/*_*_*.csv >/dev/null 2>&1' _ "$code" "$closed" "$data"
check "the upgrade started the Reporter again from Program Files with its start-up entry's arguments, and left no shortcut behind" \
  bash -c 'test -n "$1" && tr "\0" " " </proc/$1/cmdline | grep -qiF "$2\HoralisReporter.exe %APPDATA%\Horalis" &&
           ! ls "$3"/users/*/Temp/*.lnk >/dev/null 2>&1' _ "$restarted" "$target_win" "$drive"
# Ended as taskkill without /f ends it: WM_CLOSE.
horalis_wine taskkill /im HoralisReporter.exe >/dev/null 2>&1
[[ -n $restarted ]] && timeout 10 tail --pid="$restarted" -f /dev/null
timeout 60 "$HORALIS_WINESERVER_BIN" -w
rm -rf "$data"

# --- uninstall ---
# The user's data, and the Reporter's start-up entry as Tools > Reporter/Client... writes it.
mkdir -p "$data"
printf '1 0 1 300' >"$data/conf.dat"
printf 'C:\\Windows\\notepad.exe;12\r\n' >"$data/2026_07_12.csv"
(cd "$data" && md5sum conf.dat 2026_07_12.csv) >"$work/data.md5"
horalis_wine reg add "$run_key" /v HoralisReporter /t REG_SZ /f \
  /d "$target_win\\HoralisReporter.exe \"$data_win\"" >/dev/null 2>&1
horalis_wine reg add "$run_key" /v OtherProgram /t REG_SZ /d 'C:\other.exe' /f >/dev/null 2>&1

# The Reporter runs, as it would after the next start of Windows.
"$HORALIS_WINE_BIN" "$target_win\\HoralisReporter.exe" "$data_win" </dev/null &
reporter=$!
sleep 2
check "the installed Reporter runs from Program Files without a visible window" \
  bash -c 'kill -0 "$1" && ! xdotool search --onlyvisible --name "Horalis Reporter" >/dev/null' _ "$reporter"

quiet=$(reg_value "$uninstall_key" QuietUninstallString)
check "QuietUninstallString runs the uninstaller with /S (it is: $quiet)" \
  test "$quiet" = "\"$target_win\\Uninstall.exe\" /S"
horalis_wine "$target_win\\Uninstall.exe" /S </dev/null
check "silent uninstall ends with exit code 0" test $? -eq 0
# The uninstaller goes on from a copy in the temporary folder: wait for it.
timeout 60 "$HORALIS_WINESERVER_BIN" -w
wait "$reporter"
check "the uninstaller ended the Reporter cleanly" test $? -eq 0

check "the program folder is gone" test ! -e "$target"
check "the Start-menu shortcut is gone" test ! -e "$shortcut"
check "the entry in the installed programs is gone" \
  bash -c '! "$1" reg query "$2" >/dev/null 2>&1' _ "$HORALIS_WINE_BIN" "$uninstall_key"
check "the HoralisReporter start-up value is gone, another program's stays" \
  test -z "$(reg_value "$run_key" HoralisReporter)" -a "$(reg_value "$run_key" OtherProgram)" = 'C:\other.exe'
check "the data folder is kept with conf.dat and the daily report unchanged" \
  bash -c 'cd "$1" && md5sum --quiet -c "$2"' _ "$data" "$work/data.md5"

horalis_wine reg delete "$run_key" /v OtherProgram /f >/dev/null 2>&1
rm -rf "$data"
snapshot after
check "no file is left behind outside the data folder" diff "$work/before.files" "$work/after.files"
check "no registry value is left behind" \
  bash -c 'for hive in hklm hkcu; do
             diff <(iconv -f UTF-16LE -t UTF-8 "$1.$hive" | tr -d "\r") <(iconv -f UTF-16LE -t UTF-8 "$2.$hive" | tr -d "\r") || exit 1
           done' _ "$work/before" "$work/after"

# Removal while another session's copy holds a file: the rest goes now, the
# file and the folder at the next restart, and the exit code says so.
horalis_wine "$setup" /S </dev/null
hold "$target_win\\kbdh.dll"
horalis_wine "$short\\Uninstall.exe" /S "_?=$short" </dev/null
code=$?
check "an uninstall with a file in use in another session ends with code 3010 (restart needed)" \
  test "$code" -eq "$restart_needed"
check "the file in use and the folder are removed at restart, the other files at once" \
  bash -c 'test -f "$1/kbdh.dll" -a ! -e "$1/Horalis.exe" -a ! -e "$1/HoralisReporter.exe" &&
           grep -qF "kbdh.dll" <<<"$2"' _ "$target" "$(pending)"
release
rm -rf "$target"

# --- portable zip ---
unzip -q "$zip" -d "$work/portable"
check "the portable zip holds the same files in one folder Horalis" same_files "$work/portable/Horalis"
run_cases "$(to_windows "$work/portable/Horalis")" startup_with_hook_library_shows_splash_then_main_window

finish
