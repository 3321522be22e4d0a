#!/usr/bin/env bash
# Inside a Wine session on a virtual display: starts the program, waits for its window to be
# filled, saves the window as a PNG and ends the program.
#   cmake/screenshot.sh PROGRAM.exe OUTPUT.png
set -euo pipefail
program=$1
output=$2
title='Varnok Shutdon Manager'

/usr/lib/wine/wine64 "$program" </dev/null >/dev/null 2>&1 &
program_pid=$!
trap 'kill "$program_pid" 2>/dev/null || true' EXIT

window=
for _ in $(seq 200); do
  window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" | awk '{print $1}' | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.05
done
[ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
sleep 1  # the boxes are filled on the first timer tick; let the window paint
import -display "$DISPLAY" -window "$window" "png:$output"
echo "The program ran on a virtual display; a screenshot of its window is at $output"
