#!/usr/bin/env bash
# Builds the program and starts it (under Wine on Linux). Without an X display it starts a
# display of its own, saves a screenshot of the window as a PNG and says where.
set -euo pipefail
cd "$(dirname "$0")"

cmake/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target varnok_shutdown_manager
program="$PWD/build/windows/bin/Varnok Shutdown Manager.exe"

# Under Wine there is no power action to take; Wine's own shutdown.exe, in the system folder
# of a Wine prefix of this script's own (build/run/wineprefix), answers the buttons. The tests'
# prefix holds a fake there instead.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p build/run
if [ -n "${DISPLAY:-}" ]; then
  exec cmake/with-wine.sh build/run --managed -- /usr/lib/wine/wine64 "$program"
fi
exec cmake/with-wine.sh build/run -- cmake/screenshot.sh "$program" "$PWD/build/screenshot.png"
