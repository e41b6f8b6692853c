#!/usr/bin/env bash
# The picture figures of Tandrel.exe under Wine on this machine (not a test: nothing is asserted):
# a full-HD screen shot copied as a 32-bit bitmap, from the clipboard to the stored row, per
# encoder; and a stored one decoded and shown, and shown and put back on the clipboard. The
# figures are Tandrel's own, from the timing lines its log gets with DebugTiming: a capture counts
# from the WM_DRAWCLIPBOARD to the stored and previewed row, including the 20 ms wait before the
# picture is looked at.
#   tests/e2e/measure-pictures.sh        (after scripts/build-windows.sh)
set -uo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$REPO/scripts/windows-arch.sh"
use_runnable_windows_build "$REPO"
RUNS=${RUNS:-5}

source "$REPO/tests/e2e/lib.sh"
on_virtual_display || rerun_on_virtual_display "$0" "$@"
standalone_test_dir "$BUILD_DIR/e2e/measure-pictures"

boot_prefix
td makedib "$TEST_DIR/shot.dib" 1920 1080 --bits 32 --shot >/dev/null || { echo "cannot make the screen shot"; exit 1; }

images() { db "select count(*) from cTbl where cImageSW = 'Y'"; }
more_images_than() { [ "$(images)" -gt "$1" ]; }
# The totals of the timing lines that match a pattern.
totals() { tr -d '\r' < "$(data_dir)/tandrel.log" | grep -E "$1" | sed 's/^.* total \([0-9.]*\) ms$/\1/' | tr '\n' ' '; }

measure() {
    local encoder=$1
    for i in $(seq "$RUNS"); do
        local before
        before=$(images)
        td setraw CF_DIB "$TEST_DIR/shot.dib" --title "Screen Shot $i" --hold 1200 >/dev/null
        wait_until 30 more_images_than "$before" || echo "screen shot $i was not stored"
    done
    for _ in $(seq "$RUNS"); do
        td listclick "$MAIN_TITLE" "$CLIP_LIST" 1 >/dev/null
        sleep 1.5
        td listclick "$MAIN_TITLE" "$CLIP_LIST" 2 double >/dev/null
        sleep 1.5
    done
    echo "$encoder, 1920x1080 32-bit screen shot, clipboard to stored row (ms, incl. the 20 ms wait): $(totals " encode [0-9]")"
    echo "$encoder, the steps of the last one: $(tr -d '\r' < "$(data_dir)/tandrel.log" | grep -F " encode " | tail -n1 | sed 's/^.*timing //')"
    echo "$encoder, stored size: $(db "select length(cImage) from cTbl where cImageSW = 'Y' limit 1") bytes"
    echo "$encoder, stored one decoded and shown (ms): $(totals " picture shown [0-9]")"
    echo "$encoder, stored one shown and put back on the clipboard (ms): $(totals " picture shown and copied [0-9]")"
}

first_start
end_session
echo "DebugTiming = Y" >> "$(data_dir)/tandrel.ini"
start_tandrel
wait_main_window
wait_watching
measure JPEG
end_session
sed -i 's/^UsePNG = .*/UsePNG = Y/' "$(data_dir)/tandrel.ini"
db "delete from cTbl where cImageSW = 'Y'"
start_tandrel
wait_main_window
wait_watching
measure PNG
end_session
