#!/usr/bin/env bash
# Regenerates the README's pictures in docs/screenshots/ from a short session
# under Wine, driven as a user would with the mouse and keyboard (xdotool):
# HoralisSetup.exe installs Horalis silently, Horalis starts from Program
# Files, a few of Wine's own programs take the foreground in turn, then the main
# window (sorted by time, Notepad's titles shown), the Options dialog and the
# pointer dialog are captured, and an HTML report exported through the save
# dialog is rendered by headless chromium, as is the history page over a few
# generated weeks of daily reports. Real programs give rows a reader
# recognises, which the end-to-end driver's own windows would not.
# Expects the Windows build in build/windows (or $HORALIS_WINDOWS_BUILD).
# Look at the pictures before committing them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${HORALIS_WINDOWS_BUILD:-$root/build/windows}
out=$root/docs/screenshots
convert=/usr/bin/convert   # the real ImageMagick, not a stand-in earlier on PATH
import=/usr/bin/import

[[ -x $convert && -x $import ]] && command -v chromium xdotool >/dev/null || bash scripts/install-deps.sh
source e2e/wine-env.sh
horalis_wine_start --own-display
# No desktop entries in the caller's home for the Start-menu shortcut.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
work=$(mktemp -d)
trap 'horalis_wine_stop; rm -rf "$work"' EXIT
cd "$work"   # the save dialog opens in the current folder

wait_window() {  # title pattern: prints the window's id once it shows
  local deadline=$((SECONDS + 20)) id
  while ((SECONDS < deadline)); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [[ -n $id ]] && { sleep 0.7; echo "$id"; return; }
    sleep 0.2
  done
  echo "screenshots: no window \"$1\"" >&2
  return 1
}
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.7}"; }
shoot() { "$import" -window "$1" -strip "$out/$2.png"; }
others=()
in_front() {  # seconds program args...: start it and keep its window in front
  local seconds=$1 title=$2; shift 2
  "$HORALIS_WINE_BIN" "$@" </dev/null >/dev/null 2>&1 &
  others+=($!)
  wait_window "$title" >/dev/null
  # New windows open at the top left, over the others: a click on the caption
  # makes the newest the foreground window.
  click 60 10 "$seconds"
}

horalis_wine "$build/bin/HoralisSetup.exe" /S </dev/null
documents=$WINEPREFIX/drive_c/users/Public/Documents
mkdir -p "$documents" "$out"
printf 'Agenda\r\n' >"$documents/meeting-notes.txt"
printf 'Rent\r\n' >"$documents/budget-2027.txt"

"$HORALIS_WINE_BIN" 'C:\Program Files\Horalis\Horalis.exe' </dev/null >/dev/null 2>&1 &
horalis=$!
main=$(wait_window '^Horalis$')
sleep 1.5   # past the splash picture

in_front 16 'meeting-notes' notepad 'C:\users\Public\Documents\meeting-notes.txt'
in_front 6 'Registry Editor' regedit
in_front 5 'budget-2027' notepad 'C:\users\Public\Documents\budget-2027.txt'
in_front 3 'WineMine' winemine
kill "${others[@]}" 2>/dev/null || true
sleep 1.5

# The main window sits at the top left; positions are those of its layout
# under Wine's fonts.
click 300 10                 # caption: Horalis in front
click 440 125                # "Active time" header: longest first
click 200 142 1.5            # the first row: its titles below
shoot "$main" main-window

click 130 70                 # Options
shoot "$(wait_window '^Configuration$')" options
xdotool key Escape; sleep 0.7
click 520 70                 # Mouse pointers
shoot "$(wait_window '^Cursors time$')" pointers
xdotool key Escape; sleep 0.7

click 17 34 0.5              # File
xdotool mousemove 40 90; sleep 0.7   # Export
click 170 124                # Export as .HTML...
wait_window '^Save As$' >/dev/null
xdotool type --delay 20 'C:\users\Public\Documents\today.html'
xdotool key Return
report=$documents/today.html
for _ in $(seq 50); do [[ -s $report ]] && break; sleep 0.2; done
kill "$horalis" 2>/dev/null || true

profile=$(mktemp -d)
timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
    --hide-scrollbars --window-size=900,1400 --screenshot="$work/report.png" "file://$report" >/dev/null 2>&1
rm -rf "$profile"
# The page's white margin below the table goes; a thin frame shows the edge.
"$convert" "$work/report.png" -trim +repage -bordercolor white -border 12 \
  -bordercolor '#999999' -border 1 -strip "$out/html-report.png"

# The history page over a few generated weeks of day records and older daily
# pairs (made by the native build's history_sample with the program's own
# writers): the day rows, the timeline and the start of the applications.
[[ -d $root/build/native ]] || cmake --preset native -S "$root" --log-level=WARNING >/dev/null
cmake --build "$root/build/native" --target history_sample >/dev/null
mkdir -p "$work/history"
"$root/build/native/bench/history_sample" "$work/history"
profile=$(mktemp -d)
timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
    --hide-scrollbars --window-size=1000,1400 --screenshot="$work/history.png" "file://$work/history/history.html" \
    >/dev/null 2>&1
rm -rf "$profile"
"$convert" "$work/history.png" -bordercolor '#999999' -border 1 -strip "$out/history.png"

ls -l "$out"
