# Backup and restore from the menu: the prompt and its re-entry question, the shell's copy and its
# question before replacing a backup, the restore dialog, the live clips kept aside, garbage
# backups and maintenance copies backed out with every row as it was, capture going on throughout;
# a backup without the active set restored shows the main set after its message.
first_start
data=$(data_dir)
today=$(date +%F)

menu() { td send "$MAIN_TITLE" 0x111 "$1" 0 >/dev/null || fail "menu command $1 not sent"; }
says() { [ "$(td dialogtext "$1" 1)" = "$2" ]; }
says_not() { ! says "$1" "$2"; }
# Waits for a dialog with exactly this title and text, presses a button and waits until it is gone.
answer() {
    wait_until 20 says "$1" "$2" || fail "no dialog \"$1\" saying: $2 (shown: $(td dialogtext "$1" 1))"
    td press "$1" "$3" >/dev/null || fail "cannot press $3 in \"$1\""
    wait_until 10 says_not "$1" "$2" || fail "\"$1\" did not close"
}
# The same for a message that ends in a path: only its file name is compared.
answer_ending() {
    local title=$1 pattern=$2
    wait_until 20 eval 'td dialogtext "$title" 1 | grep -q -- "$pattern"' \
        || fail "no dialog \"$title\" matching: $pattern (shown: $(td dialogtext "$title" 1))"
    td press "$title" OK >/dev/null || fail "cannot press OK in \"$title\""
    wait_until 10 eval '! td dialogtext "$title" 1 | grep -q -- "$pattern"' || fail "\"$title\" did not close"
}
prompt_text() { printf 'Your last backup was  %s on %s\\x0d\nPlease enter a tdclips backup number 1-9' "$1" "$2"; }
# Types an answer into the backup prompt shown with the given number and date.
answer_prompt() {
    wait_until 20 says Tandrel "$(prompt_text "$1" "$2")" || fail "no backup prompt for '$1 on $2': $(td dialogtext Tandrel 1)"
    td setedit Tandrel "$3" >/dev/null || fail "cannot type into the prompt"
    td press Tandrel OK >/dev/null || fail "cannot press OK in the prompt"
}
clips() { db "select count(*) from cTbl" "$@"; }
count_is() { [ "$(clips)" = "$1" ]; }
copy() {
    local before
    before=$(clips)
    td settext "$1" --title "Editor" >/dev/null || fail "cannot copy '$1'"
    wait_until 15 count_is $((before + 1)) || fail "'$1' was not captured"
}
listed() { [ "$(list_rows "$CLIP_LIST" | wc -l)" = "$1" ]; }
every_row() {
    db "select cKey, cDate, cSet, cSource, cNote, hex(cText), hex(cImage) from cTbl order by cKey;
        select setID, setName from Sets order by setID"
}
restore() {
    menu "$1"
    td filedialog "$2" "$3" 20 >/dev/null || fail "no dialog \"$2\""
}
restore_title="Tandrel Database restore: - Please select database to restore."
maintenance_title="Tandrel Database maintenance: - Please select prior database to restore."

copy "first clip"
copy "second clip"
copy "third clip"
backed_up=$(clips)

# "1a" is no number: the question, Yes, and the prompt again.
menu 543
answer_prompt "" Never 1a
answer Tandrel "Invalid specification. Do you wish to re enter?" Yes
answer_prompt "" Never 7
answer Tandrel "Backup completed successfully" OK
[ "$(sqlite3 -batch "$data/tdclips_7.dbk" "select count(*) from cTbl")" = "$backed_up" ] \
    || fail "tdclips_7.dbk does not hold the $backed_up live clips"
grep -q " Backup completed successfully"$'\r'"$" "$data/tandrel.log" || fail "no log line for the backup"

# A second backup to 7, the shell's question answered No: the old backup stays, no success.
copy "not in the backup"
sum=$(md5sum < "$data/tdclips_7.dbk")
menu 543
answer_prompt 7 "$today" 7
td waitwindow "Confirm file overwrite" 20 exact >/dev/null || fail "the shell did not ask before replacing tdclips_7.dbk"
td press "Confirm file overwrite" No >/dev/null || fail "cannot answer No to the shell"
answer Tandrel "Backup did NOT complete successfully" OK
[ "$(md5sum < "$data/tdclips_7.dbk")" = "$sum" ] || fail "the declined backup changed tdclips_7.dbk"

# Restore: the backup's clips come back, the live ones are kept aside, capture goes on.
copy "fourth"
live=$(clips)
restore 544 "$restore_title" tdclips_7.dbk
wait_until 20 count_is "$backed_up" || fail "the restore left $(clips) clips, not $backed_up"
wait_until 10 listed "$backed_up" || fail "the list shows $(list_rows "$CLIP_LIST" | wc -l) clips after the restore"
wait_until 10 status_is "Action Complete" || fail "no 'Action Complete' after the restore"
aside=$(ls "$data" | grep '^tdclips\.db\.pre-restore-' || true)
[ "$(echo "$aside" | wc -l)" = 1 ] && [ -n "$aside" ] || fail "live copies kept aside: '$aside'"
[ "$(sqlite3 -batch "$data/$aside" "select count(*) from cTbl")" = "$live" ] || fail "$aside does not hold the $live live clips"
[ -e "$data/tdclips.db.restoring" ] && fail "the restore left its note behind"
copy "captured after the restore"

# Garbage as a backup and as a maintenance copy: backed out, every row as it was, still capturing.
printf 'g%.0s' $(seq 8192) > "$data/garbage.dbk"
printf 'SQLite format 3\0%4080s' x > "$data/older.dbkm"
before=$(every_row)
restore 544 "$restore_title" garbage.dbk
answer Tandrel "The restored database does not appear to be a valid tdclips database." OK
answer_ending Tandrel '^The Restore was backed out.  C:.*\\Tandrel\\garbage\.dbk$'

[ "$(every_row)" = "$before" ] || fail "the rows changed after the garbage backup"
restore 545 "$maintenance_title" older.dbkm
answer Tandrel "The restored database does not appear to be a valid tdclips database." OK
answer_ending Tandrel '^The Restore was backed out.  C:.*\\Tandrel\\older\.dbkm$'
[ "$(every_row)" = "$before" ] || fail "the rows changed after the garbage maintenance copy"
tandrel_running || fail "Tandrel ended after the garbage maintenance copy"
copy "still capturing"
[ "$(ls "$data" | grep -c '^tdclips\.db\.pre-restore-')" = 1 ] || fail "a failed restore left a copy aside"
[ -e "$data/tdclips.db.restoring" ] && fail "a backed out restore left its note behind"

# A backup that lacks the active set: no empty set of that name, the main set after its message.
sqlite3 -batch "$data/noactive.dbk" "$(db .schema | grep -v sqlite_sequence); insert into Sets (setName) values ('td_trash');
    insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML)
    values ('2026-01-02  10:00:00', 'td_clips', 'N', 'N', 'N', 'Src', ' ', 'restored without its set', ' ', ' ');" \
    || fail "cannot write noactive.dbk"
restore 544 "$restore_title" noactive.dbk
answer Tandrel "Active set td_clips not found in database. Using default." OK
wait_until 20 count_is 1 || fail "the restore of noactive.dbk left $(clips) clips"
wait_until 10 listed 1 || fail "the list shows $(list_rows "$CLIP_LIST" | wc -l) clips after restoring noactive.dbk"
[ "$(db "select count(*) from Sets where setName = 'td_clips'")" = 1 ] || fail "the main set has no row"

end_session
ini() { tr -d '\r' < "$data/tandrel.ini" | sed -n "s/^$1 = //p"; }
[ "$(ini backupNum)" = 7 ] || fail "backupNum = '$(ini backupNum)'"
[ "$(ini LastBackup)" = "$today" ] || fail "LastBackup = '$(ini LastBackup)'"
