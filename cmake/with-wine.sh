#!/usr/bin/env bash
# Runs a command inside a Wine session of its own: an Xvfb display when asked for (or when no
# display is set), the build tree's Wine prefix, and a wineserver whose helper processes hold
# no pipe of the caller. Everything it starts is stopped by process id when the command ends.
#
#   cmake/with-wine.sh BUILD_DIR [--own-display] [--managed] [--keep-desktop EXE] -- COMMAND [ARGS...]
#
# --managed lets a window manager frame Wine's windows (for a person at a real display);
# without it Wine draws the frames itself, which avoids a 2 s stall per window without one.
# --keep-desktop runs EXE (the build's desktop_keeper.exe) for the whole session, so that the
# desktop stays open between one short-lived program and the next (see that program).
set -euo pipefail

build_dir=$(cd "$1" && pwd)
shift
own_display=no
managed=N
keeper=
while [ $# -gt 0 ]; do
  case "$1" in
    --own-display) own_display=yes ;;
    --managed) managed=Y ;;
    --keep-desktop) shift; keeper=${1:-} ;;
    --) shift; break ;;
    *) echo "with-wine: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
[ $# -gt 0 ] || { echo "with-wine: no command given" >&2; exit 2; }

export WINEPREFIX="$build_dir/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d;shutdown.exe=n}"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

xvfb_pid=
keeper_pid=
cleanup() {
  if [ -n "$keeper_pid" ]; then kill "$keeper_pid" 2>/dev/null || true; fi
  "$wineserver" -k >/dev/null 2>&1 || true
  "$wineserver" -w >/dev/null 2>&1 || true
  if [ -n "$keeper_pid" ]; then wait "$keeper_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "$own_display" = yes ] || [ -z "${DISPLAY:-}" ]; then
  for number in $(seq 90 199); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$number" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$number" ]; then
      export DISPLAY=":$number"
      break
    fi
    xvfb_pid=
  done
  [ -n "$xvfb_pid" ] || { echo "with-wine: could not start Xvfb" >&2; exit 1; }
fi

# A server left over from an earlier, interrupted run of this prefix is ended first.
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -w >/dev/null 2>&1 || true

# The session's server and helpers (services, explorer) start here, with no pipe of ours to
# hold open: a test runner reading a Wine program's output would otherwise wait for them.
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with-wine: creating the Wine prefix $WINEPREFIX (once)" >&2
  "$wineserver" -p </dev/null >/dev/null 2>&1
  "$wine" wineboot --init </dev/null >/dev/null 2>&1
  # The session that created a prefix never settles: from about 30 s on, its services and
  # device manager restart every few seconds and every window takes 15-20 s to come up. A new
  # session on the finished prefix does not, so this one ends here.
  "$wineserver" -k >/dev/null 2>&1 || true
  "$wineserver" -w >/dev/null 2>&1 || true
fi

# Wine's own fonts (MS Sans Serif, Tahoma, Marlett for the title bar's buttons...). Debian's
# 64-bit Wine does not put them into a prefix it creates, nor looks for them elsewhere; without
# them every face falls back to a wider one. Prefixes made before this step get them too.
fonts_dir="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts_dir" ]; then
  for font in /usr/share/wine/fonts/*; do
    [ -e "$fonts_dir/${font##*/}" ] || cp "$font" "$fonts_dir/"
  done
fi

"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine" wineboot </dev/null >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f </dev/null >/dev/null 2>&1
# The regional formats are the locale's own, whatever an interrupted test may have left.
"$wine" reg delete 'HKCU\Control Panel\International' /v sTimeFormat /f </dev/null >/dev/null 2>&1 || true

# About one process start in a thousand fails under Wine with ERROR_INTERNAL_ERROR when the
# address space layout is randomised (its loader cannot always reserve what it needs); without
# randomisation not one in eleven thousand did. Every process of the command inherits this.
no_randomisation=()
setarch "$(uname -m)" -R true 2>/dev/null && no_randomisation=(setarch "$(uname -m)" -R)

if [ -n "$keeper" ]; then
  [ -f "$keeper" ] || { echo "with-wine: no desktop keeper at $keeper" >&2; exit 1; }
  "${no_randomisation[@]}" "$wine" "$keeper" </dev/null >/dev/null 2>&1 &
  keeper_pid=$!
fi

set +e
"${no_randomisation[@]}" "$@"
status=$?
set -e
exit "$status"
