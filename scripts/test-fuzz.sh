#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (preset "fuzz": clang-14 with
# AddressSanitizer and UBSan) and runs each for a bounded time from its
# committed seed corpus. A target passes when it ends without a crash, a
# sanitizer report or a broken property. Ends with "N passed, N failed, N skipped".
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
build_targets=(--target "${targets[@]}")
if ((${#targets[@]} == 0)); then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
  build_targets=()  # the fuzz tree holds nothing else; one build runs in parallel
fi

if ! cmake --preset fuzz -B "$build" --log-level=WARNING >/dev/null ||
   ! cmake --build "$build" -j"$(nproc)" "${build_targets[@]}" >"$build/build-log.txt" 2>&1; then
  cat "$build/build-log.txt" >&2
  echo "fuzz: the build failed" >&2
  echo "0 passed, ${#targets[@]} failed, 0 skipped"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One target; its exit status says whether it passed.
run_target() {
  local target=$1 findings="$build/fuzz-findings/$1"
  rm -rf "$findings"
  mkdir -p "$findings" "$work/$target" "$work/$target.tmp"
  # New inputs go to a scratch corpus; the seeds are only read. The targets'
  # own scratch files go under $work too, so a crash leaves none behind.
  TMPDIR="$work/$target.tmp" "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$findings/" \
    "$work/$target" "tests/fuzz/corpus/$target" >"$findings/log.txt" 2>&1
}

# As many targets at a time as there are cores; each is single-threaded.
declare -A job
for target in "${targets[@]}"; do
  while (($(jobs -rp | wc -l) >= $(nproc))); do wait -n; done
  run_target "$target" &
  job[$target]=$!
done

passed=0
failed=0
for target in "${targets[@]}"; do
  log="$build/fuzz-findings/$target/log.txt"
  if wait "${job[$target]}"; then
    runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
    cov=$(grep -oE 'DONE +cov: [0-9]+' "$log" | grep -oE '[0-9]+$' | tail -n 1)
    echo "fuzz: $target passed (${runs:-?} inputs, coverage ${cov:-?})"
    passed=$((passed + 1))
  else
    echo "fuzz: $target FAILED, see $log:" >&2
    grep -E 'ERROR|property broken|runtime error|Test unit written' "$log" | head -n 5 >&2
    failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed, 0 skipped"
((failed == 0))
