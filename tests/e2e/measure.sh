#!/usr/bin/env bash
# The figures of Tandrel.exe under Wine on this machine (not a test: nothing is
# asserted): time from start to the shown main window with an empty database and
# with 100,000 clips, and the CPU time used over 60 idle seconds.
#   tests/e2e/measure.sh        (after scripts/build-windows.sh)
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
export TEST_DIR=$BUILD_DIR/e2e/measure
rm -rf "$TEST_DIR"
mkdir -p "$TEST_DIR"
export WINEPREFIX=$TEST_DIR/prefix
source "$REPO/tests/e2e/lib.sh"

wineboot -i >/dev/null 2>&1
wineserver -w
undecorated_windows
first_start
end_session

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Seconds from launching Tandrel.exe until its main window is shown; leaves it running.
time_start() {
    td waitwindow "$MAIN_TITLE" 300 visible >/dev/null &
    local waiter=$!
    sleep 2   # the waiter's own Wine start is not part of the figure
    local t0
    t0=$(date +%s.%N)
    start_tandrel
    wait "$waiter"
    awk -v a="$(date +%s.%N)" -v b="$t0" 'BEGIN { printf "%.2f", a - b }'
}

measure_start() {
    local label=$1 runs=3 times=()
    for _ in $(seq $runs); do
        times+=("$(time_start)")
        end_session
    done
    echo "start to shown main window, $label: ${times[*]} s"
}

db "delete from cTbl"
measure_start "empty database"

start_tandrel
wait_main_window
sleep 5
server=$(pgrep -n wineserver || true)   # wineserver32 or wineserver64
before=$(ticks "$TANDREL_PID")
server_before=$([ -n "$server" ] && ticks "$server" || echo 0)
sleep "$IDLE_SECONDS"
after=$(ticks "$TANDREL_PID")
server_after=$([ -n "$server" ] && ticks "$server" || echo 0)
hz=$(getconf CLK_TCK)
seconds() { awk -v t="$1" -v hz="$hz" 'BEGIN { printf "%.2f", t / hz }'; }
echo "CPU over $IDLE_SECONDS idle seconds: Tandrel.exe $(seconds $((after - before))) s," \
     "wineserver $(seconds $((server_after - server_before))) s" \
     "(process $(tr '\0' ' ' < "/proc/$TANDREL_PID/cmdline"))"
end_session

db "with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000)
    insert into cTbl (cDate,cSet,cRTFsw,cHTMLsw,cImageSW,cSource,cNote,cText,cRTF,cHTML)
    select '2024-01-02  03:04:05','td_clips','N','N','N','Measure Source',' ',
           'Measured clip number ' || i || ' with some text to make it an ordinary length.',' ',' ' from n"
echo "clips in the database: $(db "select count(*) from cTbl")"
measure_start "100,000 clips"
