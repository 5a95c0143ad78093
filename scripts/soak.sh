#!/usr/bin/env bash
# The long run: Horalis.exe under Wine while the driver opens, retitles and
# closes windows and starts short-lived applications several times a second,
# then every dialog opened and closed 100 times. Prints the program's GDI
# objects, USER objects and kernel handles along the way and checks that they
# stay flat and that the totals match what the driver saw.
#   scripts/soak.sh [SECONDS]   churn length, 600 by default (the normal test run uses 30)
# Builds the Windows tree first unless HORALIS_WINDOWS_BUILD names a built one.
# Ends with "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-600}
build=${HORALIS_WINDOWS_BUILD:-}
if [[ -z $build ]]; then
  bash scripts/install-deps.sh || { echo "0 passed, 1 failed, 0 skipped"; exit 1; }
  bash scripts/build.sh windows || { echo "0 passed, 1 failed, 0 skipped"; exit 1; }
  build=$root/build/windows
fi

source scripts/test-results.sh
source e2e/wine-env.sh
horalis_wine_start --own-display || { echo "0 passed, 1 failed, 0 skipped"; exit 1; }
to_windows() { printf 'Z:%s' "${1//\//\\}"; }
work=$(mktemp -d)
results=$work/results.txt
mkdir -p "$work/cases"
started=$SECONDS
HORALIS_SOAK_SECONDS=$seconds timeout -k 10 $((seconds + 600)) "$HORALIS_WINE_BIN" "$build/e2e/horalis_e2e.exe" \
    --filter soak_ --work "$(to_windows "$work/cases")" --results "$(to_windows "$results")" </dev/null 2>&1 |
  hide_results_line
echo "soak: $((SECONDS - started)) s"
line=$(grep -E "$results_line_re" "$results" 2>/dev/null | tail -n 1)
horalis_wine_stop
rm -rf "$work"
echo "${line:-0 passed, 1 failed, 0 skipped}"
[[ -n $line && $line == *" 0 failed, "* ]]
