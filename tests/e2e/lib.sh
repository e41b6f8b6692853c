# Shared by the end-to-end tests (sourced). The harness (scripts/test-e2e.sh)
# sets BUILD_DIR, TEST_DIR, WINEPREFIX, WINEDLLOVERRIDES and DISPLAY; every
# test has a Wine prefix of its own.

# Wine takes its ANSI code page from the locale: C.UTF-8, which every Debian has, gives Windows-1252
# (and UTF-8 for file names) whatever locale the caller runs in.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

MAIN_TITLE="Clipboard Assistant"   # the main window's title without its 0x99 byte
TANDREL_PID=""

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

note() { echo "  $*"; }

# The scripts run inside one virtual X display: the outer call runs the script again in one.
rerun_on_virtual_display() {
    export TANDREL_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$@"
}
on_virtual_display() { [ -n "${TANDREL_E2E_INNER:-}" ]; }

# Stops unless each named program has been built into $BUILD_DIR.
require_built() {
    local exe
    for exe; do
        [ -f "$BUILD_DIR/$exe" ] || { echo "no $BUILD_DIR/$exe: run scripts/build-windows.sh first" >&2; exit 1; }
    done
}

# Runs the helper; its output is the helper's, its exit code too.
td() { wine "$BUILD_DIR/tdhelper.exe" "$@" 2>>"$TEST_DIR/helper.err" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

start_tandrel() {
    wine "$BUILD_DIR/Tandrel.exe" >>"$TEST_DIR/tandrel.out" 2>&1 &
    TANDREL_PID=$!
}

tandrel_running() { [ -n "$TANDREL_PID" ] && kill -0 "$TANDREL_PID" 2>/dev/null; }

# Waits up to $2 seconds (default 30) for a process to end.
wait_exit() {
    local pid=$1 limit=$(( ${2:-30} * 10 ))
    while kill -0 "$pid" 2>/dev/null && [ "$limit" -gt 0 ]; do
        sleep 0.1
        limit=$((limit - 1))
    done
    ! kill -0 "$pid" 2>/dev/null
}

# The data folder of the prefix's user; Wine names it AppData/Roaming or "Application Data".
data_dir() {
    local d
    for d in "$WINEPREFIX"/drive_c/users/*/AppData/Roaming "$WINEPREFIX"/drive_c/users/*/"Application Data"; do
        case $d in */Public/*) continue ;; esac
        [ -d "$d" ] && { echo "$d/Korvane/Tandrel"; return 0; }
    done
    return 1
}

# Waits a while for a lock Tandrel holds during a write rather than failing at once.
db() { sqlite3 -batch -noheader -cmd ".timeout 5000" "$(data_dir)/tdclips.db" "$@"; }

# Hex of a text's bytes, upper case, as sqlite's hex() writes them.
hex_of() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n' | tr 'a-f' 'A-F'; }

# Answers the first-run question with $1 (Yes or No) after checking its text.
answer_first_run() {
    local text
    text=$(td dialogtext "Tandrel" 60) || fail "no first-run question appeared"
    case $text in
        "Tandrel has not located any previous Tandrel files"*) ;;
        *) fail "unexpected first question: $text" ;;
    esac
    td press "Tandrel" "$1" >/dev/null || fail "cannot press $1"
}

# The window exists from early in the start; it is shown only once the database is ready.
wait_main_window() { td waitwindow "$MAIN_TITLE" "${1:-60}" visible >/dev/null || fail "the main window was not shown"; }

# First start on the clean prefix up to the running main window.
first_start() {
    start_tandrel
    answer_first_run Yes
    wait_main_window
    # The window shows before Tandrel joins the viewer chain: a copy made in between is never seen.
    wait_watching
}

# Ends Tandrel the way Windows does at log-off, and waits for the process.
end_session() {
    td send "$MAIN_TITLE" 0x11 0 0 >/dev/null || true   # the answer may be lost with the process
    wait_exit "$TANDREL_PID" 60 || fail "Tandrel.exe still runs after WM_QUERYENDSESSION"
}

# Ends the Wine processes of prefix $1 (default $WINEPREFIX) whose wine server is gone: after a
# wineserver -k9 the services' winedevice.exe live on, and no later wineserver -k reaches them.
# They are known by the prefix in their environment; only wine's own programs are looked at, as
# the test's shell carries the same variable.
end_orphans_of_prefix() {
    local prefix=${1:-$WINEPREFIX} environ pid exe
    [ -n "$prefix" ] || return 0
    while IFS= read -r environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
        # wine, wineserver32 and the like
        [[ ${exe##*/} == wine* ]] && kill -9 "$pid" 2>/dev/null
    done < <(grep -lzxF "WINEPREFIX=$prefix" /proc/[0-9]*/environ 2>/dev/null)
    return 0
}

# The end of every test: whatever still runs in the prefix goes, with its wine server or without.
end_prefix() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    end_orphans_of_prefix
}

# For the scripts that run Tandrel.exe outside the test runner (the measurements, the README
# picture): an empty folder $1 as TEST_DIR, with a Wine prefix in it that boot_prefix makes.
standalone_test_dir() {
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEDEBUG=-all
    export TEST_DIR=$1
    rm -rf "$TEST_DIR"
    mkdir -p "$TEST_DIR"
    export WINEPREFIX=$TEST_DIR/prefix
}
boot_prefix() {
    wineboot -i >/dev/null 2>&1
    wineserver -w
    undecorated_windows
}

# Without a window manager (Xvfb) Wine should draw the frames and captions itself, and leave its
# windows unmanaged: it would otherwise wait 2 s for a window manager at each window it hides (the
# main window at exit, and its own tray window when the last icon goes), which a desktop's window
# manager answers at once.
undecorated_windows() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
}

screenshot() { import -window root "$BUILD_DIR/$1.png" 2>/dev/null || note "(no screenshot: import failed)"; }

# Runs a command every 0.2 s until it succeeds; fails after $1 seconds by the clock
# (counting tries would stretch the wait to minutes on a loaded machine).
wait_until() {
    local deadline=$(( SECONDS + $1 ))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# Tandrel shows its window before it joins the clipboard viewer chain; a copy made in
# between is not seen. Waits until its main window heads the chain.
watching() { td viewer | cut -d' ' -f2- | grep -Fxq "Tandrel\\x99 $MAIN_TITLE"; }
wait_watching() { wait_until "${1:-30}" watching || fail "Tandrel did not join the clipboard viewer chain"; }

# The main window's two list views, known by their first column titles.
CLIP_LIST="Click '"   # "Click 'Clip To Clipboard' or 'doubleclick' to copy." (or the narrow caption)
SET_LIST="Name"       # the set list on the Clip Sets tab
# Rows as "<row> <selected 0/1>" then each column after a tab; texts escaped as by the helper.
list_rows() { td listrows "$MAIN_TITLE" "$1"; }
# The first column of every row, trailing blanks cut (the clip captions are padded).
list_captions() { list_rows "$1" | cut -f2 | sed 's/ *$//'; }
# "<id> <class> <visible|hidden> <text>" of each control of the main window.
main_controls() { td children "$MAIN_TITLE"; }
# Whether the main window has a control "<class> <visible|hidden> <text>"; the status line's text.
shows() { main_controls | cut -d' ' -f2- | grep -Fxq -- "$1"; }
status_is() { shows "Static visible $1"; }
press() { td click "$MAIN_TITLE" "$1" >/dev/null || fail "no '$1' button"; }
# A WM_COMMAND as the menus send it.
menu_command() { td send "$MAIN_TITLE" 0x111 "$1" 0 >/dev/null || fail "cannot send command $1"; }

# Puts a recording stand-in for xdg-open first in PATH: what the shell opens lands in $opened.
record_shell_opens() {
    opened="$TEST_DIR/opened.txt"
    mkdir -p "$TEST_DIR/bin"
    cat > "$TEST_DIR/bin/xdg-open" <<EOS
#!/bin/sh
printf '%s\n' "\$*" >> "$opened"
EOS
    chmod +x "$TEST_DIR/bin/xdg-open"
    export PATH="$TEST_DIR/bin:$PATH"
}

# A copy in an X11 program that does not wait (xclip in the background); each xclip ends when
# the next copy takes the selection, and end_x11_copies ends the last ones.
X11_COPIERS=()
x11_copy() {
    printf '%s' "$1" | xclip -quiet -selection clipboard 2>/dev/null &
    X11_COPIERS+=($!)
}
end_x11_copies() {
    local pid
    for pid in "${X11_COPIERS[@]}"; do kill "$pid" 2>/dev/null; done
    X11_COPIERS=()
}
