#!/usr/bin/env bash
# Installs what is missing, builds the three presets and runs every test: the portable core
# natively, then each Windows build's programs (GCC's and Clang's) under Wine, each build in a
# Wine session and on a display of its own.
set -uo pipefail
cd "$(dirname "$0")"

presets=(host windows windows-clang)

cmake/install-deps.sh || exit 1
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" || exit 1
done

now() { date +%s.%N; }
declare -A status seconds
for preset in "${presets[@]}"; do
  started=$(now)
  if [ "$preset" = host ]; then
    ctest --preset host 2>&1 | tee build/host-tests.log
  else
    cmake/with-wine.sh "build/$preset" --own-display --keep-desktop "build/$preset/tests/bin/desktop_keeper.exe" -- \
      ctest --preset "$preset" 2>&1 | tee "build/$preset-tests.log"
  fi
  status[$preset]=${PIPESTATUS[0]}
  seconds[$preset]=$(awk -v from="$started" -v to="$(now)" 'BEGIN { printf "%.1f", to - from }')
done

# One line per preset with its wall-clock test time, then the closing line for all.
. tests/closing-line.sh
count() { sed -nE 's/.* tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$1" | tail -n 1; }
echo
parts=""
for preset in "${presets[@]}"; do
  read -r failed total <<<"$(count "build/$preset-tests.log")"
  where=""
  [ "$preset" = host ] || where=" (Wine)"
  if [ -z "${total:-}" ]; then
    echo "$preset$where: no test summary (exit ${status[$preset]}, see build/$preset-tests.log), ${seconds[$preset]} s"
    parts+="${status[$preset]}"$'\n'
  else
    echo "$preset$where: $(( total - failed )) of $total passed in ${seconds[$preset]} s"
    parts+="${status[$preset]} $(( total - failed )) $failed"$'\n'
  fi
done
closing_line <<<"$parts"
