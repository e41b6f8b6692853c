# Sourced by the scripts that run Tandrel.exe under Wine: which Windows build this machine can run.
# Tandrel.exe ships as a 32-bit program, and Wine runs one only where the Linux kernel runs 32-bit
# x86 programs; some kernels are built without that. There the tests and scripts/run.sh run a
# 64-bit build of the same sources under 64-bit Wine instead.
#   TANDREL_WIN_ARCH=i686 or x86_64 overrides the probe.

# True unless the kernel refuses a 32-bit x86 program (an exit(0) assembled on the spot). Where no
# assembler is at hand it cannot tell, and answers yes: the 32-bit build is the one we ship.
kernel_runs_i386() {
    local dir status=0
    dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/exit.s"
    if as --32 -o "$dir/exit.o" "$dir/exit.s" 2>/dev/null && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>/dev/null; then
        "$dir/exit" 2>/dev/null || status=1
    fi
    rm -rf "$dir"
    return $status
}

# Sets WIN_ARCH (i686 or x86_64), WIN_TRIPLE and WIN_BUILD_NAME (that build's folder in the
# repository) to the build this machine runs.
choose_windows_arch() {
    WIN_ARCH=${TANDREL_WIN_ARCH:-}
    if [ -z "$WIN_ARCH" ]; then
        if kernel_runs_i386; then WIN_ARCH=i686; else WIN_ARCH=x86_64; fi
    fi
    case $WIN_ARCH in
        i686) WIN_BUILD_NAME=build-win32 ;;
        x86_64) WIN_BUILD_NAME=build-win64 ;;
        *) printf 'error: TANDREL_WIN_ARCH is %s; it can be i686 or x86_64\n' "$WIN_ARCH" >&2; return 1 ;;
    esac
    WIN_TRIPLE=$WIN_ARCH-w64-mingw32
}

# For the 64-bit build: puts wine and wine-stable first on PATH as 64-bit Wine (Debian's wine
# starts the 32-bit loader whenever wine32 is installed; wineboot and the other tools call
# wine-stable), in folder $1.
use_64bit_wine() {
    local dir=$1/wine64-bin name
    mkdir -p "$dir"
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$dir/$name"
        chmod +x "$dir/$name"
    done
    # Once: the test runner calls this again inside its virtual display.
    case ":$PATH:" in *":$dir:"*) ;; *) export PATH=$dir:$PATH ;; esac
    export WINEARCH=win64
}

# For the scripts that start Tandrel.exe: exports TANDREL_WIN_ARCH and BUILD_DIR (unless set) for
# the build this machine runs, the repository being $1, with 64-bit Wine first on PATH for the
# 64-bit build.
use_runnable_windows_build() {
    choose_windows_arch || exit 1
    export TANDREL_WIN_ARCH=$WIN_ARCH
    export BUILD_DIR=${BUILD_DIR:-$1/$WIN_BUILD_NAME}
    [ "$WIN_ARCH" = i686 ] || use_64bit_wine "$BUILD_DIR"
}
