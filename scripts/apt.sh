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

# apt-get, waiting up to 15 minutes for the locks, and trying again a few times when a mirror
# is caught mid-sync or the network drops a file.
apt_get() {
    local try out rc fetches=0
    for try in $(seq 1 90); do
        rc=0
        out=$("${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@" 2>&1) || rc=$?
        if [ "$rc" -ne 0 ] && grep -q 'Could not get lock\|Unable to lock\|Unable to acquire' <<<"$out"; then
            sleep 10
            continue
        fi
        if [ "$rc" -ne 0 ] && [ "$fetches" -lt 5 ] &&
            grep -q 'Failed to fetch\|Mirror sync\|Hash Sum mismatch\|unexpected size\|Temporary failure' <<<"$out"; then
            fetches=$((fetches + 1))
            sleep 30
            continue
        fi
        [ "$rc" -ne 0 ] && printf '%s\n' "$out" | tail -n 30 >&2
        return "$rc"
    done
    return 1
}

# apt-get update. When some index still fails after the retries (a mirror caught mid-sync), apt
# keeps the old one or does without it: going on lets every install that does not need it work,
# and one that does fails with apt's own message.
apt_update() {
    apt_get update -q && return 0
    printf 'warning: apt-get update failed for some index files; going on with the indexes apt has\n' >&2
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
    apt_update && apt_get install -y -q --no-install-recommends "${missing[@]}" || return 1
    mapfile -t missing < <(missing_packages "$@")
    if [ "${#missing[@]}" -ne 0 ]; then
        printf 'error: still missing after install: %s\n' "${missing[*]}" >&2
        return 1
    fi
}
