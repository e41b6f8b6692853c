# Debian package helpers shared by the install scripts (sourced, not run). Every install waits
# while another apt or dpkg holds its locks, instead of failing at once.

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { printf 'error: not root and no sudo\n' >&2; exit 1; }
    SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

# Prints the packages of "$@" that are not fully installed.
missing_packages() {
    local p status
    for p in "$@"; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
        [ "$status" = installed ] || printf '%s\n' "$p"
    done
}

# apt-get, waiting up to 15 minutes for the locks.
apt_get() {
    local try out rc
    for try in $(seq 1 90); do
        rc=0
        out=$("${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@" 2>&1) || rc=$?
        if [ "$rc" -ne 0 ] && grep -q 'Could not get lock\|Unable to lock\|Unable to acquire' <<<"$out"; then
            sleep 10
            continue
        fi
        [ "$rc" -ne 0 ] && printf '%s\n' "$out" | tail -n 30 >&2
        return "$rc"
    done
    return 1
}

# Installs those of "$@" that are missing (i386 ones get the architecture first); fails when any
# is still missing afterwards.
install_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ "${#missing[@]}" -eq 0 ] && return 0
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${SUDO[@]}" dpkg --add-architecture i386
    fi
    apt_get update -q && apt_get install -y -q --no-install-recommends "${missing[@]}" || return 1
    mapfile -t missing < <(missing_packages "$@")
    if [ "${#missing[@]}" -ne 0 ]; then
        printf 'error: still missing after install: %s\n' "${missing[*]}" >&2
        return 1
    fi
}
