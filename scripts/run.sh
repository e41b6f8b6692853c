#!/usr/bin/env bash
# Builds Tandrel.exe and starts it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual X display (Xvfb). The Wine prefix is ~/.wine-tandrel
# unless WINEPREFIX says otherwise; it is made on first use.
#   scripts/run.sh [--no-build]
# On Windows no script is needed: copy build-win32/Tandrel.exe anywhere and start it.
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$REPO/build-win32}

log() { printf '[run] %s\n' "$*"; }

if [ "${1:-}" != "--no-build" ] && [ -z "${TANDREL_RUN_INNER:-}" ]; then
    bash "$REPO/scripts/build-windows.sh"
fi

if [ -z "${DISPLAY:-}" ]; then
    log "no DISPLAY: running on a virtual display (Xvfb)"
    export TANDREL_RUN_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --no-build
fi

export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-tandrel}
# No Mono or Gecko installer prompt: Tandrel needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    wineboot -i
    wineserver -w
fi
for data in "$WINEPREFIX"/drive_c/users/*/AppData/Roaming "$WINEPREFIX"/drive_c/users/*/"Application Data"; do
    case $data in */Public/*) continue ;; esac
    [ -d "$data" ] && log "data folder: $data/Korvane/Tandrel/"
done
log "starting Tandrel.exe"
exec wine "$BUILD_DIR/Tandrel.exe"
