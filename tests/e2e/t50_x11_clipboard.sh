# Text copied in a Linux program reaches Tandrel through Wine's bridge of the X
# clipboard, converted into the ANSI code page (é as the single byte 0xE9).
# Then a text beyond the ANSI code page comes back exactly by every path: stored (the ANSI form in
# cText, the exact text beside it), listed and shown, put back by a double click after a restart,
# pasted by List Paste, edited and replaced, moved to another set and back; a window's title
# beyond it is the exact source of a copy made there; and Search Clips finds such a text.
first_start
printf 'copied in X11 caf\xc3\xa9' | xclip -selection clipboard -loops 20 &
xclip_pid=$!
want=$(hex_of "$(printf 'copied in X11 caf\xe9')")
found=0
for _ in $(seq 50); do
    found=$(db "select count(*) from cTbl where hex(cText)='$want'")
    [ "$found" = 1 ] && break
    sleep 0.2
done
kill "$xclip_pid" 2>/dev/null
[ "$found" = 1 ] || fail "the X11 copy was not captured as Windows-1252 text"
tandrel_running || fail "Tandrel.exe ended"

[ "$(td codepage)" = "1252 437" ] || fail "Wine's code pages are $(td codepage), not 1252 437: the locale is not pinned"
exact='Grüße → Привет, 日本語 😀 ✓ Łódź'
exact_hex=$(hex_of "$exact")
# What the ANSI code page makes of it: "Grüße ? ??????, ??? ?? ? Lódz" under Wine.
ansi_hex=$(td ansiform "$exact_hex")
# Hexes of both sides, so that a difference in bytes that look alike shows.
differ() { printf '%s: expected %s, got %s' "$1" "$(hex_of "$2")" "$(hex_of "$3")"; }
exact_key() { db "select cKey from cExact where hex(eText) = '$1' order by cKey desc limit 1"; }
# Row numbers, first column read wide, trailing blanks cut.
wide_captions() { td listrows "$MAIN_TITLE" "$1" wide | cut -f2 | sed 's/ *$//'; }
wide_row_of() { wide_captions "$CLIP_LIST" | grep -nFx -- "$1" | head -n1 | cut -d: -f1 | awk '{ print $1 - 1 }'; }
clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }

# Stored: the ANSI form in cText, the exact text beside it.
x11_copy "$exact"
wait_until 15 eval '[ -n "$(exact_key "$exact_hex")" ]' \
    || fail "no exact text stored: cExact holds $(db "select hex(eText) from cExact")"
key=$(exact_key "$exact_hex")
[ "$(db "select hex(cText) from cTbl where cKey = $key")" = "$ansi_hex" ] \
    || fail "cText: expected $ansi_hex, got $(db "select hex(cText) from cTbl where cKey = $key")"

# Shown: the top row and the Text tab, read with the wide messages.
top=$(wide_captions "$CLIP_LIST" | head -n1)
[ "$top" = "$exact" ] || fail "$(differ "the top row" "$exact" "$top")"
td listclick "$MAIN_TITLE" "$CLIP_LIST" 0 >/dev/null || fail "cannot click the top row"
# The display ends the text with a line end, which the control hands back as two paragraph breaks.
editor_text() { local t; t=$(td edittext "$MAIN_TITLE" wide); printf '%s' "${t%\\x0d\\x0d}"; }
editor_is() { [ "$(editor_text)" = "$1" ]; }
wait_until 10 editor_is "$exact" || fail "$(differ "the Text tab" "$exact" "$(editor_text)")"
end_session
end_x11_copies

# After a restart a double click puts it back byte for byte (Wine hands X11 the UTF-8 of what is
# on the Windows clipboard). The set Work is there for the moves below.
db "insert into Sets (setName) values ('Work')"
start_tandrel
wait_main_window
wait_watching
row=$(wide_row_of "$exact")
[ -n "$row" ] || fail "after the restart no row shows the text: $(wide_captions "$CLIP_LIST" | tr '\n' '|')"
td listclick "$MAIN_TITLE" "$CLIP_LIST" "$row" double >/dev/null || fail "cannot double-click"
wait_until 15 clipboard_is "$exact" || fail "$(differ "the double click's copy" "$exact" "$(clipboard)")"
unicode=$(td getunicode)
[ "$unicode" = "$exact" ] || fail "$(differ "CF_UNICODETEXT after the double click" "$exact" "$unicode")"

# List Paste: a plain copy on top, then each Ctrl+V pastes and steps to the next row, the exact text.
x11_copy "plain before"
plain_stored() { [ "$(db "select count(*) from cTbl where cText = 'plain before'")" = 1 ]; }
wait_until 15 plain_stored || fail "'plain before' was not stored"
press "Select List Paste|List Paste"
wait_until 10 shows "Button visible List Paste On" || fail "List Paste did not come on"
wine "$BUILD_DIR/tdhelper.exe" pastewide "Wide Paste" 120 >"$TEST_DIR/pastewide.out" 2>>"$TEST_DIR/helper.err" &
paste_pid=$!
td waitwindow "Wide Paste" 30 visible >/dev/null || fail "no paste window"
td front "Wide Paste" >/dev/null || fail "cannot bring the paste window to the front"
pasted() { tail -n1 "$TEST_DIR/pastewide.out" 2>/dev/null | tr -d '\r'; }
pasted_is() { [ "$(pasted)" = "$1" ]; }
paste() { td front "Wide Paste" >/dev/null; td keys ctrl+v >/dev/null || fail "cannot type"; }
paste
wait_until 10 pasted_is "plain before" || fail "the first Ctrl+V pasted '$(pasted)'"
wait_until 10 clipboard_is "$exact" || fail "$(differ "List Paste's next clip" "$exact" "$(clipboard)")"
paste
wait_until 10 pasted_is "plain before$exact" || fail "$(differ "the paste box" "plain before$exact" "$(pasted)")"
td send "Wide Paste" 0x10 0 0 >/dev/null
wait_exit "$paste_pid" 10
end_x11_copies
press "List Paste On"
wait_until 10 eval '! shows "Button visible List Paste On"' || fail "List Paste did not go off"

# Edited in the Text tab and replaced: the characters not edited stay.
row=$(wide_row_of "$exact")
[ -n "$row" ] || fail "no row shows the text before the edit: $(wide_captions "$CLIP_LIST" | tr '\n' '|')"
td listclick "$MAIN_TITLE" "$CLIP_LIST" "$row" >/dev/null || fail "cannot click the row"
wait_until 10 editor_is "$exact" || fail "$(differ "the Text tab before the edit" "$exact" "$(editor_text)")"
# The caret after the last character: the control counts UTF-16 units.
end=$(( $(printf '%s' "$exact" | iconv -f UTF-8 -t UTF-16LE | wc -c) / 2 ))
td editsel "$MAIN_TITLE" "$end" "$end" >/dev/null || fail "cannot put the caret at the end"
td edittype "$MAIN_TITLE" "!" >/dev/null || fail "cannot type into the editor"
press "Replace Clip"
edited="$exact!"
edited_hex=$(hex_of "$edited")
wait_until 10 eval '[ -n "$(exact_key "$edited_hex")" ]' \
    || fail "the edit was not stored exactly: cExact holds $(db "select hex(eText) from cExact")"
key=$(exact_key "$edited_hex")
[ "$(db "select cSet from cTbl where cKey = $key")" = td_clips ] || fail "the edited clip is in $(db "select cSet from cTbl where cKey = $key")"

# Moved to Work and back: unchanged, and listed in Work as it is.
sets_tab() {
    shows "Button visible Change Active Set" || press "'Set' Actions"
    wait_until 10 shows "Button visible Change Active Set" || fail "no Clip Sets tab"
}
open_target() {
    sets_tab
    local r
    r=$(list_rows "$SET_LIST" | n=$1 awk -F'\t' '$2 == ENVIRON["n"] { split($1, a, " "); print a[1] }')
    [ -n "$r" ] || fail "the set list has no $1"
    td listclick "$MAIN_TITLE" "$SET_LIST" "$r" >/dev/null
    sleep 0.7
    press "Open Target Set"
    wait_until 10 status_is "Target Opened" || fail "the target $1 did not open"
}
move_edited() {
    local r
    r=$(wide_row_of "$edited")
    [ -n "$r" ] || fail "no row shows the edited text: $(wide_captions "$CLIP_LIST" | tr '\n' '|')"
    td listclick "$MAIN_TITLE" "$CLIP_LIST" "$r" >/dev/null || fail "cannot click the edited row"
    sleep 0.7
    press "Move To Target|To Target"
    in_set() { [ "$(db "select c.cSet from cTbl c join cExact e using (cKey) where hex(e.eText) = '$edited_hex'")" = "$1" ]; }
    wait_until 10 in_set "$1" || fail "the edited clip was not moved to $1: $(db "select cKey, cSet from cTbl")"
}
open_target Work
move_edited Work
sets_tab
press "Change Active Set"
wait_until 10 status_is "Select Set" || fail "no 'Select Set'"
r=$(list_rows "$SET_LIST" | awk -F'\t' '$2 == "Work" { split($1, a, " "); print a[1] }')
td listclick "$MAIN_TITLE" "$SET_LIST" "$r" >/dev/null || fail "cannot click Work"
wait_until 10 shows "Static visible Active Set = Work" || fail "Work did not become active"
top=$(wide_captions "$CLIP_LIST" | head -n1)
[ "$top" = "$edited" ] || fail "$(differ "Work's top row" "$edited" "$top")"
open_target td_clips
move_edited td_clips
key=$(exact_key "$edited_hex")
[ "$(db "select hex(cText) from cTbl where cKey = $key")" = "${ansi_hex}21" ] \
    || fail "cText after the moves: expected ${ansi_hex}21, got $(db "select hex(cText) from cTbl where cKey = $key")"

# A copy in a window titled beyond the ANSI code page: that title is its exact source.
title='Окно Проверки'
text='Текст из окна'
td setunicode "$(hex_of "$text")" --title-hex "$(hex_of "$title")" >/dev/null || fail "cannot copy from the Cyrillic window"
wait_until 15 eval '[ -n "$(exact_key "$(hex_of "$text")")" ]' || fail "the copy from the Cyrillic window was not stored exactly"
key=$(exact_key "$(hex_of "$text")")
[ "$(db "select hex(cSource) from cTbl where cKey = $key")" = "$(td ansiform "$(hex_of "$title")")" ] \
    || fail "cSource: expected $(td ansiform "$(hex_of "$title")"), got $(db "select hex(cSource) from cTbl where cKey = $key")"
source_exact=$(db "select eSource from cExact where cKey = $key")
[ "$source_exact" = "$title" ] || fail "$(differ "the exact source" "$title" "$source_exact")"

# Search Clips, from the top row, finds a text beyond the code page typed into the find dialog in
# a lower clip, and selects it there.
wanted='меня: 日本'
x11_copy "Найди меня: 日本 ✓"
wait_until 15 eval '[ -n "$(exact_key "$(hex_of "Найди меня: 日本 ✓")")" ]' || fail "the text to find was not stored"
x11_copy "the top clip"
wait_until 15 eval '[ "$(db "select count(*) from cTbl where cText = '"'the top clip'"'")" = 1 ]' || fail "the top clip was not stored"
td listclick "$MAIN_TITLE" "$CLIP_LIST" 0 >/dev/null || fail "cannot click the top row"
press "Search Clips"
td dialogtext "Find" 10 >/dev/null || fail "no find dialog"
td seteditwide "Find" "$(hex_of "$wanted")" >/dev/null || fail "cannot type into the find dialog"
td press "Find" "Find Next" >/dev/null || fail "no Find Next"
found_in_editor() { [[ "$(editor_text)" == *"$wanted"* ]]; }
wait_until 10 found_in_editor || fail "Search Clips did not show the clip: the Text tab holds $(editor_text)"
td press "Find" Cancel >/dev/null || fail "cannot close the find dialog"
td waitgone "Find" 10 >/dev/null || fail "the find dialog stays"
tandrel_running || fail "Tandrel.exe ended"
end_session
