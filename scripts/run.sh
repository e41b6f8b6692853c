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

if [ "${1:-}" != "--no-build" ]; then
    bash "$REPO/scripts/build-windows.sh"
fi

export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-tandrel}
# No Mono or Gecko installer prompt: Tandrel needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}

run_wine() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix $WINEPREFIX"
        wineboot -i
        wineserver -w
    fi
    data=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | grep -v /Public/ | head -n1 || true)
    [ -n "$data" ] && log "data folder: $data/Korvane/Tandrel/"
    log "starting Tandrel.exe"
    wine "$BUILD_DIR/Tandrel.exe"
}

if [ -n "${DISPLAY:-}" ]; then
    run_wine
else
    log "no DISPLAY: running on a virtual display (Xvfb)"
    export -f run_wine log
    export BUILD_DIR
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c run_wine
fi
