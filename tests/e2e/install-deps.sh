#!/usr/bin/env bash
# Installs what the end-to-end tests need to run Tandrel.exe: Wine (with its 32-bit half, or its
# 64-bit one for the 64-bit build where TANDREL_WIN_ARCH=x86_64), a virtual X display, a screenshot tool, the sqlite3 shell, xdotool to type on the display, nsis,
# zip and unzip for the installer, xxd for stored pictures, and a C compiler with the X11 headers
# for the small X11 test program.
# Returns at once when all is there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/apt.sh"

case ${TANDREL_WIN_ARCH:-i686} in
    x86_64) WINE=(wine wine64) ;;
    *) WINE=(wine wine32:i386) ;;
esac
PACKAGES=("${WINE[@]}" xvfb xauth imagemagick sqlite3 xclip x11-utils xdotool nsis zip unzip xxd gcc libc6-dev libx11-dev)

if [ -z "$(missing_packages "${PACKAGES[@]}")" ]; then
    printf '[e2e-deps] all packages already installed\n'
    exit 0
fi
printf '[e2e-deps] installing\n'
install_packages "${PACKAGES[@]}"
printf '[e2e-deps] done\n'
