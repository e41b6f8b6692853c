#!/usr/bin/env bash
# Makes the README's picture of the main window: Tandrel.exe under Xvfb on a fresh Wine prefix,
# a few fixed clips copied from titled windows, one clip selected, then a screenshot of the
# window cut from the screen into docs/tandrel-main-window.png. Not a test.
#   scripts/screenshot.sh [--no-build]
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$REPO/scripts/windows-arch.sh"
use_runnable_windows_build "$REPO"
OUT=${SCREENSHOT_OUT:-$REPO/docs/tandrel-main-window.png}

source "$REPO/tests/e2e/lib.sh"
if ! on_virtual_display; then
    [ "${1:-}" = "--no-build" ] || bash "$REPO/scripts/build-windows.sh"
    bash "$REPO/tests/e2e/install-deps.sh"
    rerun_on_virtual_display "$0" "$@"
fi
standalone_test_dir "$BUILD_DIR/screenshot"
mkdir -p "$(dirname "$OUT")"
boot_prefix

first_start
clips=(
    "Meeting moved to Thursday 10:30, room 4B|Mail - Inbox"
    "SELECT name, total FROM orders WHERE total > 100 ORDER BY total DESC;|Query Editor"
    "https://example.org/docs/getting-started|Browser - Getting started"
    "Remember: the invoice number is INV-2026-0412|Notes"
    "Kind regards,\x0d\x0aAnna Berg\x0d\x0aSales, Korvane|Mail - Reply"
)
for clip in "${clips[@]}"; do
    td settext "${clip%%|*}" --title "${clip##*|}" >/dev/null
    sleep 0.5
done
sleep 2
td listclick "$MAIN_TITLE" "$CLIP_LIST" 1 >/dev/null || true
td pointer 1010 750 >/dev/null
sleep 2
handle=$(td waitwindow "$MAIN_TITLE" 10 visible)
geometry=$(xwininfo -root -tree | awk -v t="Clipboard Assistant" 'index($0, t) { print; exit }' \
    | grep -o '[0-9]\+x[0-9]\++-\?[0-9]\++-\?[0-9]\+' | head -n 1)
if [ -n "$geometry" ]; then
    import -window root -crop "$geometry" +repage "$OUT"
else
    import -window root "$OUT"
fi
end_session
printf '[screenshot] %s\n' "$OUT"
