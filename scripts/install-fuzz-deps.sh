#!/usr/bin/env bash
# Installs what scripts/fuzz.sh needs on top of the native build: Debian's clang and the
# compiler runtime that carries libFuzzer and the sanitizers, of the same version as clang.
# Safe to run again: when everything is there it returns at once.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/apt.sh"

bash "$(dirname "${BASH_SOURCE[0]}")/install-native-deps.sh"

if [ -n "$(missing_packages clang)" ]; then
    printf '[fuzz-deps] installing clang\n'
    install_packages clang
fi
major=$(clang --version | sed -n 's/.*clang version \([0-9]\{1,\}\).*/\1/p' | head -n 1)
[ -n "$major" ] || { printf 'error: cannot tell the version of clang\n' >&2; exit 1; }
# Debian 12 names the runtime libclang-rt-14-dev; releases before it kept it in libclang-common.
runtime=libclang-rt-$major-dev
if ! apt-cache show "$runtime" >/dev/null 2>&1; then
    apt_get update -q || true
    apt-cache show "$runtime" >/dev/null 2>&1 || runtime=libclang-common-$major-dev
fi
if [ -n "$(missing_packages "$runtime")" ]; then
    printf '[fuzz-deps] installing %s\n' "$runtime"
    install_packages "$runtime"
fi
printf '[fuzz-deps] clang %s with %s\n' "$major" "$runtime"
