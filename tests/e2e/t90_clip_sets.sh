# A set is created, chosen and deleted through the buttons of the Clip Sets tab,
# with a name holding a quote and a Windows-1252 byte; the database, the set
# folders and tandrel.ini follow; the program then ends at log-off.
first_start
wait_watching
data=$(data_dir)
name="Caf\xe9 'notes'"             # as the helper reads and writes it
name_bytes=$(printf "$name")       # as the database and tandrel.ini hold it
folder="$data/sets/"$'Caf\xc3\xa9 \'notes\''   # as Wine names it on Linux

# Exactly this "<class> <visible|hidden> <text>" among the main window's controls.
sets_listed() { [ "$(list_captions "$SET_LIST" | tr '\n' '|')" = "$1" ]; }
set_row() { list_rows "$SET_LIST" | n=$1 awk -F'\t' '$2 == ENVIRON["n"] { split($1, r, " "); print r[1] }'; }
set_selected() {
    list_rows "$SET_LIST" | n=$1 awk -F'\t' '$2 == ENVIRON["n"] { split($1, r, " "); found = r[2] == 1 } END { exit !found }'
}
click_set() {
    local row
    row=$(set_row "$1")
    [ -n "$row" ] || fail "the set list has no '$1': $(list_captions "$SET_LIST" | tr '\n' '|')"
    td listclick "$MAIN_TITLE" "$SET_LIST" "$row" >/dev/null || fail "cannot click the row of '$1'"
}
select_set() {
    click_set "$1"
    wait_until 5 set_selected "$1" || fail "a click does not select '$1'"
}
sets_in_db() { db "select count(*) from Sets where hex(setName)='$(hex_of "$name_bytes")'"; }
set_in_db() { [ "$(sets_in_db)" = 1 ]; }
set_not_in_db() { [ "$(sets_in_db)" = 0 ]; }
active_in_ini() { tr -d '\r' 2>/dev/null < "$data/tandrel.ini" | sed -n 's/^ActiveClipSet = //p'; }
ini_names() { [ "$(active_in_ini)" = "$1" ]; }
clip_count_is() { shows "Edit visible $1"; }

for n in 1 2 3; do
    td settext "clip number $n of the main set" --title "Window $n" >/dev/null || fail "cannot copy"
done
in_main() { [ "$(db "select count(*) from cTbl where cSet='td_clips'")" = "$1" ]; }
wait_until 15 in_main 4 || fail "the copies did not reach td_clips"

press "'Set' Actions"
wait_until 10 shows "Button visible Change Active Set" || fail "'Set' Actions does not show the Clip Sets tab"
shows "Button visible Clip Content" || fail "'Set' Actions is not captioned 'Clip Content' on the Clip Sets tab"
sets_listed "td_clips|td_trash|" || fail "sets at the start: $(list_captions "$SET_LIST" | tr '\n' '|')"

# A name that is a path is refused.
press "Create New Set"
td setedit "New Set" 'a/b' >/dev/null || fail "no 'New Set' input box"
td press "New Set" OK >/dev/null || fail "cannot press OK"
refusal=$(td dialogtext "Name Error" 10) || fail "no 'Name Error' for a/b"
[ "$refusal" = "Sorry, but a/b could not be added" ] || fail "refusal: '$refusal'"
td press "Name Error" OK >/dev/null || fail "cannot close the refusal"
[ "$(db "select count(*) from Sets")" = 2 ] || fail "a/b was added: $(db "select setName from Sets")"

press "Create New Set"
[ "$(td dialogtext "New Set" 10)" = "Enter Name For New Set (1 - 32 Characters)" ] || fail "the input box's prompt"
td setedit "New Set" "$name" >/dev/null || fail "cannot enter the name"
td press "New Set" OK >/dev/null || fail "cannot press OK"
wait_until 10 set_in_db || fail "the new set is not in Sets: $(db "select hex(setName) from Sets")"
wait_until 10 sets_listed "$name|td_clips|td_trash|" \
    || fail "set list after the creation: $(list_captions "$SET_LIST" | tr '\n' '|')"
status_is "Action Complete" || fail "no 'Action Complete' after the creation"
[ -d "$folder" ] || fail "no folder for the new set: $(ls "$data/sets")"
[ "$(active_in_ini)" != "$name_bytes" ] || fail "the new set is active before it was chosen"
# The pointer away from the buttons, so that no tooltip covers them.
td pointer 1010 750 >/dev/null
sleep 1
screenshot e2e-sets

# "Change Active Set" with no set selected asks for one; the click on its row opens it.
press "Change Active Set"
wait_until 10 status_is "Select Set" || fail "no 'Select Set' for a 'Change Active Set' without a selection"
click_set "$name"
wait_until 10 shows "Static visible Active Set = $name" || fail "the new set did not become active"
wait_until 10 ini_names "$name_bytes" || fail "tandrel.ini names '$(active_in_ini)' as the active set"
clip_count_is 0 || fail "the new set does not show as empty"
[ -z "$(list_rows "$CLIP_LIST")" ] || fail "the clip list still shows clips"

td settext "a clip of the new set" --title "Notes Window" >/dev/null || fail "cannot copy"
in_new_set() { [ "$(db "select count(*) from cTbl where hex(cSet)='$(hex_of "$name_bytes")' and cText='a clip of the new set' and cSource='Notes Window'")" = 1 ]; }
wait_until 15 in_new_set || fail "the copy was not stored in the new set: $(db "select cSet, cText from cTbl")"
lists_only_new_clip() { [ "$(list_captions "$CLIP_LIST" | tr '\n' '|')" = "a clip of the new set|" ]; }
wait_until 10 lists_only_new_clip || fail "clip list of the new set: $(list_captions "$CLIP_LIST" | tr '\n' '|')"

# The active set cannot be deleted.
select_set "$name"
press "Delete a Set!"
refusal=$(td dialogtext "Tandrel" 10) || fail "no answer to deleting the active set"
[ "$refusal" = "Sorry, you may not delete either the main, trash or Active set." ] || fail "refusal: '$refusal'"
td press "Tandrel" OK >/dev/null || fail "cannot close the refusal"
set_in_db || fail "the active set was deleted"

# Back to the main set by selecting it first.
select_set td_clips
press "Change Active Set"
wait_until 10 shows "Static visible Active Set = td_clips" || fail "td_clips did not become active again"
wait_until 10 ini_names td_clips || fail "tandrel.ini names '$(active_in_ini)' after the change back"
clip_count_is 4 || fail "td_clips does not show its 4 clips"
! list_captions "$CLIP_LIST" | grep -q "a clip of the new set" || fail "td_clips lists the other set's clip"

# Deleting takes the set's clips, its row and its folder with what is in it, and nothing beside it.
echo kept > "$data/sets/beside.txt"
echo gone > "$folder/inside.txt"
select_set "$name"
press "Delete a Set!"
question=$(td dialogtext "Tandrel" 10) || fail "no question before deleting"
[ "$question" = "Are you sure you want to delete $name" ] || fail "question: '$question'"
td press "Tandrel" Yes >/dev/null || fail "cannot answer Yes"
wait_until 10 set_not_in_db || fail "the set is still in Sets"
[ "$(db "select count(*) from cTbl where hex(cSet)='$(hex_of "$name_bytes")'")" = 0 ] || fail "the set's clips are left"
wait_until 10 sets_listed "td_clips|td_trash|" \
    || fail "set list after the deletion: $(list_captions "$SET_LIST" | tr '\n' '|')"
wait_until 10 status_is "Set Deleted" || fail "no 'Set Deleted'"
[ ! -e "$folder" ] || fail "the set's folder is left: $(ls -R "$folder")"
[ -f "$data/sets/beside.txt" ] && [ -d "$data/sets/td_clips" ] || fail "the deletion took more than the set's folder"
in_main 4 || fail "the main set lost clips"
ini_names td_clips || fail "tandrel.ini names '$(active_in_ini)' after the deletion"

end_session
last=$(tail -n1 "$data/tandrel.log")
[[ $last == *"Program ended "$'\r' ]] || fail "the log ends with '$last'"
