#!/usr/bin/env bash
# Installs what the end-to-end tests need to run Tandrel.exe: Wine (with its 32-bit half), a
# virtual X display, a screenshot tool, the sqlite3 shell, xdotool to type on the display, nsis,
# zip and unzip for the installer, xxd for stored pictures, and a C compiler with the X11 headers
# for the small X11 test program.
# Returns at once when all is there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/apt.sh"

PACKAGES=(wine wine32:i386 xvfb xauth imagemagick sqlite3 xclip x11-utils xdotool nsis zip unzip xxd gcc libc6-dev libx11-dev)

if [ -z "$(missing_packages "${PACKAGES[@]}")" ]; then
    printf '[e2e-deps] all packages already installed\n'
    exit 0
fi
printf '[e2e-deps] installing\n'
# wine32 is the i386 half of Wine.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${SUDO[@]}" dpkg --add-architecture i386
fi
install_packages "${PACKAGES[@]}"
printf '[e2e-deps] done\n'
