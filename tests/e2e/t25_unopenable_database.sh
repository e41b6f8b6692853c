# A start whose database another program holds ends with a message naming the
# file, leaves no tray icon behind and the file as it was; the next start opens it.
tray_icons() { td children "Wine System Tray" | grep -c "tray_icon visible"; }

first_start
end_session
data=$(data_dir)
clips=$(db "select count(*) from cTbl")

# The sqlite3 shell holds the file until the fifo is written to.
mkfifo "$TEST_DIR/hold"
( echo "BEGIN EXCLUSIVE;"; cat "$TEST_DIR/hold" ) | sqlite3 "$data/tdclips.db" &
holder=$!
sleep 1
start_tandrel
text=$(td dialogtext "Tandrel" 60) || fail "no message about the database"
case $text in
    "Tandrel could not open its clip database C:\\users\\"*'\tdclips.db (database is locked)'*) ;;
    *) fail "message: '$text'" ;;
esac
td press "Tandrel" OK >/dev/null || fail "cannot press OK"
wait_exit "$TANDREL_PID" 30 || fail "Tandrel still runs after the message"
[ "$(tray_icons)" = 0 ] || fail "a tray icon was left behind: $(td children "Wine System Tray" | tr '\n' '|')"
echo > "$TEST_DIR/hold"
wait "$holder"

start_tandrel
wait_main_window
[ "$(tray_icons)" = 1 ] || fail "the next start shows $(tray_icons) tray icons"
[ "$(db "select count(*) from cTbl")" = "$clips" ] || fail "the clips changed"
end_session
