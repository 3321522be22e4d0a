#!/usr/bin/env bash
# Measures the built program against minimal windows built like it, in the same run, and prints
# one table, also written to build/benchmark.txt: file size, imports and a second build's bytes
# (GCC and Clang/LLD), start-up, peak memory, and CPU with all three watchers armed. README.md
# says what is compared and how it is judged.
#
#   tests/benchmark/benchmark.sh                   build, measure, print
#   tests/benchmark/benchmark.sh --under-wine DIR  (internal) the Wine measurements, into DIR
#
# BENCH_STARTUP_FIRST, _MORE, _MOST and BENCH_CPU_FIRST, _MORE, _MOST in the environment lower
# the pairs' counts for a quick trial; the table says which counts it used.
#
# Nothing it runs can start a real power action: it runs in a Wine prefix of its own, whose
# system folder's shutdown.exe (the one the program starts) is the fake; the driver refuses to
# arm the program otherwise, and the armed watchers wait for "99:99:99".
set -euo pipefail
shopt -s inherit_errexit

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
cd "$root"

build=build/windows
program="$build/bin/Varnok Shutdown Manager.exe"
clang_program="build/windows-clang/bin/Varnok Shutdown Manager.exe"
minimal="$build/benchmark/minimal_window.exe"
program_title="Varnok Shutdon Manager"
minimal_title="Varnok Minimal Window"
# A first batch of pairs, then more while the verdict is unsettled, up to a bound that keeps the
# run within minutes.
startup_first=${BENCH_STARTUP_FIRST:-180} startup_more=${BENCH_STARTUP_MORE:-90} startup_most=${BENCH_STARTUP_MOST:-360}
cpu_first=${BENCH_CPU_FIRST:-30} cpu_more=${BENCH_CPU_MORE:-10} cpu_most=${BENCH_CPU_MOST:-50}
startup_target=1.10 cpu_target=1.3 memory_target=1.2
cpu_seconds=2 cpu_settle_seconds=0.3 memory_runs=3

# Every statistic the benchmark makes. Lines "program floor", one a pair in run order, in; one
# line out: 1 the number of pairs; 2 the geometric mean of the pairs' ratios, 3-4 its bootstrap
# 95 % interval (2000 resamples, a fixed seed: the same pairs give the same interval); 5-6 the
# lowest and highest ratio; 7 the median ratio; 8-9 each side's median; 10-11 each side's mean.
summary() {
  awk '
    function sort(a, n,   i, j, t) {
      for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    }
    function median(a, n) { sort(a, n); return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
    function geomean(a, n,   i, s) { for (i = 1; i <= n; i++) s += log(a[i]); return exp(s / n) }
    { n++; r[n] = sprintf("%.4f", $1 / $2) + 0; p[n] = $1; f[n] = $2; sum_p += $1; sum_f += $2 }
    END {
      srand(20261208)
      for (b = 1; b <= 2000; b++) { for (i = 1; i <= n; i++) c[i] = r[1 + int(rand() * n)]; e[b] = sprintf("%.6g", geomean(c, n)) + 0 }
      sort(e, 2000)
      printf "%d %.3f %.3f %.3f ", n, sprintf("%.6g", geomean(r, n)), e[int(2000 * 0.025) + 1], e[int(2000 * 0.975)]
      m = median(r, n)
      printf "%.4f %.4f %.4f %.6g %.6g %.6g %.6g\n", r[1], r[n], m, median(p, n), median(f, n), sum_p / n, sum_f / n
    }'
}

# A summary's verdict, from its interval as printed, to two decimals: pass when all of it is
# within the target, miss when all of it is beyond, unsettled when it reaches across, when
# this run cannot tell either way.
verdict() {  # target
  awk -v target="$1" '{
    low = sprintf("%.2f", $3) + 0; high = sprintf("%.2f", $4) + 0
    printf "%s (%.2f, 95 %% %.2f-%.2f, pairs %.2f-%.2f)\n", (high <= target ? "pass" : (low > target ? "miss" : "unsettled")),
      $2, $3, $4, $5, $6
  }'
}

# --------------------------------------------------------------------------------------------
# Inside the Wine session (started by cmake/with-wine.sh, which exports WINEPREFIX and friends).
# --------------------------------------------------------------------------------------------
under_wine() {
  local out=$1 wine=/usr/lib/wine/wine64
  work=$(mktemp -d /tmp/varnok-benchmark.XXXXXX)
  started_pids=()
  # Ends what this part started (by pid) and removes its folder, however it exits.
  trap 'for p in "${started_pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
  note() { printf '%s=%s\n' "$1" "$2" >>"$out/notes"; }
  # Wine programs' output goes to files, never through a pipe (Wine's helpers could hold it
  # open), and is shown when the driver fails. (Wine's C runtime ends its lines with CR LF.)
  drive() {
    (cd "$work" && "$wine" ./bench_driver.exe "$@" </dev/null >"$work/driver.out" 2>&1) ||
      { echo "benchmark: bench_driver $1 failed:" >&2; cat "$work/driver.out" >&2; return 1; }
    sed -i 's/\r$//' "$work/driver.out"
  }
  # A copy started from the work folder, for its Unix process id: $started.
  start_copy() {
    (cd "$work" && exec "$wine" "./$1" </dev/null >/dev/null 2>&1) &
    started=$!
    started_pids+=("$started")
  }
  stop_copy() {  # pid title
    drive close "$2" >/dev/null 2>&1 || true
    local waited=0 kept=() p
    while kill -0 "$1" 2>/dev/null && [ "$waited" -lt 100 ]; do sleep 0.1; waited=$((waited + 1)); done
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
    for p in "${started_pids[@]}"; do [ "$p" = "$1" ] || kept+=("$p"); done
    started_pids=("${kept[@]}")
  }

  note load_at_start "$(cut -d' ' -f1 /proc/loadavg)"
  note niceness "$(nice)"
  cp "$program" "$work/Varnok Shutdown Manager.exe"
  cp "$minimal" "$build/benchmark/minimal_controls.exe" "$build/benchmark/bench_driver.exe" "$work/"
  # The program starts the system folder's shutdown.exe: in this prefix, the fake. The driver
  # arms the program only while that is the same file as the one beside it.
  cp "$build/tests/bin/shutdown.exe" "$work/shutdown.exe"
  cp "$work/shutdown.exe" "$WINEPREFIX/drive_c/windows/system32/shutdown.exe"
  local log="$work/fake-shutdown.log"
  : >"$log"
  export VARNOK_FAKE_SHUTDOWN_LOG="Z:${log//\//\\}"

  # The session's wineserver: the one whose environment names our prefix and our own display
  # (with-wine.sh starts it with both exported). None or several: not counted, not guessed.
  local wineserver_pid="" candidates=() dir exe
  for dir in /proc/[0-9]*; do
    exe=$(readlink "$dir/exe" 2>/dev/null) || continue
    case "$exe" in */wineserver*) ;; *) continue ;; esac
    if [ "$(tr '\0' '\n' <"$dir/environ" 2>/dev/null |
            grep -cxF -e "WINEPREFIX=$WINEPREFIX" -e "DISPLAY=$DISPLAY" || true)" -eq 2 ]; then
      candidates+=("${dir#/proc/}")
    fi
  done
  [ "${#candidates[@]}" -eq 1 ] && wineserver_pid=${candidates[0]}
  note wineserver_pid "${wineserver_pid:-none}"
  echo "benchmark: wineserver of this session: ${wineserver_pid:-not identified (${#candidates[@]} candidates)}" >&2

  # Start-up: the driver times the floor's and the program's starts in turns, a pair a round.
  local pairs=0 batch=$startup_first
  : >"$out/startup"
  while :; do
    echo "benchmark: start-up, $batch pairs$([ "$pairs" -eq 0 ] || echo " more")" >&2
    drive startup minimal_controls.exe "Varnok Shutdown Manager.exe" "$batch"
    awk '$1 == "pair" { print $2, $3 }' "$work/driver.out" >>"$out/startup"
    awk '$1 == "children" { print $2, $3 }' "$work/driver.out" >>"$out/children"
    pairs=$((pairs + batch)) batch=$startup_more
    [[ "$(summary <"$out/startup" | verdict "$startup_target")" == unsettled* ]] && [ "$pairs" -lt "$startup_most" ] || break
  done

  # Peak resident memory after about a second: pairs of starts, the minimal window's first.
  echo "benchmark: peak memory, $memory_runs pairs of starts" >&2
  peak_memory() {  # exe title; sets $peak_kb
    start_copy "$1"
    drive wait "$2"
    sleep 1
    peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$started/status")
    stop_copy "$started" "$2"
  }
  local peak_kb minimal_kb
  for _ in $(seq "$memory_runs"); do
    peak_memory minimal_window.exe "$minimal_title"
    minimal_kb=$peak_kb
    peak_memory "Varnok Shutdown Manager.exe" "$program_title"
    echo "$peak_kb $minimal_kb" >>"$out/memory"
  done

  # Armed CPU: the program and the minimal window stay up; each round arms one side, measures
  # it, disarms it, then does the same for the other, the order reversed every other round, so
  # that only one side ticks at a time and each arming gives the three timers' due times a
  # fresh chance to fall together or apart, which under Wine decides much of what they cost.
  # A side's CPU is its process's and the wineserver's, which does much of the work of
  # delivering timer messages, from the scheduler's nanoseconds of all their threads.
  cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ t += $1 } END { printf "%.0f", t }'; }
  measure() {  # pid; percent of a core, the process's and the wineserver's
    local t0 p0 w0=0 t1 p1 w1=0
    t0=$(date +%s%N) p0=$(cpu_ns "$1")
    [ -z "$wineserver_pid" ] || w0=$(cpu_ns "$wineserver_pid")
    sleep "$cpu_seconds"
    p1=$(cpu_ns "$1")
    [ -z "$wineserver_pid" ] || w1=$(cpu_ns "$wineserver_pid")
    t1=$(date +%s%N)
    awk -v p=$((p1 - p0)) -v w=$((w1 - w0)) -v n=$((t1 - t0)) 'BEGIN { printf "%.3f %.3f", 100 * p / n, 100 * w / n }'
  }
  armed_round() {
    drive arm "$program_title"
    sleep "$cpu_settle_seconds"
    armed=$(measure "$program_pid")
    drive disarm "$program_title"
  }
  bare_round() {
    drive arm-bare "$minimal_title"
    sleep "$cpu_settle_seconds"
    bare=$(measure "$minimal_pid")
    drive disarm-bare "$minimal_title"
  }
  local program_pid minimal_pid armed bare round=0
  batch=$cpu_first
  start_copy "Varnok Shutdown Manager.exe"
  program_pid=$started
  drive wait "$program_title"
  start_copy minimal_window.exe
  minimal_pid=$started
  drive wait "$minimal_title"
  sleep 1
  echo "benchmark: CPU, $batch rounds of ${cpu_seconds} s armed and ${cpu_seconds} s of bare timers" >&2
  : >"$out/cpu"
  while :; do
    for _ in $(seq "$batch"); do
      round=$((round + 1))
      if [ $((round % 2)) -eq 1 ]; then armed_round; bare_round; else bare_round; armed_round; fi
      echo "$armed $bare" >>"$out/cpu"
    done
    batch=$cpu_more
    [[ "$(awk '{ print $1 + $2, $3 + $4 }' "$out/cpu" | summary | verdict "$cpu_target")" == unsettled* ]] &&
      [ "$round" -lt "$cpu_most" ] || break
    echo "benchmark: CPU unsettled after $round rounds, $batch more" >&2
  done
  stop_copy "$program_pid" "$program_title"
  stop_copy "$minimal_pid" "$minimal_title"
  # Armed on a time that never comes, nothing may have been started.
  note starts_while_armed "$(wc -l <"$log")"
  note load_at_end "$(cut -d' ' -f1 /proc/loadavg)"
}

if [ "${1:-}" = --under-wine ]; then
  under_wine "$2"
  exit
fi

# --------------------------------------------------------------------------------------------
# Outside: build, the Wine part, a second build of each, the table.
# --------------------------------------------------------------------------------------------
build_log=$(mktemp /tmp/varnok-benchmark-build.XXXXXX)
trap 'rm -f "$build_log"' EXIT
# Quiet unless it fails; then the whole output says why.
quietly() { "$@" >"$build_log" 2>&1 || { cat "$build_log" >&2; echo "benchmark: failed: $*" >&2; exit 1; }; }

echo "benchmark: building the windows preset" >&2
quietly cmake --preset windows
quietly cmake --build --preset windows
echo "benchmark: building the windows-clang preset's program" >&2
quietly cmake --preset windows-clang
quietly cmake --build --preset windows-clang --target varnok_shutdown_manager

# What the Wine part measured stays in build/benchmark-data, one file per measure.
data="$root/build/benchmark-data"
rm -rf "$data"
mkdir -p "$data"
# A Wine prefix of the benchmark's own: with-wine.sh ends any server already running for its
# prefix, so sharing the tests' prefix would kill (and be killed by) their sessions. The first
# run creates it (about 8 s, 700 MB).
# The session (Xvfb, wineserver, every Wine process) runs at the highest priority this user may
# give it, so that a build beside it gets the processor only while the session does not want
# it, rather than making each start wait behind its compilers.
priority=(nice -n -20)
if [ "$("${priority[@]}" nice 2>/dev/null)" -ge "$(nice)" ]; then priority=(); fi
echo "benchmark: measuring under Wine (own Xvfb, prefix and wineserver, niceness $("${priority[@]}" nice))" >&2
mkdir -p build/benchmark-wine
"${priority[@]}" cmake/with-wine.sh build/benchmark-wine --own-display -- "$here/benchmark.sh" --under-wine "$data"

reproduce() {  # build directory, toolchain file, the preset's program; identical or differs
  echo "benchmark: second build directory $1" >&2
  quietly cmake -S . -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$2" -DCMAKE_BUILD_TYPE=MinSizeRel --no-warn-unused-cli
  quietly cmake --build "$1" --target varnok_shutdown_manager --clean-first
  if cmp -s "$3" "$1/bin/Varnok Shutdown Manager.exe"; then repro=identical; else repro=differs; fi
}
reproduce build/repro cmake/toolchain-mingw64.cmake "$program"
repro_gcc=$repro
reproduce build/repro-clang cmake/toolchain-clang-mingw64.cmake "$clang_program"
repro_clang=$repro

value() { awk -F= -v k="$1" '$1 == k { sub(/^[^=]*=/, ""); print }' "$data/notes"; }
imports_of() {
  x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ { sub(/\.[dD][lL][lL]$/, "", $3); print $3 }' |
    sort -f | paste -sd ' '
}
size_of() { stat -c %s "$1" | awk '{ printf "%d B (%.1f KB)", $1, $1 / 1024 }'; }
within() { if awk "BEGIN { exit !($1) }"; then echo pass; else echo miss; fi; }
read -ra startup < <(summary <"$data/startup")
read -ra memory < <(summary <"$data/memory")
read -ra cpu < <(awk '{ print $1 + $2, $3 + $4 }' "$data/cpu" | summary)
read -ra cpu_process < <(awk '{ print $1, $3 }' "$data/cpu" | summary)
if [ "$(value wineserver_pid)" = none ]; then
  cpu_verdict="unknown (wineserver not identified)"
else
  cpu_verdict=$(awk '{ print $1 + $2, $3 + $4 }' "$data/cpu" | summary | verdict "$cpu_target")
fi
memory_ratio=$(printf '%.2f' "${memory[6]}")
floor_same=$(awk '$2 != "same" { differ = 1 } END { print (NR && !differ ? "yes" : "no") }' "$data/children")

table=$(
  row() { printf '%-34s | %-36s | %-24s | %-17s | %s\n' "$@"; }
  line=$(printf '%0.s-' $(seq 40))
  echo "Varnok Shutdown Manager benchmark, $(date '+%Y-%m-%d %H:%M:%S'), $(/usr/lib/wine/wine64 --version 2>/dev/null || echo wine), $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg) (compared measures: from $(value load_at_start) to $(value load_at_end), niceness $(value niceness))"
  row "Measure" "Program" "Minimal window" "Target" "Verdict"
  row "${line:0:34}" "${line:0:36}" "${line:0:24}" "${line:0:17}" "${line:0:12}"
  row "Executable size" "$(size_of "$program")" "$(size_of "$minimal")" "program <= 256 KB" \
      "$(within "$(stat -c %s "$program") <= 256 * 1024")"
  row "  Clang/LLD build" "$(size_of "$clang_program")" "-" "program <= 256 KB" \
      "$(within "$(stat -c %s "$clang_program") <= 256 * 1024")"
  row "Imported DLLs" "$(imports_of "$program")" "$(imports_of "$minimal")" "-" "info"
  row "  Clang/LLD build" "$(imports_of "$clang_program")" "-" "-" "info"
  row "Start-up to visible, ${startup[0]} pairs" "median $(printf '%.1f' "${startup[7]}") ms" \
      "median $(printf '%.1f' "${startup[8]}") ms (controls)" "interval <= $startup_target" \
      "$(summary <"$data/startup" | verdict "$startup_target")"
  row "  floor's child windows" "$(tail -n 1 "$data/children" | cut -d' ' -f1) children" \
      "same as the program's: $floor_same" "the same" "$([ "$floor_same" = yes ] && echo pass || echo miss)"
  row "Peak memory (VmHWM) after 1 s" "$(printf '%.0f' "${memory[7]}") KB" "$(printf '%.0f' "${memory[8]}") KB" \
      "ratio <= $memory_target" \
      "$(within "$memory_ratio <= $memory_target") ($memory_ratio, pairs $(printf '%.2f-%.2f' "${memory[4]}" "${memory[5]}"))"
  row "CPU armed x3 + wineserver, ${cpu[0]} pairs" \
      "$(awk -v t="${cpu[9]}" -v p="${cpu_process[9]}" 'BEGIN { printf "%.2f %% (%.2f + %.2f)", t, p, t - p }')" \
      "$(printf '%.2f' "${cpu[10]}") % (3 bare 1 ms timers)" "interval <= $cpu_target" "$cpu_verdict"
  row "Starts while armed on 99:99:99" "$(value starts_while_armed)" "-" "0" "$(within "$(value starts_while_armed) == 0")"
  row "Reproducible build" "$repro_gcc" "-" "identical" "$([ "$repro_gcc" = identical ] && echo pass || echo miss)"
  row "  Clang/LLD build" "$repro_clang" "-" "identical" "$([ "$repro_clang" = identical ] && echo pass || echo miss)"
  echo
  echo "Start-up and armed CPU: the geometric mean of the pairs' ratios (program run i / floor's run i, in turns) with a bootstrap 95 % interval, judged by the interval: pass within the target, miss beyond it, unsettled across it (start-up $startup_first pairs, then $startup_more more at a time up to $startup_most while unsettled; CPU $cpu_first rounds of ${cpu_seconds} s a side, then $cpu_more more up to $cpu_most); memory, the median of $memory_runs pairs' ratios; then the lowest-highest pair"
  echo "Floors: start-up, the minimal window with the program's child windows, blank (controls); memory and CPU, the empty minimal window. Columns: medians, but the CPU's means (process + wineserver). Raw pairs: build/benchmark-data"
)
echo "$table"
echo "$table" >build/benchmark.txt
