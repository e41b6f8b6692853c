#!/usr/bin/env bash
# Installs the Debian packages that the native (Linux) build, its tests, its benchmarks and the key
# bridge need.
# Safe to run again: when every package is already installed it returns at once.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/apt.sh"

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libpng-dev zlib1g-dev libjpeg62-turbo-dev
    # the key bridge tandrel-keys (X11 with XInput2)
    libx11-dev libxi-dev
)

if [ -z "$(missing_packages "${PACKAGES[@]}")" ]; then
    printf '[native-deps] all packages already installed\n'
    exit 0
fi
printf '[native-deps] installing\n'
install_packages "${PACKAGES[@]}"
printf '[native-deps] done\n'
