#!/usr/bin/env bash
# Builds Tandrel.exe and the end-to-end helper tdhelper.exe into build-win32/
# (beside the sources, ignored by git): installs the cross toolchain and the
# Windows libraries first when scripts/install-windows-deps.sh is there.
#   BUILD_DIR=...  another build folder;  JOBS=n  parallel jobs (default 2)
#   TANDREL_WIN_ARCH=x86_64  the 64-bit build instead, into build-win64/
#                            (for machines that run no 32-bit program)
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TANDREL_WIN_ARCH=${TANDREL_WIN_ARCH:-i686}
source "$REPO/scripts/windows-arch.sh"
choose_windows_arch
BUILD_DIR=${BUILD_DIR:-$REPO/$WIN_BUILD_NAME}
JOBS=${JOBS:-2}

log() { printf '[build-windows] %s\n' "$*"; }

if [ -x "$REPO/scripts/install-windows-deps.sh" ] || [ -f "$REPO/scripts/install-windows-deps.sh" ]; then
    bash "$REPO/scripts/install-windows-deps.sh"
fi
# The toolchain file finds the cross-built libraries here.
export TANDREL_DEPS_DIR=${TANDREL_DEPS_DIR:-$HOME/.cache/tandrel-deps}

mkdir -p "$BUILD_DIR"
# Keeps the folder out of git without touching the repository's own ignore list.
[ -f "$BUILD_DIR/.gitignore" ] || printf '*\n' > "$BUILD_DIR/.gitignore"

if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    log "configuring $BUILD_DIR"
    cmake -S "$REPO" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-$WIN_ARCH.cmake" \
        -DCMAKE_BUILD_TYPE=Release
fi
log "building"
cmake --build "$BUILD_DIR" -j "$JOBS"

for exe in Tandrel.exe tdhelper.exe; do
    [ -f "$BUILD_DIR/$exe" ] || { log "error: $BUILD_DIR/$exe was not built"; exit 1; }
done
log "built $BUILD_DIR/Tandrel.exe and $BUILD_DIR/tdhelper.exe"
