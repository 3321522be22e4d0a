#!/usr/bin/env bash
# The closing line never says "0 failed" for a run that failed, and its status agrees with it.
set -uo pipefail
. "$(dirname "$0")/closing-line.sh"

failures=0
# parts (one a line, "STATUS PASSED FAILED") | expected line | expected status
while IFS='|' read -r parts expected_line expected_status; do
  line=$(printf '%b' "$parts" | closing_line)
  status=$?
  if [ "$line" != "$expected_line" ] || [ "$status" -ne "$expected_status" ]; then
    echo "parts '$parts': got '$line' (status $status), expected '$expected_line' (status $expected_status)"
    failures=$((failures + 1))
  fi
done <<'ROWS'
0 60 0\n0 73 0\n0 73 0|all: 206 passed, 0 failed|0
0 60 0\n0 73 0\n\n|all: 133 passed, 0 failed|0
0 60 0\n0 70 3\n0 73 0|all: 203 passed, 3 failed|1
0 60 0\n8 70 3|all: 130 passed, 3 failed|1
0 60 0\n1|all: 60 passed, 1 failed|1
0 60 0\n0|all: 60 passed, 1 failed|1
1 206 0\n0 206 0|all: 412 passed, 1 failed|1
1\n1|all: 0 passed, 2 failed|1
ROWS
exit $((failures > 0))
