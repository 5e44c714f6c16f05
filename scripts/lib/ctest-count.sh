# Runs ctest and keeps count of what it ran, so a run of several ctest invocations
# (some in the background) ends with one line for all of them. Source after
# common.sh.
#
# counted_ctest LABEL CTEST_ARGS...: ctest with its output shown as it comes; the
# counts go to $QARTO_COUNTS/LABEL. Returns ctest's status.
# test_count_line: "tests: N passed, N failed, N skipped" over every counted run.

QARTO_COUNTS=${QARTO_COUNTS:-$(mktemp -d)}
export QARTO_COUNTS

counted_ctest() {
  local label=$1; shift
  local out=$QARTO_COUNTS/$label.out rc=0
  ctest "$@" 2>&1 | tee "$out" || rc=$?
  # "97% tests passed, 1 tests failed out of 34"; skipped tests count as passed there.
  local total failed skipped
  total=$(sed -nE 's/^[0-9]+% tests passed, [0-9]+ tests? failed out of ([0-9]+)$/\1/p' "$out" | tail -n 1)
  failed=$(sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of [0-9]+$/\1/p' "$out" | tail -n 1)
  skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$out" || true)
  if [ -z "$total" ]; then
    # No summary: ctest did not get to run the tests (or found none).
    total=0 failed=0 skipped=0
    [ "$rc" -eq 0 ] || failed=1
  fi
  echo "$((total - failed - skipped)) $failed $skipped" >"$QARTO_COUNTS/$label"
  rm -f "$out"
  return "$rc"
}

test_count_line() {
  local passed=0 failed=0 skipped=0 f p x s
  for f in "$QARTO_COUNTS"/*; do
    [ -f "$f" ] || continue
    case $f in *.out) continue ;; esac
    read -r p x s <"$f" || continue
    [[ $p =~ ^[0-9]+$ && $x =~ ^[0-9]+$ && $s =~ ^[0-9]+$ ]] || continue
    passed=$((passed + p)) failed=$((failed + x)) skipped=$((skipped + s))
  done
  [ $((passed + failed + skipped)) -gt 0 ] || return 0
  echo "tests: $passed passed, $failed failed, $skipped skipped"
}
