# List Paste and the shortcuts with keys typed into a Wine window (SendInput), and the sources
# of copies from an untitled window and from a browser window. First with the shortcut settings
# off (nothing fires), then with them on: Ctrl+Alt+V, each Ctrl+V pasting the next text row in
# turn (the picture skipped, wrapping), also with Tandrel hidden in the tray; Ctrl+Alt+T and
# Ctrl+Alt+R.
first_start
wait_watching

count_of() { db "select count(*) from cTbl where cText = '$1'"; }
stored() { [ "$(count_of "$1")" = 1 ]; }
wait_stored() { wait_until 15 stored "$1" || fail "'$1' was not stored"; }
source_of() { db "select cSource from cTbl where cText = '$1'"; }
# The owner may keep xclip waiting; a read never takes longer than 5 s.
clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }
# The List Paste button's caption (narrow captions say "List Paste" when off).
LIST_PASTE_OFF="Select List Paste|List Paste"
button_is() { main_controls | grep -Eq "^[0-9]+ Button [a-z]+ ($1)\$"; }
main_hidden() { td findwindow "$MAIN_TITLE" | grep -q ' hidden '; }
paste_box() { td children "Paste Target" | grep ' Edit ' | cut -d' ' -f4-; }
paste_box_is() { [ "$(paste_box)" = "$1" ]; }

# Sources: a blank title gives the program's name, a browser window its address.
td settext "from a blank title" --title " " >/dev/null || fail "cannot copy from the untitled window"
td settext "from the browser" --title "Example Page - Browser" --class IEFrame --edit "https://example.org/a" \
    >/dev/null || fail "cannot copy from the browser window"
wait_stored "from a blank title"
wait_stored "from the browser"
[ "$(source_of "from a blank title")" = tdhelper ] || fail "untitled window's source: $(source_of "from a blank title")"
[ "$(source_of "from the browser")" = "https://example.org/a" ] || fail "browser's source: $(source_of "from the browser")"

PASTE_PID=""
open_paste_window() {
    td pastewindow "Paste Target" 200 >"$TEST_DIR/paste.out" &
    PASTE_PID=$!
    td waitwindow "Paste Target" 30 visible >/dev/null || fail "no paste window"
    td front "Paste Target" >/dev/null || fail "cannot bring the paste window to the front"
}
close_paste_window() {
    td send "Paste Target" 0x10 0 0 >/dev/null
    wait_exit "$PASTE_PID" 10
}

# With the settings off the shortcuts are not even read.
open_paste_window
printf 'outside text' | xclip -selection clipboard
wait_stored "outside text"
clips=$(db "select count(*) from cTbl")
td keys ctrl+alt+v ctrl+alt+t ctrl+alt+r ctrl+v >/dev/null || fail "cannot type"
sleep 1
button_is "$LIST_PASTE_OFF" || fail "List Paste came on with its setting off"
[ "$(db "select count(*) from cTbl")" = "$clips" ] || fail "a shortcut with its setting off stored a clip"
clipboard_is "outside text" || fail "a shortcut with its setting off changed the clipboard: $(clipboard)"
close_paste_window
end_session

# The settings on, and clips A, B, a picture and C: the list shows C, the picture, B, A.
ini="$(data_dir)/tandrel.ini"
sed -i -e 's/^ListPaste = N/ListPaste = Y/' -e 's/^TopList = N/TopList = Y/' -e 's/^ReverseCase = N/ReverseCase = Y/' "$ini"
grep -c '^\(ListPaste\|TopList\|ReverseCase\) = Y' "$ini" | grep -qx 3 || fail "cannot switch the shortcuts on: $(cat "$ini")"
db "delete from cTbl"
db "insert into cTbl (cDate,cSet,cRTFsw,cHTMLsw,cImageSW,cSource,cNote,cText,cRTF,cHTML) values
    ('2026-12-01  10:00:00','td_clips','N','N','N','s',' ','Alpha',' ',' '),
    ('2026-12-01  10:00:01','td_clips','N','N','N','s',' ','Bravo',' ',' '),
    ('2026-12-01  10:00:02','td_clips','N','N','Y','s',' ','picture',' ',' '),
    ('2026-12-01  10:00:03','td_clips','N','N','N','s',' ','Charlie',' ',' ')"
clips=$(db "select count(*) from cTbl")
start_tandrel
wait_main_window
wait_watching
open_paste_window

td keys ctrl+alt+v >/dev/null || fail "cannot type"
wait_until 10 button_is "List Paste On" || fail "Ctrl+Alt+V did not switch List Paste on"
# Capture is off now: what the first Ctrl+V pastes comes from X11 and is not stored.
printf 'Charlie' | xclip -selection clipboard

expected=""
for next in Bravo Alpha Charlie Bravo; do
    pasted=$(clipboard)
    td keys ctrl+v >/dev/null || fail "cannot type"
    expected="$expected$pasted"
    wait_until 10 clipboard_is "$next" || fail "after pasting '$pasted' the clipboard holds '$(clipboard)', not '$next'"
    wait_until 10 paste_box_is "$expected" || fail "the paste window holds '$(paste_box)', not '$expected'"
    if [ "$next" = Charlie ]; then
        # Hidden in the tray, Tandrel goes on stepping.
        td send "$MAIN_TITLE" 0x10 0 0 >/dev/null || fail "cannot close the main window"
        wait_until 10 main_hidden || fail "the close box left the window shown"
        # Hiding keeps Wine busy for a moment without a window manager; a message answered
        # means Tandrel serves its keys again.
        td send "$MAIN_TITLE" 0 0 0 >/dev/null
        td front "Paste Target" >/dev/null
    fi
done
note "pasted: $expected"
[ "$(db "select count(*) from cTbl")" = "$clips" ] || fail "List Paste stored clips: $(db "select cText from cTbl")"

td keys ctrl+alt+v >/dev/null || fail "cannot type"
wait_until 10 button_is "$LIST_PASTE_OFF" || fail "Ctrl+Alt+V did not switch List Paste off"
# List Paste went on and off: nothing of Tandrel's is left to copy, so a copy with a second format
# keeps both once it is captured, and after the list is loaded again.
td settext "Echo Text" --title "Echo Window" --with "Tandrel Second Format" "cells" >/dev/null || fail "cannot copy"
wait_stored "Echo Text"
both_kept() { td formats | grep -q " Tandrel Second Format$" && clipboard_is "Echo Text"; }
wait_until 5 both_kept || fail "after the capture the clipboard holds: $(td formats | tr '\n' '|')"
menu_command 541
sleep 1
both_kept || fail "after the list was loaded again the clipboard holds: $(td formats | tr '\n' '|')"
td settext "Delta Text" --title "Delta Window" >/dev/null || fail "cannot copy"
wait_stored "Delta Text"
[ "$(source_of "Delta Text")" = "Delta Window" ] || fail "source after List Paste: $(source_of "Delta Text")"

# Ctrl+Alt+T: List Paste from the top row; Ctrl+Alt+V ends it. A clipboard without text first,
# which Tandrel does not store, so that only Ctrl+Alt+T can put the top clip there.
printf 'not a text' > "$TEST_DIR/sylk.bin"
td setraw 4 "$TEST_DIR/sylk.bin" --title "Sheet Window" >/dev/null || fail "cannot put the CF_SYLK data"
wait_until 10 clipboard_is "" || fail "the clipboard still holds text: $(clipboard)"
td front "Paste Target" >/dev/null
td keys ctrl+alt+t >/dev/null || fail "cannot type"
wait_until 10 button_is "List Paste On" || fail "Ctrl+Alt+T did not switch List Paste on"
wait_until 10 clipboard_is "Delta Text" || fail "Ctrl+Alt+T put '$(clipboard)' on the clipboard"
td keys ctrl+alt+v >/dev/null || fail "cannot type"
wait_until 10 button_is "$LIST_PASTE_OFF" || fail "Ctrl+Alt+V did not end List Paste"

# Ctrl+Alt+R: the top clip with its case reversed, stored as a copy of the program in front.
td keys ctrl+alt+r >/dev/null || fail "cannot type"
wait_until 10 clipboard_is "dELTA tEXT" || fail "Ctrl+Alt+R put '$(clipboard)' on the clipboard"
wait_stored "dELTA tEXT"
[ "$(source_of "dELTA tEXT")" = "Paste Target" ] || fail "source of the reversed clip: $(source_of "dELTA tEXT")"

# The quick paste window: Ctrl+Alt+H typed in another Wine program opens it over every clip; two
# words leave the one clip holding both; Enter pastes it into that program; nothing is stored.
close_paste_window
open_paste_window
clips=$(db "select count(*) from cTbl")
QUICK="Tandrel Quick Paste"
quick_rows() { td listrows "$QUICK" Clip | cut -f2 | tr '\n' '|'; }
quick_rows_are() { [ "$(quick_rows)" = "$1" ]; }
td keys ctrl+alt+h >/dev/null || fail "cannot type"
td waitwindow "$QUICK" 10 visible >/dev/null || fail "Ctrl+Alt+H did not open the quick paste window"
listed() { [ "$(td listrows "$QUICK" Clip | wc -l)" = "$(db "select count(*) from cTbl where cSet <> 'td_trash'")" ]; }
wait_until 10 listed || fail "the quick paste window lists: $(quick_rows)"
td keys t e x t space e c h o >/dev/null || fail "cannot type"
wait_until 10 quick_rows_are "Echo Text|" || fail "'text echo' left: $(quick_rows)"
td keys return >/dev/null || fail "cannot type"
wait_until 10 paste_box_is "Echo Text" || fail "Enter pasted '$(paste_box)' into the paste window"
td waitgone "$QUICK" 10 >/dev/null || fail "the quick paste window stayed after Enter"
[ "$(db "select count(*) from cTbl")" = "$clips" ] || fail "the quick paste stored a clip: $(db "select cText from cTbl")"
note "Ctrl+Alt+H, 'text echo' and Enter pasted 'Echo Text' into the paste window"

close_paste_window
end_session
