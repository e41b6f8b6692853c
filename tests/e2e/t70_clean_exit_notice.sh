# "Clean Database and Exit Tandrel" (command 561) shows the shutdown notice, a
# window titled just "Tandrel", while the database is compacted, then ends.
first_start
end_session
# Enough to compact (about 60 MB) that the notice stays up a while on a quiet machine too.
db "with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000)
    insert into cTbl (cDate,cSet,cRTFsw,cHTMLsw,cImageSW,cSource,cNote,cText,cRTF,cHTML)
    select '2024-01-02  03:04:05','td_clips','N','N','N',' ',' ','a clip to compact ' || hex(randomblob(300)),' ',' ' from n"
start_tandrel
wait_main_window
# The notice may last well under a second: its watcher is started (and given time to start
# polling) before the command is sent.
td waitwindow "Tandrel" 60 visible exact >/dev/null &
notice_watcher=$!
sleep 3
td send "$MAIN_TITLE" 0x111 561 0 >/dev/null || fail "cannot send the command"
wait "$notice_watcher" || fail "no shutdown notice appeared"
screenshot e2e-shutdown-notice
wait_exit "$TANDREL_PID" 120 || fail "Tandrel.exe still runs after the clean exit"
last=$(tail -n1 "$(data_dir)/tandrel.log")
[[ $last == *"Program ended "$'\r' ]] || fail "the log ends with '$last'"
