#!/usr/bin/env bash
# Fuzzes the readers of untrusted data with libFuzzer, AddressSanitizer and UndefinedBehavior-
# Sanitizer (clang), one target after another.
#   scripts/fuzz.sh [target|all] [seconds]
# A target is a file fuzz/<target>_fuzz.cpp; the default runs all of them, each for the given
# seconds (default 3600) or 10 million executions, whichever comes first. Inputs that widen the
# coverage are kept in build-fuzz/corpus/<target>/; a crash, leak, time-out or memory blow-up is
# copied into fuzz/corpus/<target>/, where the normal tests replay it from then on.
#   FUZZ_JOBS=n  build jobs (default 2);  FUZZ_RUNS=n  executions per target (default 10000000)
set -euo pipefail

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$REPO/build-fuzz
TARGET=${1:-all}
SECONDS_EACH=${2:-3600}
RUNS=${FUZZ_RUNS:-10000000}
JOBS=${FUZZ_JOBS:-2}

log() { printf '[fuzz] %s\n' "$*"; }

bash "$REPO/scripts/install-fuzz-deps.sh"

mkdir -p "$BUILD"
[ -f "$BUILD/.gitignore" ] || printf '*\n' > "$BUILD/.gitignore"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    log "configuring $BUILD with clang"
    CC=clang CXX=clang++ cmake -S "$REPO" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTANDREL_FUZZ=ON >/dev/null
fi

if [ "$TARGET" = all ]; then
    mapfile -t TARGETS < <(ls "$REPO"/fuzz/*_fuzz.cpp | xargs -n 1 basename | sed 's/_fuzz\.cpp$//')
else
    [ -f "$REPO/fuzz/${TARGET}_fuzz.cpp" ] || { log "no target fuzz/${TARGET}_fuzz.cpp"; exit 1; }
    TARGETS=("$TARGET")
fi

log "building ${TARGETS[*]}"
cmake --build "$BUILD" -j "$JOBS" --target "${TARGETS[@]/#/fuzz_}"

failed=0
for t in "${TARGETS[@]}"; do
    work=$BUILD/corpus/$t
    found=$BUILD/found/$t
    seeds=$REPO/fuzz/corpus/$t
    mkdir -p "$work" "$found" "$seeds"
    log "$t: up to $SECONDS_EACH s or $RUNS executions"
    set +e
    (cd "$BUILD" && "./fuzz_$t" -max_total_time="$SECONDS_EACH" -runs="$RUNS" -timeout=10 -rss_limit_mb=2560 \
        -print_final_stats=1 -artifact_prefix="$found/" "$work" "$seeds") >"$BUILD/$t.log" 2>&1
    status=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$BUILD/$t.log" | tail -n 1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$BUILD/$t.log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]*' "$BUILD/$t.log" | tail -n 1)
    log "$t: ${runs:-?} executions, ${speed:-?} a second, ${coverage:-cov: ?}, exit $status (log $BUILD/$t.log)"
    new=0
    for f in "$found"/crash-* "$found"/leak-* "$found"/timeout-* "$found"/oom-* "$found"/slow-unit-*; do
        [ -f "$f" ] || continue
        case $(basename "$f") in slow-unit-*) continue ;; esac
        cp "$f" "$seeds/$(basename "$f")"
        rm -f "$f"
        log "$t: kept $(basename "$f") in fuzz/corpus/$t/"
        new=$((new + 1))
    done
    if [ $status -ne 0 ] || [ $new -ne 0 ]; then
        failed=1
        grep -m 20 -E 'ERROR|SUMMARY|broken:|runtime error' "$BUILD/$t.log" | sed 's/^/  /' || true
    fi
done
[ $failed -eq 0 ] && log "no faults found" || { log "faults found: fix them, then the replay tests pass"; exit 1; }
