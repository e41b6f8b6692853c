#!/usr/bin/env bash
# The package install of the scripts (scripts/apt.sh) against an apt-get stand-in: when an index
# failed to download and the install then meets unmet dependencies, it is tried once more with
# the release's own versions, and says what that costs; without a failed index it is not.
set -euo pipefail
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir "$TMP/bin"

# apt-get: records each call; update fails as a mirror caught mid-sync does when FAIL_INDEX=1;
# install meets unmet dependencies unless the release is pinned.
cat >"$TMP/bin/apt-get" <<'STAND_IN'
#!/usr/bin/env bash
printf '%s\n' "$*" >>"$STATE/calls"
case " $* " in
*" update "*)
    if [ "$FAIL_INDEX" = 1 ]; then
        echo "E: Failed to fetch http://mirror/debian-security/dists/x/main/binary-i386/Packages.xz  File has unexpected size (100 != 200). Mirror sync in progress?"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100
    fi ;;
*" install "*)
    if [[ " $* " != *" APT::Default-Release="* ]]; then
        echo "The following packages have unmet dependencies:"
        echo " tdpkg : Depends: tdlib (= 1.0-1) but 1.0-1+deb1 is to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
    fi
    touch "$STATE/installed" ;;
esac
STAND_IN
cat >"$TMP/bin/dpkg-query" <<'STAND_IN'
#!/usr/bin/env bash
[ -e "$STATE/installed" ] && { printf installed; exit 0; }
exit 1
STAND_IN
# The retries' waits, and root rights where the test is not root.
printf '#!/bin/sh\nexit 0\n' >"$TMP/bin/sleep"
printf '#!/bin/sh\nexec "$@"\n' >"$TMP/bin/sudo"
chmod +x "$TMP/bin/"*

codename=$(. /etc/os-release && printf '%s' "${VERSION_CODENAME:-}")
[ -n "$codename" ] || { echo "FAIL: /etc/os-release names no VERSION_CODENAME"; exit 1; }

fail=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi; }

# install FAIL_INDEX: runs install_packages tdpkg in a fresh state; its status in $TMP/rc.
install() {
    rm -rf "$TMP/state" && mkdir "$TMP/state"
    local rc=0
    STATE=$TMP/state FAIL_INDEX=$1 PATH="$TMP/bin:$PATH" \
        bash -c 'source "$1/scripts/apt.sh" && install_packages tdpkg' _ "$REPO" \
        >"$TMP/out" 2>"$TMP/err" || rc=$?
    echo "$rc" >"$TMP/rc"
}

install 1
check "after a failed index, the install succeeds on its retry" '[ "$(cat "$TMP/rc")" = 0 ]'
check "the retry pins the release ($codename)" \
    'grep -q "^-o DPkg::Lock::Timeout=900 install .*-o APT::Default-Release=$codename tdpkg\$" "$TMP/state/calls"'
check "one install without the pin, one with it" \
    '[ "$(grep -c " install " "$TMP/state/calls")" = 2 ] && [ "$(grep -c Default-Release "$TMP/state/calls")" = 1 ]'
check "one warning line names the missing security fixes and the limit of the retry" \
    '[ "$(grep -c "warning: retrying the install with the $codename release.s own versions, which lack the newest security fixes; this cannot help where amd64 packages are already newer than the release.s (apt never downgrades)" "$TMP/err")" = 1 ]'

install 0
check "with every index there, unmet dependencies fail without a retry" \
    '[ "$(cat "$TMP/rc")" != 0 ] && [ "$(grep -c " install " "$TMP/state/calls")" = 1 ] && ! grep -q retrying "$TMP/err"'

[ "$fail" = 0 ] || { echo "--- stderr of the last run:"; cat "$TMP/err"; }
exit "$fail"
