# Sourced by the test scripts: the totals of a run and its closing line
# "N passed, N failed, N skipped". A case that cannot run where it is (no
# shifted clock, no small drive, no help file) is skipped, never passed.
passed=0
failed=0
skipped=0
results_line_re='^[0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$'

# Adds the last closing line in file $1 to the totals and leaves its three
# numbers in results_good, results_bad and results_skipped. False when the
# file holds no such line.
add_results() {
  local line
  line=$(grep -E "$results_line_re" "$1" 2>/dev/null | tail -n 1)
  [[ -n $line ]] || return 1
  read -r results_good _ results_bad _ results_skipped _ <<<"${line//,/}"
  passed=$((passed + results_good))
  failed=$((failed + results_bad))
  skipped=$((skipped + results_skipped))
}

# Filters another run's closing line out of the output, so that the
# caller's own line is the only one of its kind.
hide_results_line() { grep -vE "$results_line_re"; }

results_summary() { echo "$passed passed, $failed failed, $skipped skipped"; }
