#!/usr/bin/env bash
# Installs what the end-to-end tests need to run Tandrel.exe: Wine (with its
# 32-bit half), a virtual X display, a screenshot tool and the sqlite3 shell.
# Returns at once when everything is already there.
set -euo pipefail

PACKAGES=(wine wine32:i386 xvfb xauth imagemagick sqlite3 xclip x11-utils)

log() { printf '[e2e-deps] %s\n' "$*"; }

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

# Another installer may hold apt's locks; wait for it rather than fail.
APT=("${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 -q)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "enabling the i386 architecture (wine32)"
    "${SUDO[@]}" dpkg --add-architecture i386
fi

export DEBIAN_FRONTEND=noninteractive
log "installing: ${missing[*]}"
for attempt in 1 2 3 4 5 6; do
    if "${APT[@]}" update && "${APT[@]}" install -y --no-install-recommends "${missing[@]}"; then
        break
    fi
    log "apt busy or failed (attempt $attempt); retrying in 20 s"
    sleep 20
done

mapfile -t missing < <(missing_packages "${PACKAGES[@]}")
if [ "${#missing[@]}" -ne 0 ]; then
    log "error: still missing after install: ${missing[*]}"
    exit 1
fi
log "done"
