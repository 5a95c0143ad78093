#!/usr/bin/env bash
# Whole-program cost under Wine: Horalis.exe and the minimal reference meter
# (reference_meter_win32.cpp: the tick's Win32 calls on a 500 ms timer, nothing
# else) run side by side while window_driver switches the foreground between
# three windows every 3 s, one of them with a clock in its title. Both are
# measured over the same seconds twice: with Horalis's main window showing,
# then with it closed to the tray, as it runs most of a day. Prints CPU
# seconds (all threads, from /proc/PID/task/*/schedstat) and resident memory
# (/proc/PID/status) of each, the ratios, the growth of resident memory, and
# the start-up time to a visible main window (median of three starts).
#
# usage: bench/whole-program.sh [windows-build-dir] [seconds]
#        (defaults: build/windows, 120; takes about 2 x seconds + 40 s)
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

# A desktop session has an X resource database; a bare Xvfb has none, and then
# Xlib reads ~/.Xdefaults again on every query, which Wine makes for every
# font it selects to draw text (about ten times a second for a window that
# shows a running time). One resource, as a session would set, keeps the
# display from charging that to whichever program draws.
printf 'Xft.antialias: 1\n' >"$HORALIS_WINE_DIR/Xresources"
export XENVIRONMENT=$HORALIS_WINE_DIR/Xresources

now_ms() { date +%s%3N; }

# Nanoseconds on the CPU, all threads of the process together.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ sum += $1 } END { printf "%d", sum }'; }
status_kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

# Milliseconds from $2 (ms since the epoch) until a visible window with exactly
# the title $1 exists, polled every 10 ms.
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
wait_program() {
  for _ in $(seq 200); do is_program "$1" "$2" && return 0; sleep 0.05; done
  echo "whole-program: $2 did not start" >&2
  return 1
}
end_program() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Start-up of a program that only creates its windows: what Wine itself
# costs. The first start in a fresh prefix also starts its services, so it is
# not counted.
baselines=()
for run in 0 1 2 3; do
  started=$(now_ms)
  "$HORALIS_WINE_BIN" "$build/bench/window_driver.exe" 1 &
  short_driver=$!
  ms=$(wait_visible "notes.txt - Editor" "$started")
  ((run == 0)) || baselines+=("$ms")
  wait "$short_driver" 2>/dev/null || true
done
baseline_ms=$(printf '%s\n' "${baselines[@]}" | median)

# Horalis's start-up, three times: to its first visible window (the splash)
# and to the visible main window.
splashes=() mains=()
for _ in 1 2 3; do
  started=$(now_ms)
  "$HORALIS_WINE_BIN" "$bin/Horalis.exe" &
  pid=$!
  wait_program "$pid" 'Horalis\.exe'
  deadline=$(($(now_ms) + 30000))
  until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    (($(now_ms) < deadline)) || { echo "whole-program: Horalis showed no window" >&2; exit 1; }
    sleep 0.01
  done
  splashes+=($(($(now_ms) - started)))
  mains+=("$(wait_visible "Horalis" "$started")")
  end_program "$pid"
  sleep 1
done
splash_ms=$(printf '%s\n' "${splashes[@]}" | median)
startup_ms=$(printf '%s\n' "${mains[@]}" | median)

# The measured run. Times count from the driver's start; it closes Horalis's
# window to the tray at hide_at.
warmup=20
hide_at=$((warmup + seconds + 3))
hidden_from=$((hide_at + 2))
started=$(now_ms)
"$HORALIS_WINE_BIN" "$build/bench/window_driver.exe" $((hidden_from + seconds + 30)) "$hide_at" &
driver=$!
wait_visible "notes.txt - Editor" "$started" >/dev/null
"$HORALIS_WINE_BIN" "$bin/Horalis.exe" &
horalis=$!
"$HORALIS_WINE_BIN" "$build/bench/reference_meter.exe" &
reference=$!
trap 'end_program "$horalis"; end_program "$reference"; end_program "$driver"; horalis_wine_stop' EXIT
wait_program "$horalis" 'Horalis\.exe'
wait_program "$reference" 'reference_meter\.exe'
wait_visible "Horalis" "$started" >/dev/null

sleep_until() {
  local left=$(($1 * 1000 - ($(now_ms) - started)))
  ((left > 0)) && sleep "$(awk -v ms="$left" 'BEGIN { printf "%.3f", ms / 1000 }')"
  return 0
}
# One sample: CPU ns and resident KiB of both processes.
sample() { echo "$(cpu_ns "$horalis") $(cpu_ns "$reference") $(status_kib "$horalis" VmRSS) $(status_kib "$reference" VmRSS)"; }

sleep_until "$warmup"
read -r h_cpu_a r_cpu_a h_rss_a r_rss_a < <(sample)
h_rss_max=$h_rss_a
for ((t = warmup + 10; t <= warmup + seconds; t += 10)); do
  sleep_until "$t"
  read -r _ _ h_rss _ < <(sample)
  ((h_rss > h_rss_max)) && h_rss_max=$h_rss
done
read -r h_cpu_b r_cpu_b h_rss_b r_rss_b < <(sample)
xdotool search --onlyvisible --name '^Horalis$' >/dev/null 2>&1 && shown_before=yes || shown_before=no
sleep_until "$hidden_from"
xdotool search --onlyvisible --name '^Horalis$' >/dev/null 2>&1 && still_shown=yes || still_shown=no
read -r h_cpu_c r_cpu_c h_rss_c r_rss_c < <(sample)
sleep_until $((hidden_from + seconds))
read -r h_cpu_d r_cpu_d h_rss_d r_rss_d < <(sample)
h_hwm=$(status_kib "$horalis" VmHWM)
r_hwm=$(status_kib "$reference" VmHWM)
d_hwm=$(status_kib "$driver" VmHWM)

[[ $shown_before == yes && $still_shown == no ]] ||
  echo "whole-program: warning: the main window was not shown and then hidden as planned ($shown_before, $still_shown)" >&2

awk -v s="$seconds" -v warmup="$warmup" \
    -v ha="$h_cpu_a" -v ra="$r_cpu_a" -v hb="$h_cpu_b" -v rb="$r_cpu_b" \
    -v hc="$h_cpu_c" -v rc="$r_cpu_c" -v hd="$h_cpu_d" -v rd="$r_cpu_d" \
    -v hrssa="$h_rss_a" -v rrssa="$r_rss_a" -v hrssb="$h_rss_b" -v rrssb="$r_rss_b" -v hrssmax="$h_rss_max" \
    -v hrssc="$h_rss_c" -v rrssc="$r_rss_c" -v hrssd="$h_rss_d" -v rrssd="$r_rss_d" \
    -v hhwm="$h_hwm" -v rhwm="$r_hwm" -v dhwm="$d_hwm" \
    -v up="$startup_ms" -v splash="$splash_ms" -v base="$baseline_ms" 'BEGIN {
  printf "whole program under Wine, side by side: the foreground switches between 3 windows every 3 s\n"
  printf "%-52s %11s %11s %11s  %s\n", "figure", "Horalis", "reference", "ratio", "target"
  vis = (hb - ha) / 1e9; visr = (rb - ra) / 1e9; hid = (hd - hc) / 1e9; hidr = (rd - rc) / 1e9
  printf "%-52s %11.3f %11.3f %10.2fx  %s %s\n", sprintf("CPU seconds, %d s with the main window showing", s), vis, visr, vis / visr, "<= 1.25x", (vis <= 1.25 * visr ? "ok" : "MISSED")
  printf "%-52s %11.3f %11.3f %10.2fx  %s %s\n", sprintf("CPU seconds, %d s closed to the tray", s), hid, hidr, hid / hidr, "<= 1.25x", (hid <= 1.25 * hidr ? "ok" : "MISSED")
  printf "%-52s %11.3f %11.3f %10.2fx\n", sprintf("CPU seconds, start and the first %d s", warmup), ha / 1e9, ra / 1e9, ha / ra
  printf "%-52s %11.1f %11.1f %+10.1fM  %s %s\n", "peak resident memory (VmHWM), MiB", hhwm / 1024, rhwm / 1024, (hhwm - rhwm) / 1024, "<= reference + 8 MiB", ((hhwm - rhwm) / 1024 <= 8 ? "ok" : "MISSED")
  printf "%-52s %11.1f %11.1f %+10.1fM\n", "  (window_driver: 3 visible windows, nothing else)", dhwm / 1024, rhwm / 1024, (dhwm - rhwm) / 1024
  printf "%-52s %11.1f %11.1f %+10.1fM\n", "resident memory at the end (tray), MiB", hrssd / 1024, rrssd / 1024, (hrssd - rrssd) / 1024
  printf "%-52s %+11d %+11d %11s  %s\n", sprintf("resident memory growth over the %d s showing, KiB", s), hrssb - hrssa, rrssb - rrssa, "", "the records only (a few KiB)"
  printf "%-52s %+11d %+11d %11s  %s\n", sprintf("resident memory growth over the %d s in the tray, KiB", s), hrssd - hrssc, rrssd - rrssc, "", "the records only"
  printf "%-52s %11d\n", "  (Horalis: highest minus first sample showing, KiB)", hrssmax - hrssa
  printf "%-52s %11d %11s %11s  %s %s\n", "start-up to a visible main window, ms (median of 3)", up, "", "", "<= 1000 + 300 + Wine start", (up - base <= 1300 ? "ok" : "MISSED")
  printf "%-52s %11d\n", "  of which Wine starting a bare window program, ms", base
  printf "%-52s %11d\n", "  to the splash window, ms", splash
  printf "%-52s %11d\n", "  splash to main window minus the 1000 ms pause, ms", up - splash - 1000
  printf "%-52s %11d %11s %11s  %s\n", "  Horalis minus Wine start, ms", up - base, "", "", "<= 1300"
}'
