#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (preset "fuzz": clang-14 with
# AddressSanitizer and UBSan) and runs each for a bounded time from its
# committed seed corpus. A target passes when it ends without a crash, a
# sanitizer report or a broken property. Ends with "N passed, N failed".
#
# usage: scripts/test-fuzz.sh [-B build-dir] [seconds-per-target] [target...]
#   defaults: build/fuzz, 20 s, every target
# What a run finds is kept in <build-dir>/fuzz-findings/<target>/ (the input
# that failed, and the log); new corpus entries stay out of the source tree.
set -uo pipefail
cd "$(dirname "$0")/.."

build=build/fuzz
if [[ ${1:-} == -B ]]; then
  build=$2
  shift 2
fi
seconds=${1:-20}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

if ! cmake --preset fuzz -B "$build" --log-level=WARNING >/dev/null ||
   ! cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"; then
  echo "fuzz: the build failed" >&2
  echo "0 passed, ${#targets[@]} failed"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
for target in "${targets[@]}"; do
  findings="$build/fuzz-findings/$target"
  rm -rf "$findings"
  mkdir -p "$findings" "$work/$target"
  # New inputs go to a scratch corpus; the seeds are only read.
  if "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$work/$target" "tests/fuzz/corpus/$target" >"$findings/log.txt" 2>&1; then
    runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$findings/log.txt" | grep -oE '[0-9]+$')
    cov=$(grep -oE 'DONE +cov: [0-9]+' "$findings/log.txt" | grep -oE '[0-9]+$' | tail -n 1)
    echo "fuzz: $target passed (${runs:-?} inputs, coverage ${cov:-?})"
    passed=$((passed + 1))
  else
    echo "fuzz: $target FAILED, see $findings/log.txt:" >&2
    grep -E 'ERROR|property broken|runtime error|Test unit written' "$findings/log.txt" | head -n 5 >&2
    failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed"
((failed == 0))
