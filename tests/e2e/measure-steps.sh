#!/usr/bin/env bash
# Where a capture's time goes inside Tandrel.exe under Wine: the timing lines that DebugTiming
# writes to the log for each clipboard change, as the median of each step over single X11 copies
# 250 ms apart, with the database of a first start and with the 100,000-clip file of measure.sh
# (when it has been built). Not a test: nothing is asserted.
#   tests/e2e/measure-steps.sh        (after scripts/build-windows.sh)
# COPIES (30) sets the number of copies; PARTS ("fresh large") what runs.
set -uo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$REPO/scripts/windows-arch.sh"
use_runnable_windows_build "$REPO"
COPIES=${COPIES:-30}
PARTS=${PARTS:-fresh large}
CACHE=${TANDREL_MEASURE_DIR:-$HOME/.cache/tandrel-measure}

source "$REPO/tests/e2e/lib.sh"
if ! on_virtual_display; then
    require_built Tandrel.exe tdhelper.exe
    rerun_on_virtual_display "$0" "$@"
fi
standalone_test_dir "$BUILD_DIR/measure-steps"


# Median of each step over the timing lines of the clipboard changes that stored a clip.
steps() {
    tr -d '\r' < "$(data_dir)/tandrel.log" | grep -F "timing clipboard change:" | grep -F " store " |
        sed 's/^.*timing clipboard change: //; s/ ms$//' |
        awk -F', ' '{
            for (i = 1; i <= NF; i++) {
                n = split($i, w, " "); v = w[n]; name = $i; sub(" [^ ]*$", "", name)
                if (!(name in seen)) { seen[name] = ++count; names[count] = name }
                values[name] = values[name] " " v
            }
        } END {
            for (k = 1; k <= count; k++) {
                m = split(values[names[k]], a, " ")
                for (i = 1; i <= m; i++) for (j = i + 1; j <= m; j++) if (a[j] + 0 < a[i] + 0) { t = a[i]; a[i] = a[j]; a[j] = t }
                printf "  %-12s %8.2f ms (median of %d)\n", names[k], a[int((m + 1) / 2)], m
            }
        }'
}

run_part() {
    local part=$1 database=$2 i
    [ -n "$database" ] && { cp "$database" "$(data_dir)/tdclips.db"; rm -f "$(data_dir)/tdclips.db-journal"; }
    : > "$(data_dir)/tandrel.log"
    start_tandrel
    wait_main_window 180
    wait_watching 120
    sleep 2
    for ((i = 0; i < COPIES; i++)); do
        x11_copy "steps $part $RANDOM copy $i, made in X11 by xclip"
        sleep 0.25
    done
    sleep 2
    end_x11_copies
    end_session
    echo "$part: steps of a stored capture"
    steps
}

boot_prefix
first_start
end_session
echo "DebugTiming = Y" >> "$(data_dir)/tandrel.ini"
cp "$(data_dir)/tdclips.db" "$TEST_DIR/fresh.db"
for part in $PARTS; do
    case $part in
        fresh) run_part fresh "$TEST_DIR/fresh.db" ;;
        large)
            large=$(ls -t "$CACHE"/clips100k-*.db 2>/dev/null | head -n1)
            [ -n "$large" ] && run_part large "$large" || echo "large: no 100,000-clip file in $CACHE (run measure.sh once)" ;;
    esac
done
wineserver -k
