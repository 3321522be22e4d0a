# The closing line of a run made of parts, which people and CI read as its verdict:
# "all: N passed, M failed". Sourced by test.sh and .ci/run.
#
# closing_line reads one part a line, "STATUS PASSED FAILED": the part's exit status and the
# counts its summary gave, both left out when it printed none. A part that printed no summary,
# or that exited non-zero with no failed test to show for it (a crash, a kill, a clean-up that
# failed), counts as one failed: the line says "0 failed" only when every part exited 0 with a
# summary. Returns 0 exactly then.
closing_line() {
  local passed=0 failed=0 status part_passed part_failed
  while read -r status part_passed part_failed || [ -n "${status:-}" ]; do
    [ -n "$status" ] || continue
    if [ -z "$part_failed" ]; then
      part_passed=0 part_failed=1
    elif [ "$status" -ne 0 ] && [ "$part_failed" -eq 0 ]; then
      part_failed=1
    fi
    passed=$((passed + part_passed)) failed=$((failed + part_failed)) status=
  done
  echo "all: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
