#!/usr/bin/env bash
# Builds Tandrel.exe and the end-to-end helper tdhelper.exe into build-win32/
# (beside the sources, ignored by git): installs the cross toolchain and the
# Windows libraries first when scripts/install-windows-deps.sh is there.
#   BUILD_DIR=...  another build folder;  JOBS=n  parallel jobs (default 2)
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$REPO/build-win32}
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
    cmake -S "$REPO" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release
fi
log "building"
cmake --build "$BUILD_DIR" -j "$JOBS"

for exe in Tandrel.exe tdhelper.exe; do
    [ -f "$BUILD_DIR/$exe" ] || { log "error: $BUILD_DIR/$exe was not built"; exit 1; }
done
log "built $BUILD_DIR/Tandrel.exe and $BUILD_DIR/tdhelper.exe"
