# Old clip sets converted from the menu: two files chosen at once in the dialog, one of them with a
# name built to break SQL; texts, rich text turned plain by the real editor, an image kept byte for
# byte; blank records and a short tail skipped, a damaged record skipped and counted; a second
# conversion refused as a duplicate.
first_start
data=$(data_dir)
hostile="x');DELETE FROM cTbl;--"
png=89504E470D0A1A0A0000000D4948445200000002000000020802000000FDD49A730000001249444154789C63F8CF0004FF41E8FFFFFF001FEE05FB6DDCCEAD0000000049454E44AE426082

# One 437-byte record of the old index: source, date, contents number, first text, type.
record() {
    printf '%-4s%-64s%-56s%-19s%-16s%-1s%-6s%-6s%-12s%-250s%-1s%-2s' \
        0001 caption "$1" "$2" "" N 000007 "$3" 000000000042 "$4" "$5" ""
}
sqlite3 -batch "$data/clip.db" "CREATE TABLE tblBlob (fldKey text, fldBlob);
    INSERT INTO tblBlob VALUES ('1T', 'the whole first text, longer than the index keeps');
    INSERT INTO tblBlob VALUES ('2R', '{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}\\f0 rich {\\b bold} text}');
    INSERT INTO tblBlob VALUES ('3I', x'$png');
    INSERT INTO tblBlob VALUES ('5T', 'a clip of the odd name');" || fail "cannot write clip.db"
{
    record "Notepad - a.txt" "2009-03-14 15:09:26" 000001 "the whole first" T
    printf '%437s' ""
    record "WordPad" "2009-03-15 08:00:00" 000002 "rich index text" F
    record "Damaged" "2009-03-15 09:00:00" 000004 "of no type" X
    record "Paint" "2009-03-16 09:30:00" 000003 "" I
    printf 'a short tail'
} > "$data/work.dbt"
record "Odd" "2009-03-17 10:00:00" 000005 "odd" T > "$data/$hostile.dbt"
[ "$(stat -c %s "$data/work.dbt")" = $((437 * 5 + 12)) ] || fail "work.dbt is $(stat -c %s "$data/work.dbt") bytes"

menu() { td send "$MAIN_TITLE" 0x111 "$1" 0 >/dev/null || fail "menu command $1 not sent"; }
in_set() { db "select count(*) from cTbl where hex(cSet) = '$(hex_of "$1")'"; }
set_has() { [ "$(in_set "$1")" = "$2" ]; }
main_before=$(in_set td_clips)

menu 546
td filedialog "Tandrel Conversion: - Please select set(s) to convert" "\"work.dbt\" \"$hostile.dbt\"" 20 >/dev/null \
    || fail "no conversion dialog"
says() { [ "$(td dialogtext Tandrel 1)" = "$1" ]; }
skipped="Conversion of set work: 1 records skipped, 0 clips kept with their list text only (see the log)."
wait_until 30 says "$skipped" || fail "no count of the damaged record: $(td dialogtext Tandrel 1)"
td press Tandrel OK >/dev/null
grep -q " Record 4 of work.dbt skipped: it is not an old Tandrel clip" "$data/tandrel.log" || fail "the damaged record is not logged"
wait_until 30 set_has "$hostile" 1 || fail "the set of the odd name has $(in_set "$hostile") clips"
set_has work 3 || fail "work has $(in_set work) clips: $(db "select cText from cTbl where cSet = 'work'")"
td findwindow Tandrel | grep -q " visible Tandrel$" && fail "a message came: $(td dialogtext Tandrel 1)"

texts=$(db "select cSource || '|' || cDate || '|' || cImageSW || '|' || cText from cTbl where cSet = 'work' order by cKey")
expected="Notepad - a.txt|2009-03-14 15:09:26|N|the whole first text, longer than the index keeps
WordPad|2009-03-15 08:00:00|N|rich bold text
Paint|2009-03-16 09:30:00|Y| "
[ "$texts" = "$expected" ] || fail "the clips of work:
$texts"
[ "$(db "select hex(cImage) from cTbl where cSet = 'work' and cImageSW = 'Y'")" = "$png" ] || fail "the image is not its bytes"
[ "$(in_set td_clips)" = "$main_before" ] || fail "td_clips had $main_before clips, now $(in_set td_clips)"
[ "$(db "select count(*) from Sets where hex(setName) = '$(hex_of "$hostile")'")" = 1 ] || fail "no set row for the odd name"
main_controls | cut -d' ' -f2- | grep -Fxq "Static visible Active Set = $hostile" || fail "the last converted set is not active"

# The same file again is a duplicate, and changes nothing.
menu 546
td filedialog "Tandrel Conversion: - Please select set(s) to convert" "work.dbt" 20 >/dev/null || fail "no conversion dialog"
wait_until 20 says "work appears to be a duplicate. Please select another." || fail "no duplicate message: $(td dialogtext Tandrel 1)"
td press Tandrel OK >/dev/null
set_has work 3 || fail "work has $(in_set work) clips after the second conversion"
grep -q " Closed Database " "$data/tandrel.log" || fail "clip.db was not closed"

end_session
[ "$(tr -d '\r' < "$data/tandrel.ini" | sed -n 's/^ActiveClipSet = //p')" = "$hostile" ] || fail "tandrel.ini names another active set"
