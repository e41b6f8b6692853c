#!/usr/bin/env bash
# Builds what users download into dist/: the Windows installer (NSIS) and a portable zip of
# Tandrel.exe with a short read-me. Installs nsis and zip on first use.
#   scripts/build-dist.sh [--no-build]
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$REPO/build-win32}
DIST=${DIST_DIR:-$REPO/dist}
VERSION=$(sed -n 's/.*productVersion = "\([^"]*\)".*/\1/p' "$REPO/src/core/program.h")
log() { printf '[dist] %s\n' "$*"; }

source "$REPO/scripts/apt.sh"
mapfile -t missing < <(missing_packages nsis zip)
if [ "${#missing[@]}" -gt 0 ]; then
    log "installing ${missing[*]}"
    install_packages "${missing[@]}"
fi

[ "${1:-}" = "--no-build" ] || bash "$REPO/scripts/build-windows.sh"
[ -f "$BUILD_DIR/Tandrel.exe" ] || { log "error: $BUILD_DIR/Tandrel.exe is missing"; exit 1; }

mkdir -p "$DIST"
[ -f "$DIST/.gitignore" ] || printf '*\n' > "$DIST/.gitignore"
setup="$DIST/Tandrel-Setup-$VERSION.exe"
log "installer: $setup"
makensis -V2 -DEXE="$BUILD_DIR/Tandrel.exe" -DOUTFILE="$setup" -DVERSION="$VERSION" "$REPO/installer/tandrel.nsi"

zipfile="$DIST/Tandrel-$VERSION-portable.zip"
log "portable zip: $zipfile"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/Tandrel-$VERSION"
cp "$BUILD_DIR/Tandrel.exe" "$stage/Tandrel-$VERSION/"
sed 's/$/\r/' "$REPO/installer/README.txt" > "$stage/Tandrel-$VERSION/README.txt"
rm -f "$zipfile"
(cd "$stage" && zip -q -r -X "$zipfile" "Tandrel-$VERSION")
log "done"
