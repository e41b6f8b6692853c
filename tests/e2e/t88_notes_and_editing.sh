# Notes, sequence numbers and Text tab editing in Tandrel.exe: a note with a quote and an accent
# through the note prompt, sequencing twice and removing, Replace Clip on an unedited clip, a cut
# that becomes a clip, and Search Clips with the find dialog followed by an edit and Replace Clip.
# A left click on a link in the Text tab opens it with the shell (a recording stand-in for
# xdg-open). Every text is compared as bytes with what the database holds. First, in an empty
# set before any clip was shown, a right click in the editor opens the Text tab's popup, and a
# right click on a picture the Image tab's (568, 567).
record_shell_opens
data=$(data_dir) || fail "no data folder in the prefix"
mkdir -p "$data"
printf 'Version = 2.8\r\nActiveClipSet = Scratch\r\n' > "$data/tandrel.ini"
sqlite3 "$data/tdclips.db" <<'SQL' || fail "cannot seed the database"
Create Table cTbl (cKey INTEGER PRIMARY KEY AUTOINCREMENT, cDate text, cSet text, cRTFsw text, cHTMLsw text, cImageSW text, cSource Text, cNote text, cText text, cRTF Blob, cHTML text, cImage Blob);
Create Table Sets (setName Text Unique, setID INTEGER PRIMARY KEY AUTOINCREMENT);
insert into Sets (setName) values ('td_clips'), ('td_trash'), ('Scratch');
insert into cTbl values (null, '2026-11-30  09:00:00', 'td_clips', 'N', 'N', 'N', 'Editor', 'my note', 'one two', ' ', ' ', null);
insert into cTbl values (null, '2026-11-30  09:00:01', 'td_clips', 'N', 'N', 'N', 'Editor', ' ', 'needle deep down', ' ', ' ', null);
insert into cTbl values (null, '2026-11-30  09:00:02', 'td_clips', 'N', 'N', 'N', 'Editor', ' ', 'nothing here', ' ', ' ', null);
insert into cTbl values (null, '2026-11-30  09:00:03', 'td_clips', 'N', 'N', 'N', 'Editor', ' ', 'line one' || char(10) || 'line two  ', ' ', ' ', null);
SQL

start_tandrel
wait_main_window
wait_watching

# The popups of the Text and Image tabs, each opened by a right click (and its items read where
# the helper can read another program's menu).
popup_at() {
    td front "$MAIN_TITLE" >/dev/null
    xdotool mousemove "$1" "$2" sleep 0.3 click 3
    td popupmenu 10 || fail "no popup menu opened by a right click at $1,$2"
}
shows "Static visible Active Set = Scratch" || fail "the empty set is not active at the start"
point=$(td centre "$MAIN_TITLE" RichEdit) || fail "no editor shown in the empty set"
menu=$(popup_at $point)
td keys escape --hold 50 >/dev/null
case "$menu" in "popup 511 512 513 "*|"popup ?") ;; *) fail "the editor's popup: $menu" ;; esac
td makedib "$TEST_DIR/sketch.dib" 32 24 >/dev/null || fail "cannot make a bitmap"
td setraw CF_DIB "$TEST_DIR/sketch.dib" --title "Sketch Window" >/dev/null || fail "cannot copy the bitmap"
picture_stored() { [ "$(db "select count(*) from cTbl where cSet = 'Scratch' and cImageSW = 'Y'")" = 1 ]; }
wait_until 15 picture_stored || fail "the picture was not stored"
sleep 1
read -r left top right bottom < <(td imagerect "$MAIN_TITLE") || fail "no picture box"
menu=$(popup_at $(( (left + right) / 2 )) $(( (top + bottom) / 2 )))
[ "$menu" = "popup 568 567" ] || [ "$menu" = "popup ?" ] || fail "the picture's popup: $menu"
td keys down down return --hold 50 >/dev/null   # "Save Image as file"
td waitwindow "Select Filename" 10 >/dev/null || fail "567 of the picture's popup asked for no file name"
td press "Select Filename" Cancel >/dev/null || fail "cannot cancel the file name"
wait_until 10 status_is "Not Saved" || fail "no 'Not Saved' after the cancelled save"

# Back to the seeded set.
press "'Set' Actions"
wait_until 10 shows "Button visible Change Active Set" || fail "'Set' Actions does not show the Clip Sets tab"
press "Change Active Set"
wait_until 10 status_is "Select Set" || fail "no 'Select Set'"
main_row=$(list_rows "$SET_LIST" | awk -F'\t' '$2 == "td_clips" { split($1, r, " "); print r[1] }')
td listclick "$MAIN_TITLE" "$SET_LIST" "$main_row" >/dev/null || fail "cannot click td_clips"
wait_until 10 shows "Static visible Active Set = td_clips" || fail "td_clips did not become active"
press "Clip Content"
wait_until 10 shows "Button visible 'Set' Actions" || fail "'Clip Content' does not leave the Clip Sets tab"

row_of() { list_rows "$CLIP_LIST" | c=$1 awk -F'\t' '{ t = $2; sub(/ +$/, "", t) } index(t, ENVIRON["c"]) == 1 { split($1, a, " "); print a[1]; exit }'; }
click_clip() {
    local r
    r=$(row_of "$1")
    [ -n "$r" ] || fail "no row for '$1': $(list_captions "$CLIP_LIST" | tr '\n' '|')"
    td listclick "$MAIN_TITLE" "$CLIP_LIST" "$r" >/dev/null || fail "cannot click '$1'"
    sleep 0.8
}
notes() { db "select hex(cNote) from cTbl where cSet = 'td_clips' order by cKey" | tr '\n' ' '; }
notes_are() { [ "$(notes)" = "$1" ]; }
hexes() { local out="" n; for n in "$@"; do out+="$(hex_of "$n") "; done; printf '%s' "$out"; }

# A note with a quote and a byte above 0x7F, through the prompt.
click_clip "nothing here"
press "Edit Clip 'Note'|Edit 'Note'"
prompt=$(td dialogtext "Tandrel" 15) || fail "no note prompt"
[ "$prompt" = "                         Enter/Update Note Text - (100 char maximum)" ] || fail "prompt: '$prompt'"
td setedit "Tandrel" "it's caf\xe9" >/dev/null || fail "cannot type the note"
td press "Tandrel" OK >/dev/null || fail "no OK in the prompt"
note_stored() { [ "$(db "select hex(cNote) from cTbl where cText = 'nothing here'")" = "$(hex_of $'it\'s caf\xe9')" ]; }
wait_until 10 note_stored || fail "note stored as $(db "select hex(cNote) from cTbl where cText = 'nothing here'")"
original=$(notes)

# Sequence numbers twice, then removed: the prefixes from the top row down, then the notes as they were.
menu_command 522
wait_until 10 status_is "Sequenced" || fail "no 'Sequenced'"
menu_command 522
sleep 1
wait_until 10 notes_are "$(hexes '(>)00130my note' '(>)00120 ' "(>)00110it's caf"$'\xe9' '(>)00100 ')" \
    || fail "notes after sequencing twice: $(notes)"
menu_command 523
wait_until 10 status_is "Cleared" || fail "no 'Cleared'"
wait_until 10 notes_are "$original" || fail "notes after the removal: $(notes) instead of $original"

# Replace Clip on an unedited clip stores the same bytes and trashes the old record.
before=$(db "select hex(cText) from cTbl where cText like 'line one%'")
click_clip "line one"
press "Replace Clip"
replaced() { [ "$(db "select hex(cText) from cTbl where cSet = 'td_trash'")" = "$before" ]; }
wait_until 10 replaced || fail "the trash holds $(db "select hex(cText) from cTbl where cSet = 'td_trash'")"
[ "$(db "select hex(cText) from cTbl where cSet = 'td_clips' and cText like 'line one%'")" = "$before" ] \
    || fail "the replaced clip's text changed: $(db "select hex(cText) from cTbl where cText like 'line one%'")"

# Cut "two" out of "one two": a clip "two" from "Tandrel edit", and "one " left (the old record deleted).
click_clip "one two"
td editsel "$MAIN_TITLE" 4 7 >/dev/null || fail "cannot select in the editor"
press "Cut"
cut_done() { [ "$(db "select count(*) from cTbl where cText = 'two' and cSource = 'Tandrel edit' and cNote = 'my note'")" = 1 ]; }
wait_until 10 cut_done || fail "no clip of the cut text: $(db "select cText, cSource, cNote from cTbl")"
shortened() { [ "$(db "select hex(cText) from cTbl where cSource = 'Editor' and cNote = 'my note'")" = "$(hex_of 'one ')" ]; }
wait_until 10 shortened || fail "the shortened clip: $(db "select cKey, cSet, cSource, cNote, hex(cText) from cTbl")"
[ "$(db "select count(*) from cTbl where cText = 'one two'")" = 0 ] || fail "the clip before the cut is kept"

# Search Clips from the top row, the find dialog's Find Next, an edit of the match, Replace Clip.
click_clip "two"
press "Search Clips"
td dialogtext "Find" 10 >/dev/null || fail "no find dialog"
td setedit "Find" "needle" >/dev/null || fail "cannot type into the find dialog"
td press "Find" "Find Next" >/dev/null || fail "no Find Next"
first_line() { td edittext "$MAIN_TITLE" | head -n1 | sed 's/\\x0d$//'; }
found() { [ "$(first_line)" = "needle deep down" ]; }
wait_until 10 found || fail "the editor shows '$(td edittext "$MAIN_TITLE")'"
sleep 0.5
td edittype "$MAIN_TITLE" "pin" >/dev/null || fail "cannot type over the match"
# The list is made to point at another row without a click: the edit is still the needle clip's.
td listselect "$MAIN_TITLE" "$CLIP_LIST" 0 >/dev/null || fail "cannot select the top row"
press "Replace Clip"
texts() { db "select cText from cTbl where cSet = 'td_clips' and cText not like 'see %' order by cText" | tr '\n' '|'; }
texts_are() { [ "$(texts)" = "$1" ]; }
wait_until 10 texts_are "line one|line two  |nothing here|one |pin deep down|two|" || fail "texts after the search and replace: $(texts)"
td press "Find" Cancel >/dev/null || fail "cannot close the find dialog"
td waitgone "Find" 10 >/dev/null || fail "the find dialog stays"

# A text added from the Text tab is listed at the top, and the copy another program makes next is
# still captured.
click_clip "two"
td editsel "$MAIN_TITLE" 0 -1 >/dev/null || fail "cannot select in the editor"
td edittype "$MAIN_TITLE" "added by hand" >/dev/null || fail "cannot type into the editor"
press "Add Item to Set|Add to Set"
added() { [ "$(db "select count(*) from cTbl where cText like 'added by hand%' and cSource = 'Created by User'")" = 1 ]; }
wait_until 10 added || fail "the text was not added: $(db "select cSource, hex(cText) from cTbl")"
wait_until 10 status_is "Clip Saved" || fail "no 'Clip Saved'"
[ "$(list_captions "$CLIP_LIST" | head -n1)" = "added by hand" ] \
    || fail "the added clip is not listed at the top: $(list_captions "$CLIP_LIST" | tr '\n' '|')"
td settext "copied after adding" --title "After Window" >/dev/null || fail "cannot copy"
copied_after() { [ "$(db "select count(*) from cTbl where cText = 'copied after adding'")" = 1 ]; }
wait_until 15 copied_after || fail "the copy after adding was not captured"
db "delete from cTbl where cText like 'added by hand%' or cText = 'copied after adding'"

# A link in the Text tab, clicked with the mouse.
td settext "see http://example.com/x now" --title "Browser Notes" >/dev/null || fail "cannot copy"
link_stored() { [ "$(db "select count(*) from cTbl where cText like 'see http%'")" = 1 ]; }
wait_until 15 link_stored || fail "the copy with a link was not stored"
click_clip "see http"
point=$(td editpoint "$MAIN_TITLE" 9) || fail "no point for the link"
set -- $point
td front "$MAIN_TITLE" >/dev/null
xdotool mousemove "$1" "$2" sleep 0.3 click 1
opened_is() { [ -f "$opened" ] && [ "$(cat "$opened")" = "$1" ]; }
wait_until 20 opened_is "http://example.com/x" || fail "the link was not opened: '$(cat "$opened" 2>/dev/null)'"
xdotool click 3
sleep 1
td keys escape --hold 50 >/dev/null   # the editor's popup menu
sleep 0.5
[ "$(wc -l < "$opened")" = 1 ] || fail "a right click opened the link too: $(cat "$opened")"

end_session
[ "$(db "select count(*) from cTbl where cSet = 'td_trash'")" = 0 ] || fail "the trash was not emptied at the exit"
[ "$(texts)" = "line one|line two  |nothing here|one |pin deep down|two|" ] || fail "texts after the exit: $(texts)"
