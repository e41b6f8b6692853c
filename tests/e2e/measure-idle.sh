#!/usr/bin/env bash
# The idle cost of Tandrel.exe under Wine on this machine (not a test: nothing is asserted): the
# CPU time of Tandrel.exe and of its wine server over an idle minute, and how often Tandrel's
# threads were switched in (its wake-ups), once with the default settings (the quick paste chord is
# on, so the keys are watched); once more so, with the key bridge running and shortcuts and letters
# typed in a native X11 window twice a second; once with the ListPaste setting on; once with it
# switched off in the options at run time while typing; and once with every shortcut on (ListPaste,
# TopList, ReverseCase, QuickPaste) and the key bridge running, nothing typed: watching the keys
# must cost nothing while idle.
#   tests/e2e/measure-idle.sh [shortcuts]   (after scripts/build-windows.sh; "shortcuts": only the
#                                            last case; the bridge runs need build/tandrel-keys,
#                                            from scripts/build-keybridge.sh)
#   BUILD_DIR=...  another build's Tandrel.exe and tdhelper.exe;  IDLE_SECONDS=n  (default 60)
#   KEYS_BRIDGE=...  another tandrel-keys
set -uo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$REPO/scripts/windows-arch.sh"
use_runnable_windows_build "$REPO"
export KEYS_BRIDGE=${KEYS_BRIDGE:-$REPO/build/tandrel-keys}
IDLE_SECONDS=${IDLE_SECONDS:-60}

source "$REPO/tests/e2e/lib.sh"
on_virtual_display || rerun_on_virtual_display "$0" "$@"
standalone_test_dir "$BUILD_DIR/e2e/measure-idle"

boot_prefix
first_start
end_session

hz=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# Context switches of every thread of a process.
switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { n += $2 } END { print n + 0 }'
}
# The wine server of this prefix (other prefixes may have theirs running).
own_wineserver() {
    local pid
    for pid in $(pgrep wineserver); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
    done
}
seconds() { awk -v t="$1" -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }'; }

# The keys a person types into a native window: Ctrl+Alt+V, Ctrl+V, a letter, each held a moment.
type_keys() {
    while :; do
        xdotool keydown ctrl keydown alt keydown v; sleep 0.1; xdotool keyup v keyup alt
        xdotool keydown v; sleep 0.1; xdotool keyup v keyup ctrl
        xdotool key t; sleep 0.3
    done
}

TYPING_PID=""
BRIDGE_PID=""
FOCUS_PID=""
stop_helpers() {
    local pid
    for pid in "$TYPING_PID" "$BRIDGE_PID" "$FOCUS_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    TYPING_PID="" BRIDGE_PID="" FOCUS_PID=""
    xdotool keyup v keyup alt keyup ctrl 2>/dev/null
    return 0
}
trap stop_helpers EXIT

# With "typing": the bridge started as scripts/run.sh starts it, and keys typed all along; with
# "bridge": the bridge started, nothing typed; with "options-off" as well, the ListPaste setting is
# switched off in the options dialog first.
measure_idle() {
    local label=$1 typing=${2:-} options=${3:-}
    if [ -n "$typing" ]; then
        source "$REPO/scripts/key-channel.sh"
        make_key_channel "$TEST_DIR/keys.channel" || { echo "$label: no free UDP port"; return; }
        export TANDREL_KEYS_FILE=$TEST_DIR/keys.channel
        "$KEYS_BRIDGE" >"$TEST_DIR/bridge.out" 2>&1 &
        BRIDGE_PID=$!
    fi
    start_tandrel
    wait_main_window
    wait_watching
    if [ "$options" = options-off ]; then
        td send "$MAIN_TITLE" 0x111 1001 0 >/dev/null
        td waitwindow "Tandrel Options" 10 visible exact >/dev/null || echo "(the options dialog did not open)"
        td tick "Tandrel Options" "Enable Ctl/Alt/V List Paste Shortcut" >/dev/null
        td click "Tandrel Options" OK >/dev/null
        td waitgone "Tandrel Options" 10 || echo "(the options dialog did not close)"
    fi
    if [ "$typing" = typing ]; then
        xmessage -title "Focus Window" "keys typed here" >/dev/null 2>&1 &
        FOCUS_PID=$!
        xdotool search --sync --name "^Focus Window\$" windowfocus --sync >/dev/null 2>&1 ||
            echo "(could not focus a native window)"
        type_keys &
        TYPING_PID=$!
    fi
    sleep 5
    local server before server_before switched
    server=$(own_wineserver)
    before=$(ticks "$TANDREL_PID")
    switched=$(switches "$TANDREL_PID")
    server_before=$([ -n "$server" ] && ticks "$server" || echo 0)
    local bridge_before=$([ -n "$BRIDGE_PID" ] && ticks "$BRIDGE_PID" || echo 0)
    sleep "$IDLE_SECONDS"
    local after server_after switched_after
    after=$(ticks "$TANDREL_PID")
    switched_after=$(switches "$TANDREL_PID")
    server_after=$([ -n "$server" ] && ticks "$server" || echo 0)
    echo "$label, CPU over $IDLE_SECONDS idle seconds: Tandrel.exe $(seconds $((after - before))) s," \
         "wineserver $(seconds $((server_after - server_before))) s;" \
         "Tandrel.exe wake-ups $(( (switched_after - switched) / IDLE_SECONDS )) per second"
    if [ -n "$typing" ]; then
        echo "  the key bridge over the same time: $(seconds $(( $(ticks "$BRIDGE_PID") - bridge_before ))) s"
        stop_helpers
        unset TANDREL_KEYS_FILE
    fi
    end_session
}

bridge=0
[ -x "$KEYS_BRIDGE" ] && bridge=1 || echo "(no key bridge at $KEYS_BRIDGE: scripts/build-keybridge.sh builds it)"
ini="$(data_dir)/tandrel.ini"
if [ "${1:-}" = shortcuts ]; then
    printf 'Version = 2.8\r\nListPaste = Y\r\nTopList = Y\r\nReverseCase = Y\r\nQuickPaste = Y\r\n' >"$ini"
    [ $bridge = 1 ] && measure_idle "every shortcut on, the key bridge running, nothing typed" bridge
    exit 0
fi
measure_idle "default settings"
[ $bridge = 1 ] && measure_idle "default settings, the key bridge running, keys typed in a native window" typing
sed -i 's/^ListPaste = N/ListPaste = Y/' "$ini"
grep -q '^ListPaste = Y' "$ini" || echo "(could not switch ListPaste on)"
measure_idle "ListPaste on"
[ $bridge = 1 ] && measure_idle "ListPaste switched off in the options at run time, the key bridge running, keys typed" \
    typing options-off
grep -q '^ListPaste = N' "$ini" || echo "(the options dialog did not switch ListPaste off)"
sed -i 's/^\(TopList\|ReverseCase\|QuickPaste\) = .*/\1 = Y/' "$ini"
for key in TopList ReverseCase QuickPaste; do grep -q "^$key = " "$ini" || printf '%s = Y\r\n' "$key" >>"$ini"; done
sed -i 's/^ListPaste = N/ListPaste = Y/' "$ini"
[ $bridge = 1 ] && measure_idle "every shortcut on, the key bridge running, nothing typed" bridge
