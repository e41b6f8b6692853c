#!/usr/bin/env bash
# The figures of Tandrel.exe under Wine on this machine, printed as a table (not a test: nothing
# is asserted). Copies are made in X11 with xclip, as a Linux program would make them, and a clip
# counts once its row is in tdclips.db. Each figure is the median of $RUNS runs:
#   - bursts of 50 distinct copies 100, 50, 25 and 10 ms apart: clips stored, with the database of
#     a first start (1 clip) and with 100,000 clips (texts of 20 B to 4 KiB, about 2 KiB mean);
#   - single copies 250 ms apart: CPU time of Tandrel.exe (and of the wine server) per stored clip,
#     and the time from the copy to the stored row; and the CPU per clip of copies beyond the ANSI
#     code page;
#   - start to the shown main window with the wine server running and without, resident memory;
#   - CPU used over idle seconds;
#   - shutdown: from WM_QUERYENDSESSION to the process gone;
#   - the floor: tdfloor.exe, a viewer that only reads CF_TEXT, through the same bursts;
#   - the quick paste window over the 100,000 clips (part "quick"): the index's first build and its
#     size against the text it holds, Ctrl+Alt+H (through the key bridge) to the window mapped, and
#     each filter term to its first screenful of rows and their count, from DebugTiming's lines.
#
#   tests/e2e/measure.sh        (after scripts/build-windows.sh)
# RUNS (3), IDLE_SECONDS (30), PARTS ("fresh large floor quick") choose what runs. The 100,000-clip file
# is built once into TANDREL_MEASURE_DIR (~/.cache/tandrel-measure). Other programs on the machine
# skew every figure: the load averages at the start and the end are printed with the table.
set -uo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$REPO/scripts/windows-arch.sh"
use_runnable_windows_build "$REPO"
RUNS=${RUNS:-3}
IDLE_SECONDS=${IDLE_SECONDS:-30}
PARTS=${PARTS:-fresh large floor quick}
SPACINGS=(100 50 25 10)
BURST_COPIES=50
SINGLE_COPIES=40
SINGLE_SPACING_MS=250
CACHE=${TANDREL_MEASURE_DIR:-$HOME/.cache/tandrel-measure}

source "$REPO/tests/e2e/lib.sh"
if ! on_virtual_display; then
    require_built Tandrel.exe tdhelper.exe tdfloor.exe
    rerun_on_virtual_display "$0" "$@"
fi
# Apart from the end-to-end tests' folder, which their harness empties at every start.
standalone_test_dir "$BUILD_DIR/measure"
mkdir -p "$CACHE"

say() { printf '[measure] %s\n' "$*" >&2; }
load() { cut -d' ' -f1-3 /proc/loadavg; }
LOAD_AT_START=$(load)

# A sleep without a process start: a read that times out on a pipe nobody writes to.
exec {nap}<> <(:)
pause() { read -t "$1" -u "$nap" || :; }
now_us() { local t=${EPOCHREALTIME/./}; echo $((10#$t)); }
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
HZ=$(getconf CLK_TCK)
# The wine server of our prefix works in a folder named after the prefix's device and inode.
server_pid() {
    local dir pid
    dir=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
    for pid in $(pgrep wineserver); do
        [[ $(readlink "/proc/$pid/cwd" 2>/dev/null) == */"$dir" ]] && { echo "$pid"; return; }
    done
}

# --- results: one list of values per figure, medians at the end ----------------------------
declare -A RESULT
record() { RESULT[$1]="${RESULT[$1]:-}${RESULT[$1]:+ }$2"; say "$1 = $2"; }
median() {
    local values=($1)
    [ ${#values[@]} -gt 0 ] || { echo "-"; return; }
    printf '%s\n' "${values[@]}" | sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m }'
}
cell() {
    local values=${RESULT[$1]:-}
    [ -n "$values" ] || { echo "-"; return; }
    if [ "$(wc -w <<<"$values")" -gt 1 ]; then echo "$(median "$values") ($values)"; else echo "$values"; fi
}

# --- copies -----------------------------------------------------------------------------

# 50 distinct copies $2 ms apart on a fixed schedule, texts starting with tag $1.
burst() {
    local tag=$1 spacing=$2 i start target wait_us
    start=$(now_us)
    for ((i = 0; i < BURST_COPIES; i++)); do
        target=$((start + i * spacing * 1000))
        wait_us=$((target - $(now_us)))
        [ $wait_us -gt 0 ] && pause "$(printf '%d.%06d' $((wait_us / 1000000)) $((wait_us % 1000000)))"
        x11_copy "$tag copy $i of a burst $spacing ms apart, made in X11 by xclip"
    done
}

# Waits until a count stops growing for 3 s (at most 90 s) and prints it.
settled_count() {
    local count last=-1 still=0 waited=0
    while :; do
        count=$("$@")
        if [ "$count" = "$last" ]; then still=$((still + 1)); else still=0; fi
        last=$count
        [ $still -ge 6 ] || [ $waited -ge 180 ] && break
        pause 0.5
        waited=$((waited + 1))
    done
    echo "$count"
}

# --- Tandrel -------------------------------------------------------------------------------
dbfile() { echo "$(data_dir)/tdclips.db"; }
# The counts are read while Tandrel writes: wait for its lock rather than fail.
mdb() { sqlite3 -batch -noheader -cmd ".timeout 5000" "$(dbfile)" "$@"; }
stored_since() { mdb "select count(*) from cTbl where cKey > $1 and cText like '$2 %'"; }
last_key() { mdb "select coalesce(max(cKey), 0) from cTbl"; }

# Seconds from launching Tandrel.exe until X11 shows its main window (no Wine process of ours
# looks for it, so none starts the wine server first); leaves it running.
WINDOW_NAME=$'Tandrel\xe2\x84\xa2 Clipboard Assistant'
# What a start that never showed its window was doing: the end of its log and its threads' stacks
# (addresses in Tandrel.exe resolve with nm), kept for whoever looks into it.
record_hang() {
    local out
    out=$TEST_DIR/hang-$(date +%H%M%S).txt
    {
        echo "load: $(load)"
        tr -d '\r' <"$(data_dir)/tandrel.log" | tail -n 20
        command -v gdb >/dev/null && gdb -p "$TANDREL_PID" -batch -ex "thread apply all bt 40" 2>&1
    } >"$out"
    say "the start did not show its window; its log and stacks are in $out"
}
window_shown() { xwininfo -name "$WINDOW_NAME" 2>/dev/null | grep -q IsViewable; }
time_start() {
    local t0 t1 limit=$(( $(now_us) + 180000000 ))
    t0=$(now_us)
    start_tandrel
    until window_shown; do
        [ "$(now_us)" -lt $limit ] || { record "$1" timeout; record_hang; return; }
        pause 0.02
    done
    t1=$(now_us)
    record "$1" "$(awk -v d=$((t1 - t0)) 'BEGIN { printf "%.2f", d / 1e6 }')"
}

# Seconds from WM_QUERYENDSESSION to the process gone, as log-off ends it. The helper's own start
# and round trip are timed first with a message that changes nothing (WM_NULL) and taken off.
# (DebugTiming = Y in tandrel.ini logs the shutdown's own steps; the rest is the process's end.)
time_shutdown() {
    local t0 bare sender limit
    t0=$(now_us)
    td send "$MAIN_TITLE" 0 0 0 >/dev/null || { record "$1" failed; end_session; return; }
    bare=$(( $(now_us) - t0 ))
    t0=$(now_us)
    td send "$MAIN_TITLE" 0x11 0 0 >/dev/null &
    sender=$!
    limit=$((t0 + 60000000))
    while kill -0 "$TANDREL_PID" 2>/dev/null; do
        [ "$(now_us)" -lt $limit ] || { record "$1" timeout; wait "$sender"; fail "Tandrel.exe still runs after WM_QUERYENDSESSION"; }
        pause 0.005
    done
    record "$1" "$(awk -v d=$(( $(now_us) - t0 - bare )) 'BEGIN { printf "%.2f", d / 1e6 }')"
    wait "$sender" 2>/dev/null
}

stop_server() { wineserver -k >/dev/null 2>&1; wineserver -w; }
keep_server() { wineserver -p >/dev/null 2>&1; pause 1; }

# Puts a database in place of the data folder's one (Tandrel not running).
use_database() { cp "$1" "$(dbfile)"; rm -f "$(dbfile)-journal"; }

memory() {
    local rss hwm
    rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$TANDREL_PID/status")
    hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$TANDREL_PID/status")
    record "$1 rss" "$((rss / 1024))"
    record "$1 hwm" "$((hwm / 1024))"
}

# Bursts at each spacing into a running program; $2 counts what arrived since $3.
bursts() {
    local part=$1 counter=$2 run=$3 spacing tag base n
    for spacing in "${SPACINGS[@]}"; do
        tag="m$run-$part-$spacing-$RANDOM"
        base=$($counter base)
        burst "$tag" "$spacing"
        n=$(settled_count $counter "$base" "$tag")
        record "$part burst $spacing" "$n"
    done
}

tandrel_counter() { if [ "$1" = base ]; then last_key; else stored_since "$1" "$2"; fi; }

# Single copies: milliseconds from each copy to the file $2 changing; CPU per stored copy. With $5,
# the copies hold characters beyond the ANSI code page (Cyrillic, CJK, an emoji), and the figures
# are recorded under "$part $5 ...".
singles() {
    local part=$1 file=$2 counter=$3 pid=$4 tag="s$RANDOM" i t0 t1 limit base n server
    local words=""
    [ -n "${5:-}" ] && words=$(printf ' \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e \xf0\x9f\x98\x80,')
    [ -n "${5:-}" ] && part="$part $5"
    local ref=$TEST_DIR/changed.ref latencies=() before server_before
    server=$(server_pid)
    base=$($counter base)
    before=$(ticks "$pid")
    server_before=$([ -n "$server" ] && ticks "$server" || echo 0)
    for ((i = 0; i < SINGLE_COPIES; i++)); do
        touch -r "$file" "$ref"
        t0=$(now_us)
        limit=$((t0 + 2000000))
        x11_copy "$tag single copy $i,$words made in X11 by xclip"
        until [[ $file -nt $ref ]] || [ "$(now_us)" -gt $limit ]; do pause 0.0005; done
        t1=$(now_us)
        [[ $file -nt $ref ]] && latencies+=($(( (t1 - t0) / 100 )))
        local rest=$((SINGLE_SPACING_MS * 1000 - (t1 - t0)))
        [ $rest -gt 0 ] && pause "$(printf '%d.%06d' $((rest / 1000000)) $((rest % 1000000)))"
    done
    n=$(settled_count $counter "$base" "$tag")
    local used=$(( $(ticks "$pid") - before )) server_used=$(( $([ -n "$server" ] && ticks "$server" || echo 0) - server_before ))
    record "$part single stored" "$n"
    if [ "$n" -gt 0 ]; then
        record "$part cpu per capture" "$(awk -v t=$used -v n="$n" -v hz="$HZ" 'BEGIN { printf "%.1f", t * 1000 / hz / n }')"
        record "$part server cpu per capture" "$(awk -v t=$server_used -v n="$n" -v hz="$HZ" 'BEGIN { printf "%.1f", t * 1000 / hz / n }')"
    fi
    if [ ${#latencies[@]} -gt 0 ]; then
        record "$part latency" "$(median "${latencies[*]}" | awk '{ printf "%.1f", $1 / 10 }')"
    fi
}

idle_cpu() {
    local part=$1 pid=$2 before
    before=$(ticks "$pid")
    sleep "$IDLE_SECONDS"
    record "$part idle cpu" "$(awk -v t=$(( $(ticks "$pid") - before )) -v hz="$HZ" 'BEGIN { printf "%.2f", t / hz }')"
}

measure_tandrel() {
    local part=$1 database=$2 run
    for run in $(seq "$RUNS"); do
        say "$part, run $run of $RUNS (load $(load))"
        use_database "$database"
        stop_server
        time_start "$part start cold server"
        wait_watching 120
        end_session
        use_database "$database"
        keep_server
        time_start "$part start"
        wait_watching 120
        sleep 3
        memory "$part"
        bursts "$part" tandrel_counter "$run"
        watching || say "capture was switched off during the bursts"
        singles "$part" "$(dbfile)" tandrel_counter "$TANDREL_PID"
        singles "$part" "$(dbfile)" tandrel_counter "$TANDREL_PID" unicode
        [ "$run" = 1 ] && idle_cpu "$part" "$TANDREL_PID"
        end_x11_copies
        time_shutdown "$part shutdown"
    done
}

# --- the floor -----------------------------------------------------------------------------
FLOOR_OUT=$TEST_DIR/floor.txt
floor_counter() { if [ "$1" = base ]; then echo 0; else grep -c "^$2 " "$FLOOR_OUT"; fi; }
floor_watching() { td viewer | grep -q "Floor Viewer"; }

measure_floor() {
    local run floor_pid
    for run in $(seq "$RUNS"); do
        say "floor, run $run of $RUNS (load $(load))"
        : >"$FLOOR_OUT"
        wine "$BUILD_DIR/tdfloor.exe" "$(winepath -w "$FLOOR_OUT")" >>"$TEST_DIR/floor.out" 2>&1 &
        floor_pid=$!
        wait_until 60 floor_watching || { say "the floor viewer did not join the chain"; kill "$floor_pid"; return; }
        bursts floor floor_counter "$run"
        singles floor "$FLOOR_OUT" floor_counter "$floor_pid"
        end_x11_copies
        kill "$floor_pid" 2>/dev/null
        wait "$floor_pid" 2>/dev/null
    done
}

# --- the 100,000-clip database -------------------------------------------------------------
# Made from the database of a first start, so it has exactly the program's schema; cached under
# the schema's hash, since inserting 200 MB takes a while.
large_database() {
    local fresh=$1 key file
    key=$(sqlite3 "$fresh" .schema | md5sum | cut -c1-12)
    file=$CACHE/clips100k-$key.db
    if [ ! -f "$file" ]; then
        say "building $file"
        cp "$fresh" "$file.building"
        local set
        set=$(sqlite3 "$fresh" "select cSet from cTbl order by cKey limit 1")
        sqlite3 "$file.building" "
            begin;
            with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000),
            lines(t) as (select replace(hex(zeroblob(80)), '00',
                'The quick brown fox jumps over the lazy dog by the bank of the river.' || char(13, 10)))
            insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML)
            select printf('2024-%02d-%02d  %02d:%02d:%02d', 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60),
                   '$set', 'N', 'N', 'N',
                   case i % 4 when 0 then 'Notes - Editor' when 1 then 'Mail - Inbox'
                              when 2 then 'https://example.org/page' || (i % 100) else 'Terminal' end,
                   ' ',
                   substr('Clip ' || i || ' ' || (select t from lines), 1, 20 + (i * 2654435761) % 4077),
                   ' ', ' '
            from n;
            commit;" || { say "cannot build the large database"; rm -f "$file.building"; return 1; }
        mv "$file.building" "$file"
    fi
    echo "$file"
}

# --- the quick paste window over 100,000 clips ---------------------------------------------
QUICK_TITLE="Tandrel Quick Paste"
# Terms drawn from the large file's texts: common words, tokens of one clip's number, and terms of
# one or two characters (which no trigram serves).
COMMON_TERMS=(quick brown fox jumps lazy dog bank river over "the lazy")
RARE_TERMS=(77777 31415 99991 12321 45678)
SHORT_TERMS=(q x og 7 42)
quick_mapped() { xwininfo -name "$QUICK_TITLE" 2>/dev/null | grep -q IsViewable; }
index_ready() {
    [ "$(sqlite3 -batch -noheader -cmd ".timeout 5000" "$(data_dir)/tdclips.idx" "select buildBelow from qMeta" 2>/dev/null)" = 0 ]
}
filter_lines() { tr -d '\r' <"$(data_dir)/tandrel.log" | grep -F "timing quick paste filter:" | grep -cF " shown "; }
# The total of the latest filter line that showed its rows, in ms.
last_filter_ms() {
    tr -d '\r' <"$(data_dir)/tandrel.log" | grep -F "timing quick paste filter:" | grep -F " shown " | tail -n1 |
        sed 's/^.* total \([0-9.]*\) ms$/\1/'
}
percentile() {  # $1: values, $2: fraction
    printf '%s\n' $1 | sort -g | awk -v f="$2" '{ v[NR] = $1 } END { i = int(NR * f + 0.999); if (i < 1) i = 1; print v[i] }'
}

measure_quick() {
    local ini t0 term n before bridge_pid="" focus_pid="" i
    say "quick paste over 100,000 clips (load $(load))"
    use_database "$LARGE"
    rm -f "$(data_dir)/tdclips.idx" "$(data_dir)/tdclips.idx-journal"
    ini="$(data_dir)/tandrel.ini"
    grep -q '^DebugTiming = Y' "$ini" || printf 'DebugTiming = Y\r\n' >>"$ini"
    keep_server
    start_tandrel
    wait_watching 120
    t0=$(now_us)
    until index_ready; do
        [ $(( $(now_us) - t0 )) -lt 1800000000 ] || { say "the index was not built in 30 minutes"; end_session; return; }
        pause 1
    done
    record "quick index build s" "$(awk -v d=$(( $(now_us) - t0 )) 'BEGIN { printf "%.0f", d / 1e6 }')"
    local index_bytes text_bytes
    index_bytes=$(stat -c %s "$(data_dir)/tdclips.idx")
    text_bytes=$(mdb "select sum(min(length(cast(cText as blob)), 32768)) from cTbl where cSet <> 'td_trash'")
    record "quick index MB" "$((index_bytes / 1048576))"
    record "quick index per text byte" "$(awk -v i="$index_bytes" -v t="$text_bytes" 'BEGIN { printf "%.2f", i / t }')"
    memory "quick"

    # The chord through the key bridge, typed while a native X11 window has the focus.
    local bridge=${KEYS_BRIDGE:-$REPO/build/tandrel-keys}
    if [ -x "$bridge" ]; then
        source "$REPO/scripts/key-channel.sh"
        make_key_channel "$TEST_DIR/keys.channel"
        export TANDREL_KEYS_FILE=$TEST_DIR/keys.channel
        end_session
        start_tandrel
        wait_watching 120
        "$bridge" >>"$TEST_DIR/bridge.out" 2>&1 &
        bridge_pid=$!
        xmessage -title "Focus Window" -geometry 300x80+700+600 "keys typed here" >/dev/null 2>&1 &
        focus_pid=$!
        xdotool search --sync --name "^Focus Window\$" windowfocus --sync >/dev/null 2>&1
        pause 2
        for i in 1 2 3 4 5; do
            xdotool search --name "^Focus Window\$" windowfocus --sync >/dev/null 2>&1
            t0=$(now_us)
            xdotool keydown ctrl keydown alt keydown h
            until quick_mapped; do
                [ $(( $(now_us) - t0 )) -lt 10000000 ] || break
                pause 0.002
            done
            quick_mapped && record "quick chord to window ms" "$(( ($(now_us) - t0) / 1000 ))"
            xdotool keyup h keyup alt keyup ctrl
            td send "$QUICK_TITLE" 0x10 0 0 >/dev/null
            td waitgone "$QUICK_TITLE" 10 >/dev/null
            pause 1
        done
    else
        say "no key bridge at $bridge: the chord is not timed"
    fi

    # Each term set into the filter box as one change, timed inside Tandrel.exe from the change to
    # its rows and count painted.
    menu_command 1301
    td waitwindow "$QUICK_TITLE" 10 visible >/dev/null || { say "the quick paste window did not open"; end_session; return; }
    local kind terms
    for kind in common rare short; do
        case $kind in
            common) terms=("${COMMON_TERMS[@]}") ;;
            rare) terms=("${RARE_TERMS[@]}") ;;
            short) terms=("${SHORT_TERMS[@]}") ;;
        esac
        for term in "${terms[@]}"; do
            # A focus change of the X display can take the activation from it: opened again.
            if ! quick_mapped; then
                menu_command 1301
                td waitwindow "$QUICK_TITLE" 10 visible >/dev/null
            fi
            before=$(filter_lines)
            td setedit "$QUICK_TITLE" "$term" >/dev/null || say "cannot set the filter to '$term'"
            t0=$(now_us)
            until [ "$(filter_lines)" -gt "$before" ] || [ $(( $(now_us) - t0 )) -gt 60000000 ]; do pause 0.05; done
            n=$(last_filter_ms)
            record "quick filter $kind ms" "$n"
            say "  '$term': $n ms"
        done
    done
    [ -n "$focus_pid" ] && kill "$focus_pid" 2>/dev/null
    [ -n "$bridge_pid" ] && kill "$bridge_pid" 2>/dev/null
    end_session
}

# --- run -------------------------------------------------------------------------------------
say "preparing the Wine prefix"
boot_prefix
first_start
end_session
cp "$(dbfile)" "$TEST_DIR/fresh.db"
LARGE=$(large_database "$TEST_DIR/fresh.db") || exit 1
say "large database: $LARGE ($(sqlite3 "$LARGE" "select count(*), avg(length(cText)), min(length(cText)), max(length(cText)) from cTbl"))"

for part in $PARTS; do
    case $part in
        fresh) measure_tandrel fresh "$TEST_DIR/fresh.db" ;;
        large) measure_tandrel large "$LARGE" ;;
        floor) measure_floor ;;
        quick) measure_quick ;;
    esac
done
stop_server
LOAD_AT_END=$(load)

row() {
    local label=$1 key=$2
    printf '| %-52s | %-22s | %-22s | %-22s |\n' "$label" "$(cell "fresh $key")" "$(cell "large $key")" "$(cell "floor $key")"
}
echo
echo "Tandrel.exe under $(wine --version), median (runs) of $RUNS; load average at start $LOAD_AT_START, at end $LOAD_AT_END"
printf '| %-52s | %-22s | %-22s | %-22s |\n' "figure" "1 clip" "100,000 clips" "floor viewer"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..54})" "$(printf -- '-%.0s' {1..24})" "$(printf -- '-%.0s' {1..24})" "$(printf -- '-%.0s' {1..24})"
for spacing in 100 50 25 10; do row "$BURST_COPIES copies $spacing ms apart, stored" "burst $spacing"; done
row "$SINGLE_COPIES copies $SINGLE_SPACING_MS ms apart, stored" "single stored"
row "CPU of the viewer per capture, ms" "cpu per capture"
row "CPU of the wine server per capture, ms" "server cpu per capture"
row "CPU of the viewer per capture beyond the code page, ms" "unicode cpu per capture"
row "latency of one copy to its stored row, median ms" "latency"
row "start to shown window, wine server running, s" "start"
row "start to shown window, no wine server, s" "start cold server"
row "resident memory after start, MB" "rss"
row "peak resident memory, MB" "hwm"
row "CPU over $IDLE_SECONDS idle seconds, s" "idle cpu"
row "shutdown (WM_QUERYENDSESSION to exit), s" "shutdown"
if [[ " $PARTS " == *" quick "* ]]; then
    echo
    echo "The quick paste window over 100,000 clips (terms of 3+ characters: ${COMMON_TERMS[*]} / ${RARE_TERMS[*]}; short: ${SHORT_TERMS[*]})"
    three=$(printf '%s %s' "${RESULT[quick filter common ms]:-}" "${RESULT[quick filter rare ms]:-}")
    printf '| %-52s | %-40s |\n' "figure" "value"
    printf '| %-52s | %-40s |\n' "first build of the index, s" "$(cell "quick index build s")"
    printf '| %-52s | %-40s |\n' "index size, MB / per byte of text it holds" "$(cell "quick index MB") / $(cell "quick index per text byte")"
    printf '| %-52s | %-40s |\n' "resident / peak memory with the index built, MB" "$(cell "quick rss") / $(cell "quick hwm")"
    printf '| %-52s | %-40s |\n' "Ctrl+Alt+H to the window mapped, ms" "$(cell "quick chord to window ms")"
    printf '| %-52s | %-40s |\n' "filter, 3+ characters: median / 95th percentile, ms" "$(median "$three") / $(percentile "$three" 0.95)"
    printf '| %-52s | %-40s |\n' "filter, common words, ms" "$(cell "quick filter common ms")"
    printf '| %-52s | %-40s |\n' "filter, rare tokens, ms" "$(cell "quick filter rare ms")"
    printf '| %-52s | %-40s |\n' "filter, 1-2 characters, ms" "$(cell "quick filter short ms")"
fi
