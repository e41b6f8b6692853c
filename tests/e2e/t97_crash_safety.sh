# Killed at any moment, Tandrel loses no clip it reported stored and leaves a sound database:
# a stream of distinct copies, then kill -9 of Tandrel.exe and the wine server at a random
# moment; the file must pass integrity_check, every clip the log reported as stored ("Finished
# with text clip - done", written after the commit) must be in it, and the next start must be a
# normal one (the file is not set aside as damaged). CRASH_LOOPS sets the number of rounds.
loops=${CRASH_LOOPS:-3}
first_start
wait_watching
data=$(data_dir)

stored_reported() { grep -ac "Finished with text clip - done" "$data/tandrel.log" 2>/dev/null || true; }
stream_rows() { db "select count(*) from cTbl where cText like 'crash round $1 copy %'"; }

for round in $(seq 1 "$loops"); do
    # Copies in X11 in the background, each distinct, 50 ms apart, while the kill comes at a
    # random moment. Each xclip ends when the next copy takes the selection.
    (
        for n in $(seq 1 80); do
            printf 'crash round %s copy %s' "$round" "$n" | xclip -quiet -selection clipboard 2>/dev/null &
            echo $! >> "$TEST_DIR/xclips"
            sleep 0.05
        done
        wait
    ) &
    streamer=$!
    sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 0.5 + (r % 300) / 100 }')"
    before_kill=$(stored_reported)
    kill -9 "$TANDREL_PID" 2>/dev/null
    wineserver -k9 >/dev/null 2>&1
    kill "$streamer" 2>/dev/null
    xargs -r kill 2>/dev/null < "$TEST_DIR/xclips"
    : > "$TEST_DIR/xclips"
    wait "$streamer" 2>/dev/null
    wineserver -w >/dev/null 2>&1
    # The killed server's winedevice.exe would outlive the whole test.
    end_orphans_of_prefix

    check=$(sqlite3 -batch -noheader "$data/tdclips.db" "PRAGMA integrity_check")
    [ "$check" = "ok" ] || fail "round $round: integrity_check says '$check'"
    reported=$(stored_reported)
    [ "$reported" -ge "$before_kill" ] || reported=$before_kill
    rows=$(stream_rows "$round")
    # Every clip of the stream was distinct, so each reported store is one row of its own.
    [ "$rows" -ge "$reported" ] || fail "round $round: the log reported $reported stores, the database holds $rows"
    note "round $round: $reported reported, $rows rows, integrity ok"

    start_tandrel
    wait_main_window 90
    wait_watching
    ls "$data" | grep -q 'tdclips.db.bad' && fail "round $round: the database was set aside as damaged at the restart"
    # The log starts afresh with each run: reported stores count from here.
done
end_session
