#!/usr/bin/env bash
# Builds Tandrel.exe and starts it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual X display (Xvfb). The Wine prefix is ~/.wine-tandrel
# unless WINEPREFIX says otherwise; it is made on first use.
# Beside it runs the key bridge tandrel-keys (built with the native
# configuration into build/), so that the shortcuts see keys typed into
# programs outside Wine; it ends when Tandrel ends. Without it Tandrel runs as
# before and sees only the keys typed into Wine's windows.
#   scripts/run.sh [--no-build]
# On Windows no script is needed: copy build-win32/Tandrel.exe anywhere and start it.
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$REPO/scripts/windows-arch.sh"
use_runnable_windows_build "$REPO"
NATIVE_BUILD_DIR=${NATIVE_BUILD_DIR:-$REPO/build}
export NATIVE_BUILD_DIR
KEYS_BRIDGE=$NATIVE_BUILD_DIR/tandrel-keys

log() { printf '[run] %s\n' "$*"; }

if [ "${1:-}" != "--no-build" ] && [ -z "${TANDREL_RUN_INNER:-}" ]; then
    bash "$REPO/scripts/build-windows.sh"
    bash "$REPO/scripts/build-keybridge.sh" >/dev/null ||
        log "the key bridge did not build: the shortcuts will see only keys typed into Wine's windows"
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

# The bridge and Tandrel.exe share a port and a token through a file only this user can read;
# Wine passes TANDREL_KEYS_FILE on to Tandrel.exe.
BRIDGE_PID=""
CHANNEL=""
stop_bridge() {
    [ -n "$BRIDGE_PID" ] && kill "$BRIDGE_PID" 2>/dev/null && wait "$BRIDGE_PID" 2>/dev/null
    [ -n "$CHANNEL" ] && rm -f "$CHANNEL"
    return 0
}
trap stop_bridge EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP
if [ -x "$KEYS_BRIDGE" ]; then
    [ "${XDG_SESSION_TYPE:-}" = wayland ] &&
        log "a Wayland session: the key bridge sees only keys typed into X11 programs"
    source "$REPO/scripts/key-channel.sh"
    CHANNEL=$(mktemp "${XDG_RUNTIME_DIR:-${TMPDIR:-/tmp}}/tandrel-keys.XXXXXX")
    if make_key_channel "$CHANNEL"; then
        export TANDREL_KEYS_FILE=$CHANNEL
        "$KEYS_BRIDGE" &
        BRIDGE_PID=$!
    else
        log "no free UDP port for the key bridge: running without it"
    fi
else
    log "no key bridge ($KEYS_BRIDGE): the shortcuts see only keys typed into Wine's windows"
fi

log "starting Tandrel.exe"
status=0
wine "$BUILD_DIR/Tandrel.exe" || status=$?
exit "$status"
