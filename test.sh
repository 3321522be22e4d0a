#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test: the portable core
# natively, then the Windows programs under Wine on a display of their own.
set -uo pipefail
cd "$(dirname "$0")"

cmake/install-deps.sh || exit 1
cmake --preset host >/dev/null && cmake --build --preset host || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1

ctest --preset host 2>&1 | tee build/host-tests.log
host_status=${PIPESTATUS[0]}
cmake/with-wine.sh build/windows --own-display -- ctest --preset windows 2>&1 | tee build/windows-tests.log
windows_status=${PIPESTATUS[0]}

# One closing line for both runs: "N passed, N failed".
count() { sed -nE 's/.* tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$1" | tail -n 1; }
read -r host_failed host_total <<<"$(count build/host-tests.log)"
read -r windows_failed windows_total <<<"$(count build/windows-tests.log)"
failed=$(( ${host_failed:-0} + ${windows_failed:-0} ))
total=$(( ${host_total:-0} + ${windows_total:-0} ))
echo
echo "host: $(( ${host_total:-0} - ${host_failed:-0} )) of ${host_total:-0} passed; windows (Wine): $(( ${windows_total:-0} - ${windows_failed:-0} )) of ${windows_total:-0} passed"
echo "all: $(( total - failed )) passed, $failed failed"
[ "$host_status" -eq 0 ] && [ "$windows_status" -eq 0 ] && [ -n "${host_total:-}" ] && [ -n "${windows_total:-}" ]
