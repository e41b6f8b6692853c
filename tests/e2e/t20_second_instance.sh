# A second start while the first runs stops at the log with the "Another copy"
# message naming the data folder, and leaves the first instance's log alone.
first_start
first_pid=$TANDREL_PID
data=$(data_dir)
cp "$data/tandrel.log" "$TEST_DIR/log-before"

start_tandrel
second_pid=$TANDREL_PID
text=$(td dialogtext "Tandrel" 60) || fail "the second start showed no message"
expected="Tandrel was unable to start correctly. Another copy may be running. C:\\users\\"
case $text in
    "$expected"*'\Korvane\Tandrel\') ;;
    *) fail "message: '$text'" ;;
esac
td press "Tandrel" OK >/dev/null || fail "cannot press OK"
wait_exit "$second_pid" 30 || fail "the second instance still runs"
cmp -s "$data/tandrel.log" "$TEST_DIR/log-before" || fail "the first instance's log changed"

TANDREL_PID=$first_pid
tandrel_running || fail "the first instance ended"
end_session
