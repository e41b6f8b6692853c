# The options dialog as a real window: opened from the Options command, centred on the main
# window, which it disables; its close box does nothing; its boxes reach tandrel.ini and the
# Startup folder after OK. Then About writes the page with the version and shows it in the
# Online Help tab, whose links open in the user's browser; a capture leaves the page alone, the
# version check shows it again, and so does the next start.
OPTIONS="Tandrel Options"

# Wine's link writer would otherwise copy the Startup shortcut into the host's desktop menus.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="

record_shell_opens
first_start
data=$(data_dir) || fail "no data folder"

td send "$MAIN_TITLE" 0x111 1001 0 >/dev/null || fail "cannot send the Options command"
td waitwindow "$OPTIONS" 10 visible exact >/dev/null || fail "the options dialog did not open"

read -r main_enabled _ mx my mw mh < <(td windowstate "$MAIN_TITLE")
read -r _ dialog_top dx dy dw dh < <(td windowstate "$OPTIONS")
[ "$main_enabled" = disabled ] || fail "the main window is $main_enabled while the dialog is open"
[ "$dialog_top" = topmost ] || fail "the dialog is not topmost"
note "main window at $mx,$my ${mw}x$mh, dialog at $dx,$dy ${dw}x$dh"
off_x=$(( (mx + mw / 2) - (dx + dw / 2) ))
off_y=$(( (my + mh / 2) - (dy + dh / 2) ))
[ "${off_x#-}" -le 2 ] && [ "${off_y#-}" -le 2 ] || fail "the dialog is not centred on the main window ($off_x, $off_y)"

# The sound box follows the machine's sound device, so only its place is checked.
boxes=$(td boxes "$OPTIONS" | sed 's/^1014 [01] /1014 ? /')
expected="1004 0 40 40 350 18 Start Tandrel when Windows Starts
1005 0 40 65 300 18 Minimize at Startup
1006 1 40 90 350 18 Supress Duplicates - Alert on Clipboard Hijacking
1007 1 40 115 125 18 Save Images
1008 0 170 115 220 18 As PNG (default is JPEG)
1009 0 40 140 220 18 Save Rich Text
1010 1 40 165 250 18 Display Tooltips
1011 0 40 190 350 18 Enable Ctl/Alt/V List Paste Shortcut
1012 0 40 215 350 18 Enable Ctl/Alt/T List Paste 'Top' Shortcut
1013 0 40 240 350 18 Enable Ctl/Alt/R Case Reverse Shortcut
1014 ? 40 265 350 18 Enable clip capture sound
1015 1 40 290 350 18 Skip data marked private
1016 1 40 315 350 18 Enable Ctl/Alt/H Quick Paste window"
[ "$(printf '%s\n' "$boxes" | sort)" = "$(printf '%s\n' "$expected" | sort)" ] || fail "the boxes are:
$boxes"
td children "$OPTIONS" | grep -q '^1025 Button visible OK$' || fail "no OK button"

# The close box (or Alt+F4) is ignored: OK is the only way out.
td send "$OPTIONS" 0x10 0 0 >/dev/null || fail "cannot send WM_CLOSE to the dialog"
sleep 1
td findwindow "$OPTIONS" | grep -q ' visible ' || fail "the close box closed the dialog"

for caption in "Minimize at Startup" "Start Tandrel when Windows Starts" "Display Tooltips" \
    "Enable Ctl/Alt/H Quick Paste window"; do
    td tick "$OPTIONS" "$caption" >/dev/null || fail "cannot tick $caption"
done
td boxes "$OPTIONS" | grep -q '^1005 1 ' || fail "Minimize at Startup did not tick"
sleep 0.5
screenshot e2e-options-dialog
# Each click is kept at once, but the file waits for OK.
grep -q '^Minimized = Y' "$data/tandrel.ini" 2>/dev/null && fail "tandrel.ini was written before OK"

td click "$OPTIONS" OK >/dev/null || fail "cannot press OK"
td waitgone "$OPTIONS" 10 || fail "OK did not close the dialog"
wait_until 10 grep -q '^Minimized = Y' "$data/tandrel.ini" || fail "tandrel.ini has no Minimized = Y"
ini=$(tr -d '\r' <"$data/tandrel.ini")
for line in "StartWithWindows = Y" "DisplayTooltips = N" "SkipPrivate = Y" "QuickPaste = N"; do
    printf '%s\n' "$ini" | grep -qx "$line" || fail "tandrel.ini lacks '$line'"
done
link=$(find "$WINEPREFIX/drive_c/users" -ipath '*/Startup/Tandrel.lnk' | head -n1)
[ -n "$link" ] || fail "no Startup shortcut"
note "shortcut: ${link#"$WINEPREFIX"/}"
read -r main_enabled _ < <(td windowstate "$MAIN_TITLE")
[ "$main_enabled" = enabled ] || fail "the main window stayed $main_enabled after OK"

# About writes the page anew, with the version.
rm -f "$data/Tandrel_.htm" "$data/TandrelLogo.jpg"
td send "$MAIN_TITLE" 0x111 552 0 >/dev/null || fail "cannot send the About command"
wait_until 10 test -f "$data/Tandrel_.htm" || fail "About wrote no Tandrel_.htm"
grep -q 'version <b>2.8</b>' "$data/Tandrel_.htm" || fail "the page has no version"
grep -q 'padding:10px 0 0 0' "$data/Tandrel_.htm" || fail "the page's outer block has no padding"
[ "$(head -c3 "$data/TandrelLogo.jpg" | od -An -tx1 | tr -d ' \n')" = ffd8ff ] || fail "no JPEG logo beside the page"

# The Online Help tab in front, holding the version and the four links.
help_shows_page() {
    local view line
    view=$(td helpview "$MAIN_TITLE") || return 1
    [ "$(printf '%s\n' "$view" | head -n1)" = visible ] || return 1
    for line in "version 2.8" "Tandrel Homepage" "Tandrel Online Help" "Send Us a Comment" "Check For New Version"; do
        printf '%s\n' "$view" | grep -Fxq "$line" || return 1
    done
}
wait_until 10 help_shows_page || fail "after About the help view is: $(td helpview "$MAIN_TITLE" | tr '\n' '|')"
sleep 0.5
screenshot e2e-about-page
point=$(td helppoint "$MAIN_TITLE" "Tandrel Homepage") || fail "no point for the home page link"
set -- $point
td front "$MAIN_TITLE" >/dev/null
xdotool mousemove "$1" "$2" sleep 0.3 click 1
opened_are() { [ -f "$opened" ] && [ "$(cat "$opened")" = "$1" ]; }
home="http://www.tandrel.example/index.htm"
wait_until 20 opened_are "$home" || fail "the home page link was not opened: '$(cat "$opened" 2>/dev/null)'"

# A capture writes no page; the version check shows the page again and hands its address to the browser.
page=$(cat "$data/Tandrel_.htm")
td settext "the help page stays" --title "Notes" >/dev/null || fail "cannot copy"
stored() { [ "$(db "select count(*) from cTbl where cText = 'the help page stays'")" = 1 ]; }
wait_until 15 stored || fail "the copy was not captured"
[ "$(cat "$data/Tandrel_.htm")" = "$page" ] || fail "the capture rewrote Tandrel_.htm: $(head -c 80 "$data/Tandrel_.htm")"
menu_command 556
wait_until 20 opened_are "$home
http://www.tandrel.example/ckupdate.htm?2.8" || fail "the version check opened: '$(cat "$opened" 2>/dev/null)'"
wait_until 10 help_shows_page || fail "after the version check the help view is: $(td helpview "$MAIN_TITLE" | tr '\n' '|')"
end_session

# With a clip in the set, the next start brings the page to the front (with the window shown).
# Any value of Minimized, N too, starts in the tray: the key goes.
sed -i '/^Minimized = /d' "$data/tandrel.ini"
start_tandrel
wait_main_window
wait_until 15 help_shows_page || fail "at start the help view is: $(td helpview "$MAIN_TITLE" | tr '\n' '|')"
end_session
