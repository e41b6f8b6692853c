# Combining, duplicating, trashing and moving clips in Tandrel.exe through its buttons, and rows
# dragged onto a set with the mouse (driven by xdotool; Ctrl held duplicates). The database is
# seeded before the start, so each clip is known by its bytes; after every step no clip names a
# set that Sets lacks, and after the exit the moved clips are where they were sent.
data=$(data_dir) || fail "no data folder in the prefix"
mkdir -p "$data"
printf 'Version = 2.8\r\n' > "$data/tandrel.ini"
png_hex=$(convert -size 5x4 xc:'#0ac81e' png:- | od -An -tx1 | tr -d ' \n')
[ -n "$png_hex" ] || fail "no picture to seed"
rtf='{\rtf1\ansi caf\''e9 {\b bold}}'
sqlite3 "$data/tdclips.db" <<SQL || fail "cannot seed the database"
Create Table cTbl (cKey INTEGER PRIMARY KEY AUTOINCREMENT, cDate text, cSet text, cRTFsw text, cHTMLsw text, cImageSW text, cSource Text, cNote text, cText text, cRTF Blob, cHTML text, cImage Blob);
Create Table Sets (setName Text Unique, setID INTEGER PRIMARY KEY AUTOINCREMENT);
insert into Sets (setName) values ('td_clips'), ('td_trash'), ('Work');
insert into cTbl values (null, '2026-11-30  09:00:00', 'td_clips', 'N', 'N', 'Y', 'Paint', ' ', 'picture', ' ', ' ', X'$png_hex');
insert into cTbl values (null, '2026-11-30  09:00:01', 'td_clips', 'Y', 'N', 'N', 'Writer', ' ', 'rich', '$(printf '%s' "$rtf" | sed "s/'/''/g")', ' ', null);
insert into cTbl values (null, '2026-11-30  09:00:02', 'td_clips', 'N', 'N', 'N', 'Notes', ' ', 'A1', ' ', ' ', null);
insert into cTbl values (null, '2026-11-30  09:00:03', 'td_clips', 'N', 'N', 'N', 'Notes', ' ', 'B2', ' ', ' ', null);
SQL

start_tandrel
wait_main_window
wait_watching

click_clip() { td listclick "$MAIN_TITLE" "$CLIP_LIST" "$@" >/dev/null || fail "cannot click clip row $1"; sleep 0.7; }
captions_are() { [ "$(list_captions "$CLIP_LIST" | tr '\n' '|')" = "$1" ]; }
no_orphans() {
    [ "$(db "select count(*) from cTbl where cSet not in (select setName from Sets)")" = 0 ] \
        || fail "clips name a set that is gone: $(db "select cSet, cText from cTbl where cSet not in (select setName from Sets)")"
}
in_set() { db "select cText from cTbl where cSet = '$1' order by cKey" | tr '\n' '|'; }
set_is() { [ "$(in_set "$1")" = "$2" ]; }
set_row() { list_rows "$SET_LIST" | n=$1 awk -F'\t' '$2 == ENVIRON["n"] { split($1, r, " "); print r[1] }'; }

wait_until 15 captions_are "B2|A1|rich|picture|" || fail "rows at the start: $(list_captions "$CLIP_LIST" | tr '\n' '|')"

# Combine Selected: the two top rows, read top down, into one new clip on top.
click_clip 0
td listselect "$MAIN_TITLE" "$CLIP_LIST" 0 1 >/dev/null || fail "cannot select two rows"
[ "$(list_rows "$CLIP_LIST" | awk '$2 == 1' | wc -l)" = 2 ] || fail "the two rows are not selected"
press "Combine Selected|Join Selected"
combined() { [ "$(db "select hex(cText) || ' ' || cSource from cTbl where cKey = 5")" = "$(hex_of $'B2\r\nA1') Tandrel Combined" ]; }
wait_until 10 combined || fail "the combined clip: $(db "select cKey, hex(cText), cSource from cTbl where cKey > 4")"
wait_until 10 status_is "Action Complete" || fail "no 'Action Complete' after the combine"
no_orphans

# The target: 'Set' Actions shows the sets; Work is chosen and opened.
press "'Set' Actions"
wait_until 10 shows "Button visible Change Active Set" || fail "no Clip Sets tab"
row=$(set_row Work)
[ -n "$row" ] || fail "the set list has no Work"
td listclick "$MAIN_TITLE" "$SET_LIST" "$row" >/dev/null
sleep 0.7
press "Open Target Set"
wait_until 10 status_is "Target Opened" || fail "the target did not open"
shows "Static visible  Target = Work" || fail "no target label"
# Opening a target goes back to the clip's tab; the set buttons wait on the Clip Sets tab.
shows "Button hidden Close Target Set" || fail "the button does not offer to close the target"

# Duplicates of the rich text clip and the picture keep their bytes exactly.
for clip in rich picture; do
    r=$(list_rows "$CLIP_LIST" | c=$clip awk -F'\t' '{ t = $2; sub(/ +$/, "", t) } t == ENVIRON["c"] { split($1, a, " "); print a[1] }')
    click_clip "$r"
    press "Dup In Target"
    dup_done() { [ "$(db "select count(*) from cTbl where cSet = 'Work' and cText = '$clip'")" = 1 ]; }
    wait_until 10 dup_done || fail "'$clip' was not duplicated into Work"
done
same() { [ "$(db "select cDate, cSource, cRTFsw, hex(cRTF), cImageSW, hex(cImage) from cTbl where cSet = '$1' and cText = '$2'")" = \
           "$(db "select cDate, cSource, cRTFsw, hex(cRTF), cImageSW, hex(cImage) from cTbl where cSet = 'td_clips' and cText = '$2'")" ]; }
same Work rich || fail "the rich text copy differs: $(db "select cSet, hex(cRTF) from cTbl where cText = 'rich'")"
same Work picture || fail "the picture copy differs"
[ "$(db "select hex(cImage) from cTbl where cSet = 'Work' and cText = 'picture'")" = "$(echo "$png_hex" | tr 'a-f' 'A-F')" ] \
    || fail "the picture copy is not the seeded picture"
no_orphans

# Move To Trash, then Move To Target: the second clip goes to the open target, not the trash.
click_clip 0
press "Move To Trash"
wait_until 10 captions_are "B2|A1|rich|picture|" || fail "rows after the trash: $(list_captions "$CLIP_LIST" | tr '\n' '|')"
click_clip 0
press "Move To Target|To Target"
wait_until 10 set_is Work "B2|rich|picture|" || fail "Work holds $(in_set Work)"
wait_until 10 status_is "Action Complete" || fail "no 'Action Complete' after the move"
[ "$(db "select hex(cText) from cTbl where cSet = 'td_trash'")" = "$(hex_of $'B2\r\nA1')" ] \
    || fail "the trash holds $(db "select hex(cText) from cTbl where cSet = 'td_trash'")"
no_orphans

# Rows dragged with the mouse onto the set list: A1 moves, rich (Ctrl held at the drop) is copied.
press "'Set' Actions"
wait_until 10 shows "Button visible Change Active Set" || fail "no Clip Sets tab for the drag"
td front "$MAIN_TITLE" >/dev/null
drag_to_work() {   # $1: clip row, $2: "ctrl" to hold Ctrl
    local from to
    from=$(td listpoint "$MAIN_TITLE" "$CLIP_LIST" "$1") || fail "no point for clip row $1"
    to=$(td listpoint "$MAIN_TITLE" "$SET_LIST" "$(set_row Work)") || fail "no point for the Work row"
    set -- $from $to "${2:-}"
    xdotool mousemove "$1" "$2" mousedown 1 sleep 0.2 mousemove "$(( $1 + 8 ))" "$(( $2 + 8 ))" sleep 0.3 \
        mousemove "$(( ($1 + $3) / 2 ))" "$(( ($2 + $4) / 2 ))" sleep 0.3 mousemove "$3" "$4" sleep 0.3
    [ "$5" = ctrl ] && xdotool keydown Control_L sleep 0.3
    xdotool mouseup 1 sleep 0.5
    [ "$5" = ctrl ] && xdotool keyup Control_L
    sleep 1
}
click_clip 0
drag_to_work 0
wait_until 10 set_is Work "A1|B2|rich|picture|" || fail "the drag did not move A1: Work holds $(in_set Work)"
wait_until 10 captions_are "rich|picture|" || fail "rows after the drag: $(list_captions "$CLIP_LIST" | tr '\n' '|')"
screenshot e2e-after-drag
click_clip 0
drag_to_work 0 ctrl
wait_until 10 set_is Work "A1|B2|rich|picture|rich|" || fail "the Ctrl drag did not copy rich: Work holds $(in_set Work)"
captions_are "rich|picture|" || fail "the Ctrl drag moved the row: $(list_captions "$CLIP_LIST" | tr '\n' '|')"
no_orphans

end_session
set_is Work "A1|B2|rich|picture|rich|" || fail "after the exit Work holds $(in_set Work)"
set_is td_clips "picture|rich|" || fail "after the exit td_clips holds $(in_set td_clips)"
[ "$(db "select count(*) from cTbl where cSet = 'td_trash'")" = 0 ] || fail "the trash was not emptied"
no_orphans
