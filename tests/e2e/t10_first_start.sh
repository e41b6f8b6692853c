# A first start on a clean machine: the first-run question, the log's first
# line, the new database with its sets and welcome clip, the window title.
first_start
data=$(data_dir) || fail "no data folder"

first=$(head -n1 "$data/tandrel.log" | tr -d '\r')
[[ $first =~ ^Tandrel[0-9]{4}-[0-9]{2}-[0-9]{2}\ \ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] \
    || fail "first log line is '$first'"

tables=$(db "select name from sqlite_master where type='table' and name in ('cTbl','Sets') order by name" | tr '\n' ' ')
[ "$tables" = "Sets cTbl " ] || fail "tables: '$tables'"
sets=$(db "select setName from Sets order by setName" | tr '\n' ' ')
[ "$sets" = "td_clips td_trash " ] || fail "sets: '$sets'"
[ "$(db "select count(*) from cTbl where cSet='td_clips'")" -ge 1 ] || fail "no welcome clip"

title=$(td findwindow "$MAIN_TITLE" | head -n1)
case $title in
    *" visible Tandrel\x99 Clipboard Assistant") ;;
    *) fail "main window: '$title'" ;;
esac
screenshot e2e-first-start
end_session
