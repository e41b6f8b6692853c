#!/usr/bin/env bash
# Builds controls_check.exe from the Win32 platform files and runs it under Wine
# on a virtual display, in a fresh Wine prefix. Prints each check; exits non-zero
# when one fails.
#   tests/win32/run.sh [build folder, default build-win32]
set -uo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=${1:-$REPO/build-win32}
mkdir -p "$OUT"

mapfile -t sources < <(ls "$REPO"/src/platform/win32/*.cpp | grep -v '/main\.cpp$')
i686-w64-mingw32-g++-posix -std=c++17 -O1 -Wall -DWINVER=0x0501 -D_WIN32_WINNT=0x0501 -D_WIN32_IE=0x0600 \
    -I"$REPO/src" "$REPO/tests/win32/controls_check.cpp" "${sources[@]}" -o "$OUT/controls_check.exe" -static \
    -lcomctl32 -lcomdlg32 -lole32 -loleaut32 -luuid -lshell32 -lgdi32 -luser32 -lpsapi -lwinmm || exit 1

prefix=$(mktemp -d)
trap 'WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; rm -rf "$prefix"' EXIT
export WINEPREFIX=$prefix WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=${WINEDEBUG:--all}
# The wine server must end before the run: its desktop would otherwise live without a display.
wineboot -i >/dev/null 2>&1
wineserver -w
xvfb-run -a -s "-screen 0 1024x768x24" wine "$OUT/controls_check.exe" | tr -d '\r'
