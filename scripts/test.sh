#!/usr/bin/env bash
# Installs what the build and the tests need, then runs every test: the native suites over the
# simulated desktop, and the end-to-end tests of the real Tandrel.exe under Wine and Xvfb.
#   scripts/test.sh            everything
#   scripts/test.sh --native   only the native suites
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
log() { printf '[test] %s\n' "$*"; }

bash "$REPO/scripts/install-native-deps.sh"

log "building the native tests"
cmake -S "$REPO" -B "$REPO/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$REPO/build"

log "running the native tests"
native=0
(cd "$REPO/build" && ctest --output-on-failure -j2 --timeout 600) || native=1

e2e=0
if [ "${1:-}" != "--native" ]; then
    log "running the end-to-end tests of Tandrel.exe"
    bash "$REPO/scripts/test-e2e.sh" || e2e=1
fi

if [ $native -ne 0 ] || [ $e2e -ne 0 ]; then
    log "FAILED (native: $native, end-to-end: $e2e)"
    exit 1
fi
log "all tests passed"
