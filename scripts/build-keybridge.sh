#!/usr/bin/env bash
# Builds the key bridge tandrel-keys (keybridge/) with the native configuration in build/, after
# installing the native packages, and prints its path. Fails when it cannot be built (no X11 or
# XInput2 headers).
#   NATIVE_BUILD_DIR=...  another build folder
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NATIVE_BUILD_DIR=${NATIVE_BUILD_DIR:-$REPO/build}

bash "$REPO/scripts/install-native-deps.sh" >&2
# The same configuration as scripts/test.sh, so that both share the folder.
if [ ! -f "$NATIVE_BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$REPO" -B "$NATIVE_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
fi
cmake --build "$NATIVE_BUILD_DIR" --target tandrel-keys -j 2 >&2
echo "$NATIVE_BUILD_DIR/tandrel-keys"
