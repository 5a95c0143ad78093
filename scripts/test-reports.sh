#!/usr/bin/env bash
# The report cases that need more than the plain end-to-end run: the daily
# rollover of Horalis.exe and of HoralisReporter.exe with the clock started ten
# seconds before 00:00 (faketime around the driver; the programs it starts
# inherit the shifted clock; every case name with "daily_reports"), the wall
# clock moved under a working user ("shifted_clock"), a clock set back across
# 00:00 and days of several runs ("clock_moves"), and the exported HTML and
# the history page opened in a headless browser to see that list texts stay text.
# Expects the Windows build in build/windows. Ends with "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${HORALIS_WINDOWS_BUILD:-$root/build/windows}
source scripts/test-results.sh

for tool in faketime chromium; do
  command -v "$tool" >/dev/null || bash scripts/install-deps.sh || true
done

source e2e/wine-env.sh
source e2e/full-drive.sh
horalis_wine_start --own-display || { echo "0 passed, 1 failed, 0 skipped"; exit 1; }
# A small drive that the full-disk case at 00:00 fills up.
horalis_full_drive_start
to_windows() { printf 'Z:%s' "${1//\//\\}"; }
work=$(mktemp -d)
results=$work/results.txt

run_cases() {  # filter [wrapper...]
  local filter=$1; shift
  rm -f "$results"
  timeout -k 10 300 "$@" "$HORALIS_WINE_BIN" "$build/e2e/horalis_e2e.exe" --filter "$filter" \
      --work "$(to_windows "$work/cases")" --results "$(to_windows "$results")" </dev/null 2>&1 |
    hide_results_line
  add_results "$results" || failed=$((failed + 1))
}

mkdir -p "$work/cases"
libfaketime=$(dpkg -L libfaketime 2>/dev/null | grep -m 1 '/libfaketime\.so\.1$')

# The crash and timeline cases wait minutes for the journal: they run beside the others, in
# a copy of the prefix with a wineserver on the real clock and a display of
# their own, so that neither takes the other's foreground.
crash=$work/crash
mkdir -p "$crash/cases"
horalis_wine_copy_prefix "$crash/prefix"
(
  export WINEPREFIX=$crash/prefix
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$crash/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 150); do [[ -s $crash/display ]] && break; sleep 0.1; done
  export DISPLAY=":$(tr -d '[:space:]' <"$crash/display")"
  "$HORALIS_WINESERVER_BIN" -p
  echo "@2026-12-06 17:00:00" >"$crash/clock"
  timeout -k 10 400 env LD_PRELOAD="$libfaketime" FAKETIME_TIMESTAMP_FILE="$crash/clock" FAKETIME_CACHE_DURATION=1 \
    FAKETIME_DONT_FAKE_MONOTONIC=1 "$HORALIS_WINE_BIN" "$build/e2e/horalis_e2e.exe" --filter crash_,timeline_ \
    --work "$(to_windows "$crash/cases")" --results "$(to_windows "$crash/results.txt")" </dev/null >"$crash/log" 2>&1
  "$HORALIS_WINESERVER_BIN" -k 2>/dev/null
  kill "$xvfb" 2>/dev/null
) &
crash_pid=$!

run_cases daily_reports faketime -f "@2026-12-06 23:59:50"
# A machine that sleeps through 00:00: the shifted clock comes from a file
# that the case moves past the 00:00 minute while the program is stopped.
echo "@2026-12-06 23:59:45" >"$work/clock"
run_cases sleep_over_midnight env LD_PRELOAD="$libfaketime" FAKETIME_TIMESTAMP_FILE="$work/clock" FAKETIME_CACHE_DURATION=1
# A clock set back across 00:00 while the program runs, a start in the 00:00
# minute: the cases rewrite the file.
run_cases clock_moves env LD_PRELOAD="$libfaketime" FAKETIME_TIMESTAMP_FILE="$work/clock" FAKETIME_CACHE_DURATION=1 \
  FAKETIME_DONT_FAKE_MONOTONIC=1
# The wall clock set back an hour and forward a day while the user works, in
# 2039 (past the 32-bit end of time); the monotonic clock stays real, as the
# wineserver's does.
echo "@2039-03-01 10:00:00" >"$work/clock-2039"
run_cases shifted_clock_set_back env LD_PRELOAD="$libfaketime" FAKETIME_TIMESTAMP_FILE="$work/clock-2039" \
  FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1
run_cases reports_export_csv_spreadsheet_and_html
run_cases history_opened_from_the_file_menu

wait "$crash_pid"
hide_results_line <"$crash/log"
add_results "$crash/results.txt" || failed=$((failed + 1))

# The browser checks, from this side: no Wine involved.
dom_of() {  # file -> the document as chromium built it
  local profile
  profile=$(mktemp -d)
  timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
      --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
      --dump-dom "file://$1" 2>/dev/null
  rm -rf "$profile"
}
html=$(find "$work/cases" -name 'report.html' | head -n 1)
if [[ -n $html ]] && command -v chromium >/dev/null; then
  dom=$(dom_of "$html")
  if [[ $dom == *"&lt;script&gt;document.body.setAttribute('data-pwned','1')&lt;/script&gt;"* &&
        $dom != *data-pwned=* && $dom == *"Plain report title"* ]]; then
    echo "PASS exported HTML shows the hostile title as text in chromium"
    passed=$((passed + 1))
  else
    echo "FAIL exported HTML in chromium: script ran or the title is missing"
    failed=$((failed + 1))
  fi
else
  echo "FAIL no exported HTML or no chromium for the browser check"
  failed=$((failed + 1))
fi

# The history page of three weeks: the newest day's row, the week's and the
# month's total of the editor, the hostile title as text, no script run.
history=$(find "$work/cases"/history_opened_* -name 'history.html' 2>/dev/null | head -n 1)
if [[ -n $history ]] && command -v chromium >/dev/null; then
  dom=$(dom_of "$history")
  if [[ $dom == *'<td class="day">Mon 7 Dec 2026</td><td class="n">4:00:00</td><td class="n">30:00</td>'* &&
        $dom == *'<td class="n">21:00:00</td>'* && $dom == *'<td class="n">63:00:00</td>'* &&
        $dom == *"&lt;script&gt;document.body.setAttribute('data-pwned','1')&lt;/script&gt; Hostile page"* &&
        $dom != *data-pwned=* ]]; then
    echo "PASS history page shows the day rows, the totals and the hostile title as text in chromium"
    passed=$((passed + 1))
  else
    echo "FAIL history page in chromium: rows or totals missing, or a script ran"
    failed=$((failed + 1))
  fi
else
  echo "FAIL no history page or no chromium for the browser check"
  failed=$((failed + 1))
fi

horalis_full_drive_stop
horalis_wine_stop
rm -rf "$work"
results_summary
((failed == 0 && passed > 0))
