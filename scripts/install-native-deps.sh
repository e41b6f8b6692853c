#!/usr/bin/env bash
# Installs the Debian packages that the native (Linux) build, its tests and
# its benchmarks need. Safe to run again: when every package is already
# installed it returns at once without touching apt.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libpng-dev zlib1g-dev libjpeg62-turbo-dev
)

log() { printf '[native-deps] %s\n' "$*"; }

# Prints the packages of "$@" that are not fully installed.
missing_packages() {
    local p status
    for p in "$@"; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
        [ "$status" = installed ] || printf '%s\n' "$p"
    done
}

mapfile -t missing < <(missing_packages "${PACKAGES[@]}")
if [ "${#missing[@]}" -eq 0 ]; then
    log "all packages already installed"
    exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { log "error: not root and no sudo"; exit 1; }
    SUDO=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
log "installing: ${missing[*]}"
# Waits (up to 15 minutes) while another apt or dpkg holds the locks.
apt_get() {
    local try out rc
    for try in $(seq 1 90); do
        rc=0
        out=$("${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@" 2>&1) || rc=$?
        if [ "$rc" -ne 0 ] && grep -q 'Could not get lock\|Unable to lock\|Unable to acquire' <<<"$out"; then
            [ "$try" = 1 ] && log "waiting for another apt/dpkg to finish"
            sleep 10
            continue
        fi
        if [ "$rc" -ne 0 ]; then
            printf '%s\n' "$out" | tail -n 30 >&2
        fi
        return "$rc"
    done
    return 1
}

apt_get update -q || { log "error: apt-get update failed"; exit 1; }
apt_get install -y -q --no-install-recommends "${missing[@]}" \
    || { log "error: apt-get install failed"; exit 1; }

mapfile -t missing < <(missing_packages "${PACKAGES[@]}")
if [ "${#missing[@]}" -ne 0 ]; then
    log "error: still missing after install: ${missing[*]}"
    exit 1
fi
log "done"
