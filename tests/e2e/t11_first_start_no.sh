# Answering No to the first-run question ends the program and leaves no
# settings and no database behind; the data folder and the log exist.
start_tandrel
answer_first_run No
wait_exit "$TANDREL_PID" 30 || fail "Tandrel.exe still runs after No"
data=$(data_dir) || fail "no data folder"
[ -f "$data/tandrel.log" ] || fail "no log"
[ ! -e "$data/tandrel.ini" ] || fail "a settings file was left"
[ ! -e "$data/tdclips.db" ] || fail "a database was left"
