#!/usr/bin/env bash
# Whole-program cost under Wine: Horalis.exe and the minimal reference meter
# (reference_meter_win32.cpp: the tick's Win32 calls on a 500 ms timer, nothing
# else) run side by side for the same seconds while window_driver switches the
# foreground between three windows. Prints CPU seconds and resident memory of
# each process (from /proc), their ratios, the resident memory's growth over
# the run, and the start-up time to a visible main window.
#
# usage: bench/whole-program.sh [windows-build-dir] [seconds]
#        (defaults: build/windows, 120; about seconds + 30 s in all)
# Not part of scripts/test.sh: it takes minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=${1:-build/windows}
seconds=${2:-120}
[[ $build = /* ]] || build=$root/$build

bash scripts/install-deps.sh >/dev/null
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake --preset windows -B "$build" --log-level=WARNING >/dev/null
fi
cmake --build "$build" -j2 --target Horalis kbdh reference_meter window_driver >/dev/null
bin=$build/bin

# shellcheck source=../e2e/wine-env.sh
source e2e/wine-env.sh
horalis_wine_start --own-display >/dev/null

clock_ticks=$(getconf CLK_TCK)
now_ms() { date +%s%3N; }

# CPU seconds (user + system) of a process; its name may hold blanks, so the
# fields are counted after the closing parenthesis.
cpu_seconds() {
  awk -v hz="$clock_ticks" '{ sub(/^.*\) /, ""); split($0, f, " "); printf "%.2f", (f[12] + f[13]) / hz }' "/proc/$1/stat"
}
status_kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

# Milliseconds until a visible window with exactly this title exists, polled
# every 10 ms; starts counting at $2 (ms since the epoch).
wait_visible() {
  local title=$1 started=$2 deadline=$(($(now_ms) + 30000))
  until xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1; do
    if (($(now_ms) > deadline)); then echo "whole-program: no window '$title'" >&2; return 1; fi
    sleep 0.01
  done
  echo $(($(now_ms) - started))
}

# A Windows program started in the background by the Wine loader itself (not
# through the horalis_wine function, which would put a subshell in between)
# keeps the loader's process id; this tells when it has become the program.
is_program() { tr '\0' ' ' <"/proc/$1/cmdline" 2>/dev/null | grep -qi "$2"; }

# Start-up of a program that only creates its windows: what Wine itself
# costs. The first start in a fresh prefix also starts its services, so it is
# not counted; the second one is.
for _ in cold warm; do
  started=$(now_ms)
  "$HORALIS_WINE_BIN" "$bin/window_driver.exe" 2 &
  short_driver=$!
  baseline_ms=$(wait_visible "notes.txt - Editor" "$started")
  wait "$short_driver" 2>/dev/null || true
done

"$HORALIS_WINE_BIN" "$bin/window_driver.exe" $((seconds + 60)) &
driver=$!
wait_visible "notes.txt - Editor" "$(now_ms)" >/dev/null

started=$(now_ms)
"$HORALIS_WINE_BIN" "$bin/Horalis.exe" &
horalis=$!
"$HORALIS_WINE_BIN" "$bin/reference_meter.exe" &
reference=$!
startup_ms=$(wait_visible "Horalis" "$started")
for pid in "$horalis" "$reference"; do
  for _ in $(seq 100); do is_program "$pid" '\.exe' && break; sleep 0.05; done
done
is_program "$horalis" 'Horalis\.exe' || { echo "whole-program: Horalis.exe did not start" >&2; exit 1; }
is_program "$reference" 'reference_meter\.exe' || { echo "whole-program: reference_meter.exe did not start" >&2; exit 1; }
wineserver_pid=$(pgrep -n -f "^$HORALIS_WINESERVER_BIN" -U "$(id -u)" 2>/dev/null || true)

# Steady state from 20 s on: CPU and resident memory at that point and at the end.
sleep 20
cpu_h_20=$(cpu_seconds "$horalis"); cpu_r_20=$(cpu_seconds "$reference")
rss_h_20=$(status_kib "$horalis" VmRSS); rss_r_20=$(status_kib "$reference" VmRSS)
min_h=$rss_h_20; max_h=$rss_h_20
for ((t = 20; t < seconds; t += 5)); do
  sleep 5
  r=$(status_kib "$horalis" VmRSS)
  ((r < min_h)) && min_h=$r
  ((r > max_h)) && max_h=$r
done
cpu_h=$(cpu_seconds "$horalis"); cpu_r=$(cpu_seconds "$reference")
rss_h=$(status_kib "$horalis" VmRSS); rss_r=$(status_kib "$reference" VmRSS)
hwm_h=$(status_kib "$horalis" VmHWM); hwm_r=$(status_kib "$reference" VmHWM)
kill "$horalis" "$reference" 2>/dev/null || true
kill "$driver" 2>/dev/null || true

awk -v s="$seconds" -v ch="$cpu_h" -v cr="$cpu_r" -v ch20="$cpu_h_20" -v cr20="$cpu_r_20" \
    -v hh="$hwm_h" -v hr="$hwm_r" -v rh20="$rss_h_20" -v rr20="$rss_r_20" -v rh="$rss_h" -v rr="$rss_r" \
    -v minh="$min_h" -v maxh="$max_h" -v up="$startup_ms" -v base="$baseline_ms" 'BEGIN {
  printf "whole program under Wine: %d s side by side, foreground switching between 3 windows every 3 s\n", s
  printf "%-44s %12s %12s %12s  %s\n", "figure", "Horalis", "reference", "ratio", "target"
  printf "%-44s %12.2f %12.2f %11.2fx  %s %s\n", "CPU seconds, whole run", ch, cr, ch / cr, "<= 1.25x", (ch <= 1.25 * cr ? "ok" : "MISSED")
  printf "%-44s %12.2f %12.2f %11.2fx  %s\n", "CPU seconds, from 20 s to the end", ch - ch20, cr - cr20, (ch - ch20) / (cr - cr20), "(steady state)"
  printf "%-44s %12.1f %12.1f %+10.1f M  %s %s\n", "peak resident memory (VmHWM), MiB", hh / 1024, hr / 1024, (hh - hr) / 1024, "<= reference + 8 MiB", ((hh - hr) / 1024 <= 8 ? "ok" : "MISSED")
  printf "%-44s %+12d %+12d %12s  %s\n", "resident memory growth 20 s -> end, KiB", rh - rh20, rr - rr20, "", "only the records (a few KiB)"
  printf "%-44s %12d %12s %12s\n", "  (Horalis resident range after 20 s, KiB)", maxh - minh, "", ""
  printf "%-44s %12d %12s %12s  %s %s\n", "start-up to visible main window, ms", up, "", "", "<= 1000 + 300 + Wine start", (up - base <= 1300 ? "ok" : "MISSED")
  printf "%-44s %12d %12s %12s\n", "  Wine start of a bare window program, ms", base, "", ""
  printf "%-44s %12d %12s %12s\n", "  Horalis minus that (splash pause 1000 ms)", up - base, "", ""
}'
if [[ -n $wineserver_pid && -r /proc/$wineserver_pid/stat ]]; then
  echo "(wineserver, shared by all three programs: $(cpu_seconds "$wineserver_pid") CPU seconds)"
fi
