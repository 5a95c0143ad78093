#!/usr/bin/env bash
# Builds the native benchmarks and prints one table of figures: for each, our
# value, the straightforward design's value measured in the same run, their
# ratio and the target. Times are the process's CPU time (median over the
# repetitions), so that other work on a shared machine does not count.
# The benchmarks' own output goes to <build>/bench/bench-output.txt.
#
# usage: scripts/bench.sh [native-build-dir]   (default build/native; a few minutes)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/native}
programs=(tick_bench add_sample_bench list_models_bench report_bench week_bench history_bench journal_bench)

bash scripts/install-deps.sh >/dev/null
cmake --preset native -B "$build" --log-level=WARNING >/dev/null
cmake --build "$build" -j2 --target "${programs[@]}" >/dev/null

figures=$(mktemp)
trap 'rm -f "$figures"' EXIT
output=$build/bench/bench-output.txt
: >"$output"
for program in "${programs[@]}"; do
  echo "bench: $program" >&2
  HORALIS_FIGURES=$figures "$build/bench/$program" --benchmark_color=false >>"$output" 2>&1
done

printf '\n%-58s %14s %14s %10s  %s\n' figure ours reference ref/ours target
while IFS=$'\t' read -r figure ours reference ratio target; do
  printf '%-58s %14s %14s %10s  %s\n' "$figure" "$ours" "$reference" "$ratio" "$target"
done <"$figures"
echo "(machine: $(nproc) cores, $(uname -r); load average $(cut -d' ' -f1-3 /proc/loadavg))"
