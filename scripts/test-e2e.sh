#!/usr/bin/env bash
# End-to-end tests of the real Tandrel.exe under Wine on a virtual X display.
# Builds everything first (scripts/build-windows.sh), makes one clean Wine
# prefix as a template, and gives every test (tests/e2e/t*.sh) a copy of it.
# Prints PASS/FAIL/SKIP per test and "N passed, M failed"; exits non-zero on any failure.
#   scripts/test-e2e.sh [--no-build] [test name part ...]
# Test output and prefixes stay in build-win32/e2e/ for inspection.
# Where the kernel runs no 32-bit program (scripts/windows-arch.sh), the shipped 32-bit build is
# still built, with its installer, but the tests run the 64-bit build in build-win64/.
set -uo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$REPO/scripts/windows-arch.sh"
use_runnable_windows_build "$REPO"
E2E=$BUILD_DIR/e2e
TEST_TIMEOUT=${TEST_TIMEOUT:-240}

log() { printf '[e2e] %s\n' "$*"; }
source "$REPO/tests/e2e/lib.sh"

# The tests run inside one virtual display; the outer call sets it up.
if ! on_virtual_display; then
    build=1
    if [ "${1:-}" = "--no-build" ]; then build=0; shift; fi
    # What users download is always the 32-bit build.
    shipped_dir=$BUILD_DIR
    if [ "$WIN_ARCH" != i686 ]; then
        log "this machine runs no 32-bit program: the tests run the 64-bit build of the same sources under 64-bit Wine"
        shipped_dir=$REPO/build-win32
    fi
    if [ $build = 1 ]; then
        if [ "$WIN_ARCH" != i686 ]; then
            TANDREL_WIN_ARCH=i686 BUILD_DIR=$shipped_dir bash "$REPO/scripts/build-windows.sh" \
                || { log "the 32-bit build failed"; echo "0 passed, 1 failed"; exit 1; }
        fi
        bash "$REPO/scripts/build-windows.sh" || { log "build failed"; echo "0 passed, 1 failed"; exit 1; }
    fi
    bash "$REPO/tests/e2e/install-deps.sh" || { log "cannot install the test tools"; echo "0 passed, 1 failed"; exit 1; }

    # The platform layer's own checks link the real Win32 files with a console driver.
    log "building platform_check.exe"
    mapfile -t platform_sources < <(ls "$REPO"/src/platform/win32/*.cpp | grep -v '/main\.cpp$')
    # The picture code with the same static libraries as Tandrel.exe.
    deps=${TANDREL_DEPS_DIR:-$HOME/.cache/tandrel-deps}/$WIN_TRIPLE
    image_sources=("$REPO/src/core/image_codec.cpp" "$REPO/src/core/dib.cpp" "$REPO/src/core/logo.cpp")
    "$WIN_TRIPLE-g++-posix" -std=c++17 -O1 -DWINVER=0x0501 -D_WIN32_WINNT=0x0501 -D_WIN32_IE=0x0600 \
        -I"$REPO/src" -I"$deps/include" "$REPO/tests/e2e/platform_check/platform_check.cpp" "${platform_sources[@]}" \
        "${image_sources[@]}" -o "$BUILD_DIR/platform_check.exe" -static -L"$deps/lib" -lpng16 -ljpeg -lz \
        -lcomctl32 -lcomdlg32 -lshell32 -lole32 -loleaut32 -luuid -lgdi32 \
        -luser32 -lpsapi -lwinmm -lwinspool -lws2_32 -lkernel32 || { log "platform_check.exe did not build"; echo "0 passed, 1 failed"; exit 1; }
    log "building controls_check.exe"
    "$WIN_TRIPLE-g++-posix" -std=c++17 -O1 -DWINVER=0x0501 -D_WIN32_WINNT=0x0501 -D_WIN32_IE=0x0600 \
        -I"$REPO/src" "$REPO/tests/win32/controls_check.cpp" "${platform_sources[@]}" \
        -o "$BUILD_DIR/controls_check.exe" -static -lcomctl32 -lcomdlg32 -lshell32 -lole32 -loleaut32 -luuid -lgdi32 \
        -luser32 -lpsapi -lwinmm -lwinspool -lws2_32 -lkernel32 || { log "controls_check.exe did not build"; echo "0 passed, 1 failed"; exit 1; }

    log "building the key bridge"
    if bridge=$(bash "$REPO/scripts/build-keybridge.sh"); then
        export KEYS_BRIDGE=$bridge
    else
        log "the key bridge did not build; its test will fail"
    fi

    log "building the installer and the portable zip"
    dist_dir=$BUILD_DIR/dist
    BUILD_DIR=$shipped_dir DIST_DIR=$dist_dir bash "$REPO/scripts/build-dist.sh" --no-build >/dev/null \
        || { log "the installer did not build"; echo "0 passed, 1 failed"; exit 1; }

    # An X11 program offering a second target beside its text, as xclip cannot.
    log "building x11owner"
    gcc -O1 -o "$BUILD_DIR/x11owner" "$REPO/tests/e2e/x11owner/x11owner.c" -lX11 \
        || { log "x11owner did not build"; echo "0 passed, 1 failed"; exit 1; }

    rerun_on_virtual_display "$0" "$@"
fi

export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
rm -rf "$E2E"
mkdir -p "$E2E"

log "preparing the template Wine prefix"
export WINEPREFIX=$E2E/template
if ! { wineboot -i && wineserver -w && undecorated_windows; } >"$E2E/template.log" 2>&1; then
    log "wineboot failed; the end of $E2E/template.log:"
    tail -n 20 "$E2E/template.log"
    echo "0 passed, 1 failed"
    exit 1
fi

passed=0
failed=0
skipped=0
for test in "$REPO"/tests/e2e/t*.sh; do
    name=$(basename "$test" .sh)
    if [ $# -gt 0 ]; then
        wanted=0
        for part in "$@"; do [[ $name == *"$part"* ]] && wanted=1; done
        [ $wanted = 1 ] || continue
    fi
    export TEST_DIR=$E2E/$name
    mkdir -p "$TEST_DIR"
    export WINEPREFIX=$TEST_DIR/prefix
    cp -a "$E2E/template" "$WINEPREFIX"
    started=$(date +%s)
    timeout -k 10 "$TEST_TIMEOUT" bash -c 'source "$1"; source "$2"' _ "$REPO/tests/e2e/lib.sh" "$test" \
        >"$TEST_DIR/output.txt" 2>&1
    status=$?
    # Whatever the test left running in its prefix goes.
    end_prefix
    seconds=$(( $(date +%s) - started ))
    if [ $status -eq 77 ]; then
        # A test that cannot run on this machine says why and exits 77.
        skipped=$((skipped + 1))
        echo "SKIP $name"
        sed 's/^/     /' "$TEST_DIR/output.txt"
        rm -rf "$WINEPREFIX"
    elif [ $status -eq 0 ]; then
        passed=$((passed + 1))
        echo "PASS $name (${seconds}s)"
        sed 's/^/     /' "$TEST_DIR/output.txt"
        rm -rf "$WINEPREFIX"   # ~200 MB each; a failed test keeps its prefix for a look
    else
        failed=$((failed + 1))
        [ $status -eq 124 ] && echo "     timed out after ${TEST_TIMEOUT}s" >>"$TEST_DIR/output.txt"
        echo "FAIL $name (${seconds}s)"
        sed 's/^/     /' "$TEST_DIR/output.txt"
    fi
done

summary="$passed passed, $failed failed"
[ $skipped -eq 0 ] || summary+=", $skipped skipped"
echo "$summary"
[ $failed -eq 0 ] && [ $passed -gt 0 ]
