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

# One line per preset with its wall-clock test time, then one for all: "all: N passed, N failed".
count() { sed -nE 's/.* tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$1" | tail -n 1; }
echo
all_failed=0
all_total=0
ok=yes
for preset in "${presets[@]}"; do
  read -r failed total <<<"$(count "build/$preset-tests.log")"
  where=""
  [ "$preset" = host ] || where=" (Wine)"
  if [ -z "${total:-}" ]; then
    echo "$preset$where: no test summary (see build/$preset-tests.log), ${seconds[$preset]} s"
    ok=no
  else
    echo "$preset$where: $(( total - failed )) of $total passed in ${seconds[$preset]} s"
    all_failed=$(( all_failed + failed ))
    all_total=$(( all_total + total ))
  fi
  [ "${status[$preset]}" -eq 0 ] || ok=no
done
echo "all: $(( all_total - all_failed )) passed, $all_failed failed"
[ "$ok" = yes ]
