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
        # A name without an architecture answers one line per installed architecture.
        status=$(dpkg-query -W -f='${db:Status-Status}\n' "$p" 2>/dev/null || true)
        grep -qx installed <<<"$status" || printf '%s\n' "$p"
    done
}

# Set by apt_update when some index could not be downloaded: an install may then fail on
# versions apt can no longer see, and apt_install retries it.
APT_INDEX_FAILED=0
# What the last apt_get printed.
APT_OUTPUT=

# apt-get, waiting up to 15 minutes for the locks, and trying again a few times when a mirror
# is caught mid-sync or the network drops a file.
apt_get() {
    local try out rc fetches=0
    for try in $(seq 1 90); do
        rc=0
        out=$("${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=900 "$@" 2>&1) || rc=$?
        APT_OUTPUT=$out
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
# and apt_install gives one that does a second try.
apt_update() {
    if apt_get update -q; then
        # Some apt versions only warn, and exit 0, when an index failed.
        grep -q 'Failed to fetch\|index files failed' <<<"$APT_OUTPUT" || return 0
    fi
    APT_INDEX_FAILED=1
    printf 'warning: apt-get update failed for some index files; going on with the indexes apt has\n' >&2
}

# apt-get install -y of "$@". A missing index (a security suite caught mid-sync) hides the
# versions that Multi-Arch: same packages of the other architecture must match, and apt then
# reports unmet dependencies: one more try preferring the release's own versions installs them.
apt_install() {
    local codename
    apt_get install -y -q --no-install-recommends "$@" && return 0
    [ "$APT_INDEX_FAILED" = 1 ] && grep -q 'unmet dependencies\|held broken packages' <<<"$APT_OUTPUT" ||
        return 1
    codename=$(. /etc/os-release 2>/dev/null && printf '%s' "${VERSION_CODENAME:-}")
    [ -n "$codename" ] || return 1
    printf "warning: retrying the install with the %s release's own versions, which lack the newest security fixes; this cannot help where amd64 packages are already newer than the release's (apt never downgrades)\n" \
        "$codename" >&2
    apt_get install -y -q --no-install-recommends -o "APT::Default-Release=$codename" "$@"
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
    apt_update && apt_install "${missing[@]}" || return 1
    mapfile -t missing < <(missing_packages "$@")
    if [ "${#missing[@]}" -ne 0 ]; then
        printf 'error: still missing after install: %s\n' "${missing[*]}" >&2
        return 1
    fi
}
