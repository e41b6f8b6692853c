#!/usr/bin/env bash
# Installs what the Win32 build (Tandrel.exe) and its end-to-end tests need:
#   - the MinGW-w64 cross compiler and zlib for it,
#   - Wine, Xvfb and the X11 helpers the end-to-end tests use,
#   - SQLite, libpng and libjpeg, cross-built from Debian's own source
#     packages as static libraries into
#       ${TANDREL_DEPS_DIR:-$HOME/.cache/tandrel-deps}/<triple>/{include,lib}
# for the 32-bit build we ship (i686-w64-mingw32, 32-bit Wine), or with
# TANDREL_WIN_ARCH=x86_64 for the 64-bit build that runs where the kernel runs
# no 32-bit program (x86_64-w64-mingw32, 64-bit Wine; scripts/windows-arch.sh).
#
# Safe to run again: when everything is in place it returns at once, without
# apt and without building. Set TANDREL_DEPS_REBUILD=1 to rebuild the
# libraries. This script never starts Wine.
set -euo pipefail
shopt -s inherit_errexit

# Bump when the way the libraries are built changes: a new value rebuilds.
RECIPE=3

ARCH=${TANDREL_WIN_ARCH:-i686}
TRIPLE=$ARCH-w64-mingw32
DEPS_DIR=${TANDREL_DEPS_DIR:-$HOME/.cache/tandrel-deps}
PREFIX=$DEPS_DIR/$TRIPLE
WORK=$DEPS_DIR/work
STAMP_DIR=$PREFIX/.stamps
STAMP=$PREFIX/.tandrel-deps-stamp
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TOOLCHAIN=$REPO/cmake/mingw-$ARCH.cmake
JOBS=$(nproc 2>/dev/null || echo 2)
SRC_LIST=/etc/apt/sources.list.d/tandrel-deb-src

# The toolchain file reads the prefix from here.
export TANDREL_DEPS_DIR=$DEPS_DIR
export DEBIAN_FRONTEND=noninteractive

# What the library builds need, and the helpers of the end-to-end tests (xdotool types on the
# X display)
PACKAGES=(
    libz-mingw-w64-dev build-essential cmake ninja-build make nasm tcl dpkg-dev xz-utils
    xvfb xauth xclip x11-utils imagemagick xdotool fonts-wine
)
# The cross compiler, and Wine of the same width with what it loads at run time (window system
# extensions for the X11 driver, including XFixes for clipboard change events)
X11_LIBS=(libxrender1 libxrandr2 libxfixes3 libxcursor1 libxi6 libxinerama1 libxcomposite1 libxxf86vm1)
case $ARCH in
    i686) PACKAGES+=(g++-mingw-w64-i686 wine wine32:i386 "${X11_LIBS[@]/%/:i386}") ;;
    # By architecture: the i386 ones alone would count as installed.
    x86_64) PACKAGES+=(g++-mingw-w64-x86-64-posix wine wine64 "${X11_LIBS[@]/%/:$(dpkg --print-architecture)}") ;;
    *) printf '[windows-deps] error: TANDREL_WIN_ARCH is %s; it can be i686 or x86_64\n' "$ARCH" >&2; exit 1 ;;
esac

# Files that must exist for the libraries to count as installed.
OUTPUTS=(
    include/sqlite3.h lib/libsqlite3.a
    include/png.h include/pngconf.h include/pnglibconf.h lib/libpng16.a lib/libpng.a
    include/jpeglib.h include/jconfig.h include/jmorecfg.h include/jerror.h lib/libjpeg.a
)

START=$(date +%s)
log() { printf '[windows-deps %4ds] %s\n' "$(( $(date +%s) - START ))" "$*"; }
die() { printf '[windows-deps] error: %s\n' "$*" >&2; exit 1; }

source "$REPO/scripts/apt.sh"

# Only the 32-bit build needs the i386 architecture.
have_i386() { [ "$ARCH" != i686 ] || dpkg --print-foreign-architectures | grep -qx i386; }

libs_done() {
    local f
    [ "${TANDREL_DEPS_REBUILD:-0}" = 1 ] && return 1
    [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "recipe=$RECIPE" ] || return 1
    for f in "${OUTPUTS[@]}"; do [ -f "$PREFIX/$f" ] || return 1; done
}

# ---------------------------------------------------------------- fast path
mapfile -t MISSING < <(missing_packages "${PACKAGES[@]}")
if have_i386 && [ "${#MISSING[@]}" -eq 0 ] && libs_done; then
    log "everything already installed (libraries in $PREFIX)"
    exit 0
fi

# ------------------------------------------------------------- apt sources
if ! have_i386; then
    log "adding the i386 architecture"
    "${SUDO[@]}" dpkg --add-architecture i386
fi

# Prints deb-src stanzas for the Debian deb822 stanzas of the given .sources
# files that have no deb-src yet.
debsrc_from_deb822() {
    awk '
        function flush(  i) {
            if (n > 0 && isdeb && !hassrc && enabled && debian) {
                print "Types: deb-src"
                for (i = 1; i <= n; i++) print lines[i]
                print ""
            }
            n = 0; isdeb = 0; hassrc = 0; enabled = 1; debian = 0
        }
        BEGIN { n = 0; enabled = 1 }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        {
            key = tolower($1)
            if (key == "types:") {
                for (i = 2; i <= NF; i++) {
                    if ($i == "deb") isdeb = 1
                    if ($i == "deb-src") hassrc = 1
                }
                next
            }
            if (key == "enabled:" && tolower($2) == "no") enabled = 0
            if (key == "uris:" && $0 ~ /debian/) debian = 1
            lines[++n] = $0
        }
        END { flush() }
    ' "$@"
}

# Prints deb-src lines for the Debian "deb" lines of classic .list files that
# have no matching deb-src line.
debsrc_from_list() {
    local line rest
    while IFS= read -r line; do
        rest=${line#deb }
        grep -hqsF -x "deb-src $rest" "$@" || printf 'deb-src %s\n' "$rest"
    done < <(grep -hsE '^deb[[:space:]]' "$@" | grep -E 'debian' | sed 's/[[:space:]]\{1,\}/ /g' | sort -u)
}

enable_deb_src() {
    if [ -s "$SRC_LIST.sources" ] || [ -s "$SRC_LIST.list" ]; then
        return 0
    fi
    local sources=() lists=() f out
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && sources+=("$f")
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] && lists+=("$f")
    done
    if [ "${#sources[@]}" -gt 0 ]; then
        # One file at a time: a stanza ends at the end of its file.
        out=""
        for f in "${sources[@]}"; do
            out+=$(debsrc_from_deb822 "$f")
            out+=$'\n\n'
        done
        if [ -n "$(printf '%s' "$out" | tr -d '[:space:]')" ]; then
            log "enabling deb-src (deb822) in $SRC_LIST.sources"
            printf '# Source package entries for apt-get source (added by Tandrel scripts)\n%s\n' \
                "$out" | cat -s | "${SUDO[@]}" tee "$SRC_LIST.sources" >/dev/null
        fi
    fi
    if [ "${#lists[@]}" -gt 0 ]; then
        out=$(debsrc_from_list "${lists[@]}")
        if [ -n "$out" ]; then
            log "enabling deb-src (sources.list) in $SRC_LIST.list"
            printf '# Source package entries for apt-get source (added by Tandrel scripts)\n%s\n' \
                "$out" | "${SUDO[@]}" tee "$SRC_LIST.list" >/dev/null
        fi
    fi
}
enable_deb_src

log "apt-get update"
apt_update

mapfile -t MISSING < <(missing_packages "${PACKAGES[@]}")
if [ "${#MISSING[@]}" -gt 0 ]; then
    log "installing ${#MISSING[@]} packages: ${MISSING[*]}"
    apt_install "${MISSING[@]}" || die "apt-get install failed"
    mapfile -t MISSING < <(missing_packages "${PACKAGES[@]}")
    [ "${#MISSING[@]}" -eq 0 ] || die "still missing after install: ${MISSING[*]}"
else
    log "all packages already installed"
fi

if libs_done; then
    log "libraries already built in $PREFIX"
    exit 0
fi

# ------------------------------------------------------- library cross builds
if [ -x "/usr/bin/$TRIPLE-gcc-posix" ]; then
    CC=$TRIPLE-gcc-posix
else
    CC=$TRIPLE-gcc
fi
AR=$TRIPLE-ar
[ -f "$TOOLCHAIN" ] || die "toolchain file not found: $TOOLCHAIN"

mkdir -p "$WORK" "$PREFIX/include" "$PREFIX/lib" "$STAMP_DIR"
rm -f "$STAMP"
# Build from inside the work folder, so that nothing can land in the caller's
# folder (some builds resolve relative install paths against it).
cd "$WORK"

# run LOGFILE CMD...: runs CMD with its output in LOGFILE; on failure shows
# the end of the log and stops.
run() {
    local logfile=$1; shift
    if ! "$@" >>"$logfile" 2>&1; then
        printf '[windows-deps] command failed: %s\n' "$*" >&2
        printf '[windows-deps] last lines of %s:\n' "$logfile" >&2
        tail -n 40 "$logfile" >&2
        exit 1
    fi
}

# fetch NAME: unpacks Debian's source package NAME into $WORK/NAME and prints
# the source tree's path. Tries the candidate version first, then every other
# version the sources offer, newest first (an archive may lack the files of
# one version).
fetch() {
    local name=$1 dir=$WORK/$1 logfile=$WORK/$1.log src want
    : >"$logfile"
    for want in "$name" $(apt-cache showsrc --only-source "$name" 2>/dev/null |
                          awk '/^Version:/ { print $2 }' | sort -u -r -V |
                          sed "s/^/$name=/"); do
        rm -rf "$dir" && mkdir -p "$dir"
        # apt-get source drops privileges for the download where it can.
        chown _apt "$dir" 2>/dev/null || true
        if (cd "$dir" && apt-get source -q --only-source "$want") >>"$logfile" 2>&1; then
            src=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1)
            if [ -n "$src" ]; then
                printf '%s\n' "$src"
                return 0
            fi
        fi
        printf '[windows-deps] apt-get source %s failed, trying another version\n' "$want" >&2
    done
    printf '[windows-deps] last lines of %s:\n' "$logfile" >&2
    tail -n 20 "$logfile" >&2
    die "could not fetch the source package $name (is deb-src enabled?)"
}

# stage_copy STAGE: copies the headers and static libraries of an install
# staging folder into the prefix (nothing else: no tools, docs, pkg-config).
stage_copy() {
    local stage=$1
    cp -R "$stage/include/." "$PREFIX/include/"
    find "$stage/lib" -maxdepth 1 -name '*.a' ! -name '*.dll.a' -exec cp -P {} "$PREFIX/lib/" \;
}

cmake_cross() {
    local logfile=$1 src=$2 build=$3 stage=$4; shift 4
    rm -rf "$build" "$stage"
    run "$logfile" cmake -S "$src" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$stage" \
        "$@"
    run "$logfile" cmake --build "$build" -j "$JOBS"
    run "$logfile" cmake --install "$build"
}

build_sqlite() {
    local name=sqlite3 logfile=$WORK/sqlite3.log src amalg
    log "sqlite3: fetching Debian source"
    src=$(fetch "$name")
    log "sqlite3: source $(basename "$src")"
    amalg=$(find "$src" -maxdepth 2 -name sqlite3.c -print -quit)
    if [ -z "$amalg" ]; then
        log "sqlite3: generating the amalgamation (make sqlite3.c)"
        mkdir -p "$src/bld-amalgamation"
        (cd "$src/bld-amalgamation" &&
            run "$logfile" ../configure --disable-tcl --disable-readline &&
            run "$logfile" make -j "$JOBS" sqlite3.c)
        amalg=$src/bld-amalgamation/sqlite3.c
    fi
    [ -f "$amalg" ] || die "sqlite3.c not found"
    local dir; dir=$(dirname "$amalg")
    log "sqlite3: compiling the amalgamation with $CC"
    # Default rollback journal; thread-safe; no extension loading. Column
    # metadata, FTS5 (the quick paste index) and the variable limit match
    # Debian's native libsqlite3.
    # Reads and writes seek and then transfer, without an OVERLAPPED offset:
    # under Wine each overlapped transfer costs one more wine server request.
    run "$logfile" "$CC" -O2 -DNDEBUG \
        -DSQLITE_THREADSAFE=1 \
        -DSQLITE_WIN32_NO_OVERLAPPED \
        -DSQLITE_OMIT_LOAD_EXTENSION \
        -DSQLITE_ENABLE_COLUMN_METADATA \
        -DSQLITE_ENABLE_FTS5 \
        -DSQLITE_MAX_VARIABLE_NUMBER=250000 \
        -c "$amalg" -o "$dir/sqlite3-mingw.o"
    rm -f "$dir/libsqlite3.a"
    run "$logfile" "$AR" rcs "$dir/libsqlite3.a" "$dir/sqlite3-mingw.o"
    cp "$dir/sqlite3.h" "$PREFIX/include/"
    [ -f "$dir/sqlite3ext.h" ] && cp "$dir/sqlite3ext.h" "$PREFIX/include/"
    cp "$dir/libsqlite3.a" "$PREFIX/lib/"
    log "sqlite3: installed libsqlite3.a"
}

build_libpng() {
    local name=libpng1.6 logfile=$WORK/libpng1.6.log src
    log "libpng: fetching Debian source"
    src=$(fetch "$name")
    log "libpng: source $(basename "$src"); building"
    cmake_cross "$logfile" "$src" "$src/build-mingw" "$WORK/stage-libpng" \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DPNG_FRAMEWORK=OFF \
        -DZLIB_ROOT=/usr/$TRIPLE -DZLIB_USE_STATIC_LIBS=ON \
        -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_EXECUTABLES=ON \
        -DSKIP_INSTALL_FILES=ON -DSKIP_INSTALL_EXPORT=ON
    stage_copy "$WORK/stage-libpng"
    # One name for both spellings, whatever this libpng version installs.
    if [ -f "$PREFIX/lib/libpng16.a" ] && [ ! -f "$PREFIX/lib/libpng.a" ]; then
        cp "$PREFIX/lib/libpng16.a" "$PREFIX/lib/libpng.a"
    elif [ -L "$PREFIX/lib/libpng.a" ]; then
        cp --remove-destination "$(readlink -f "$PREFIX/lib/libpng.a")" "$PREFIX/lib/libpng.a"
    fi
    log "libpng: installed libpng16.a"
}

build_libjpeg() {
    local name=libjpeg-turbo logfile=$WORK/libjpeg-turbo.log src
    log "libjpeg: fetching Debian source"
    src=$(fetch "$name")
    log "libjpeg: source $(basename "$src"); building (SIMD with nasm)"
    cmake_cross "$logfile" "$src" "$src/build-mingw" "$WORK/stage-libjpeg" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF \
        -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
        -DCMAKE_ASM_NASM_COMPILER=nasm
    stage_copy "$WORK/stage-libjpeg"
    log "libjpeg: installed libjpeg.a"
}

# Each library has its own stamp, so that a failure in one does not rebuild
# the others on the next run.
for lib in sqlite libpng libjpeg; do
    if [ "${TANDREL_DEPS_REBUILD:-0}" != 1 ] && [ -f "$STAMP_DIR/$lib-$RECIPE" ]; then
        log "$lib: already built"
        continue
    fi
    rm -f "$STAMP_DIR/$lib-"*
    "build_$lib"
    touch "$STAMP_DIR/$lib-$RECIPE"
done

# The source trees are large (SQLite's carries its documentation); keep only
# the build logs.
rm -rf "$WORK/sqlite3" "$WORK/libpng1.6" "$WORK/libjpeg-turbo" \
       "$WORK/stage-libpng" "$WORK/stage-libjpeg"

for f in "${OUTPUTS[@]}"; do
    [ -f "$PREFIX/$f" ] || die "missing after build: $PREFIX/$f"
done
printf 'recipe=%s\n' "$RECIPE" >"$STAMP"
log "done: static libraries in $PREFIX/lib, headers in $PREFIX/include"
