#!/usr/bin/env bash
# Installs what is missing, builds both trees, runs the native unit tests
# (ctest) and the end-to-end tests (Windows build under Wine on Xvfb), and ends
# with one line "N passed, N failed, N skipped" over all stages. Exits non-zero
# if anything failed.
# Screenshots of the end-to-end run land in build/e2e-screens/.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

source scripts/test-results.sh
timings=()

finish() {
  timings+=("whole run $((SECONDS - started)) s")
  local joined
  joined=$(printf '%s, ' "${timings[@]}")
  echo "timing: ${joined%, }"
  results_summary
  if ((failed == 0 && passed > 0)); then exit 0; else exit 1; fi
}

stage_failed() {
  echo "test: $1" >&2
  failed=$((failed + 1))
}

# Adds the closing line of file $1 to the totals; $2 names the stage.
count_results() {
  if ! add_results "$1"; then
    stage_failed "$2 ended without a result"
    return
  fi
  echo "$2: $results_good of $((results_good + results_bad)) passed, $results_skipped skipped"
}

# Runs a test script that ends with "N passed, N failed, N skipped": $1 names the stage in
# the totals, $2 in the timings, the rest is the command. The script's own
# closing line is left out of the output, so that this script's is the only one.
script_stage() {
  local label=$1 timing=$2 t=$SECONDS log
  shift 2
  log=$(mktemp)
  "$@" 2>&1 | tee "$log" | hide_results_line
  count_results "$log" "$label"
  rm -f "$log"
  timings+=("$timing $((SECONDS - t)) s")
}

# Runs ctest in build tree $1 and adds its "N% tests passed, N tests failed
# out of N" line to the totals; $2 names the stage. ctest counts a skipped
# test (GTEST_SKIP) among the passed ones and lists it under "did not run".
count_ctest() {
  local log line total bad skip
  log=$(mktemp)
  ctest --test-dir "$1" -j"$(nproc)" --output-on-failure 2>&1 | tee "$log"
  if grep -q 'No tests were found' "$log"; then
    echo "$2: none"
  elif line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1); then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    skip=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$log")
    passed=$((passed + total - bad - skip))
    failed=$((failed + bad))
    skipped=$((skipped + skip))
    echo "$2: $((total - bad - skip)) of $((total - skip)) passed, $skip skipped"
  else
    stage_failed "$2: ctest ended without a result"
  fi
  rm -f "$log"
}

if ! bash scripts/install-deps.sh; then
  stage_failed "installing the packages failed"
  finish
fi

native_built=0
windows_built=0
t=$SECONDS
bash scripts/build.sh native && native_built=1 || stage_failed "the native build failed"
bash scripts/build.sh windows && windows_built=1 || stage_failed "the Windows build failed"
timings+=("builds $((SECONDS - t)) s")

# Native unit tests.
if ((native_built)); then
  t=$SECONDS
  count_ctest build/native "native tests"
  timings+=("native tests $((SECONDS - t)) s")
fi

# The same unit tests under AddressSanitizer and UBSan (preset native-asan:
# any report ends the test with a failure).
t=$SECONDS
if cmake --preset native-asan --log-level=WARNING >/dev/null &&
   cmake --build build/native-asan -j"$(nproc)" --target unit_tests; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    count_ctest build/native-asan "native tests under ASan+UBSan"
else
  stage_failed "the sanitizer build failed"
fi
timings+=("sanitizer tests $((SECONDS - t)) s")

# libFuzzer targets from their committed corpora, 12 s each here (the
# whole run stays within its time; 20 s when run alone).
script_stage "fuzz targets" fuzzing bash scripts/test-fuzz.sh 12

# End-to-end tests: the driver runs in the same Wine prefix as the program.
if ((windows_built)); then
  source e2e/wine-env.sh
  source e2e/full-drive.sh
  if horalis_wine_start --own-display; then
    timings+=("Wine prefix ${HORALIS_WINE_SETUP_SECONDS} s")
    # A small drive for the full-disk cases.
    horalis_full_drive_start
    t=$SECONDS
    to_windows() { printf 'Z:%s' "${1//\//\\}"; }
    screens="$root/build/windows/e2e/screens"
    results="$root/build/windows/e2e/results.txt"
    rm -rf "$screens" "$results"
    mkdir -p "$screens"
    # The driver's own summary line is shown reworded, so that this script's
    # line is the only one of its kind.
    timeout -k 10 1200 "$HORALIS_WINE_BIN" build/windows/e2e/horalis_e2e.exe \
        --results "$(to_windows "$results")" --screens "$(to_windows "$screens")" </dev/null 2>&1 |
      hide_results_line
    count_results "$results" "end-to-end tests"
    timings+=("end-to-end tests $((SECONDS - t)) s")

    rm -rf build/e2e-screens
    mkdir -p build/e2e-screens
    for bmp in "$screens"/*.bmp; do
      [[ -e $bmp ]] || continue
      /usr/bin/convert "$bmp" "build/e2e-screens/$(basename "${bmp%.bmp}").png" && rm -f "$bmp"
    done
    echo "screenshots: build/e2e-screens/ ($(find build/e2e-screens -name '*.png' | wc -l) files)"
    horalis_full_drive_stop
    horalis_wine_stop
  else
    stage_failed "the Wine prefix or the virtual display could not be prepared"
  fi
fi


# Report cases that need a shifted clock (faketime) and a real browser
# engine, and beside them the setup and the portable zip (silent install,
# start, silent uninstall): each script has a prefix and a display of its own,
# and the report cases spend most of their time waiting for the clock.
if ((windows_built)); then
  installer_log=$(mktemp)
  t_installer=$SECONDS
  (bash scripts/test-installer.sh >"$installer_log" 2>&1; echo "$((SECONDS - t_installer))" >"$installer_log.seconds") &
  installer_pid=$!
  script_stage "report tests (shifted clock, browser)" "report tests" bash scripts/test-reports.sh
  wait "$installer_pid"
  hide_results_line <"$installer_log"
  count_results "$installer_log" "installer tests"
  timings+=("installer tests $(cat "$installer_log.seconds" 2>/dev/null || echo '?') s (beside the report tests)")
  rm -f "$installer_log" "$installer_log.seconds"
fi

finish
