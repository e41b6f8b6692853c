#!/usr/bin/env bash
# The idle cost of Tandrel.exe under Wine on this machine (not a test: nothing is asserted): the
# CPU time of Tandrel.exe and of its wine server over an idle minute, and how often Tandrel's
# threads were switched in (its wake-ups), once with the default settings, when no shortcut can
# fire, and once with the ListPaste setting on, when the shortcuts are polled.
#   tests/e2e/measure-idle.sh        (after scripts/build-windows.sh)
#   BUILD_DIR=...  another build's Tandrel.exe and tdhelper.exe;  IDLE_SECONDS=n  (default 60)
set -uo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$REPO/build-win32}
IDLE_SECONDS=${IDLE_SECONDS:-60}

if [ -z "${TANDREL_E2E_INNER:-}" ]; then
    export TANDREL_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export TEST_DIR=$BUILD_DIR/e2e/measure-idle
rm -rf "$TEST_DIR"
mkdir -p "$TEST_DIR"
export WINEPREFIX=$TEST_DIR/prefix
source "$REPO/tests/e2e/lib.sh"

wineboot -i >/dev/null 2>&1
wineserver -w
undecorated_windows
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

measure_idle() {
    local label=$1
    start_tandrel
    wait_main_window
    wait_watching
    sleep 5
    local server before server_before switched
    server=$(own_wineserver)
    before=$(ticks "$TANDREL_PID")
    switched=$(switches "$TANDREL_PID")
    server_before=$([ -n "$server" ] && ticks "$server" || echo 0)
    sleep "$IDLE_SECONDS"
    local after server_after switched_after
    after=$(ticks "$TANDREL_PID")
    switched_after=$(switches "$TANDREL_PID")
    server_after=$([ -n "$server" ] && ticks "$server" || echo 0)
    echo "$label, CPU over $IDLE_SECONDS idle seconds: Tandrel.exe $(seconds $((after - before))) s," \
         "wineserver $(seconds $((server_after - server_before))) s;" \
         "Tandrel.exe wake-ups $(( (switched_after - switched) / IDLE_SECONDS )) per second"
    end_session
}

measure_idle "default settings"
ini="$(data_dir)/tandrel.ini"
sed -i 's/^ListPaste = N/ListPaste = Y/' "$ini"
grep -q '^ListPaste = Y' "$ini" || echo "(could not switch ListPaste on)"
measure_idle "ListPaste on"
