# Menu commands of Tandrel.exe, sent as WM_COMMAND as the menu bar, the tray menu and the
# popups send them: opening a clip's web source through the shell (a recording stand-in for
# xdg-open), refusing a source that is no address, repairing the viewer chain while capture is
# off without losing captures afterwards, a recent clip from the tray, and Exit.
record_shell_opens

first_start
wait_watching
count() { db "select count(*) from cTbl"; }
count_is() { [ "$(count)" = "$1" ]; }
clipboard_is() { [ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$1" ]; }
opened_is() { [ -f "$opened" ] && [ "$(cat "$opened")" = "$1" ]; }
select_top() { td listclick "$MAIN_TITLE" "$CLIP_LIST" 0 >/dev/null || fail "cannot click the top row"; sleep 1; }

# 525 on a web source: the whole address goes to the browser.
before=$(count)
td settext "a page's text" --title "https://example.org/a?b=1" >/dev/null || fail "cannot copy"
wait_until 15 count_is $((before + 1)) || fail "the copy from the web window was not stored"
select_top
menu_command 525
wait_until 20 opened_is "https://example.org/a?b=1" \
    || fail "the shell was not handed the address: $(cat "$opened" 2>/dev/null)"

# 525 on a program's name: the message, and nothing started.
td settext "a program's text" --title "httpd.exe" >/dev/null || fail "cannot copy"
wait_until 15 count_is $((before + 2)) || fail "the copy from httpd.exe was not stored"
select_top
menu_command 525
text=$(td dialogtext "Tandrel\x99" 15) || fail "no message for a source that is no address"
[ "$text" = "Sorry, but that source does not appear to be a valid URL" ] || fail "message: '$text'"
td press "Tandrel\x99" OK >/dev/null || fail "cannot close the message"
[ "$(wc -l < "$opened")" = 1 ] || fail "something more was opened: $(cat "$opened")"

# 551 while capture is off, then capture on again and a copy: one new clip, Tandrel alive.
menu_command 560
sleep 1
menu_command 551
sleep 1
menu_command 560
wait_watching 15
td settext "after the repair" --title "Writer" >/dev/null || fail "cannot copy"
wait_until 15 count_is $((before + 3)) || fail "the copy after the repair was not stored once: $(count)"
sleep 1
count_is $((before + 3)) || fail "the copy was stored more than once"
tandrel_running || fail "Tandrel.exe ended after the chain repair"

# A recent clip from the tray menu (its second entry: the clip before the newest) goes onto
# the clipboard, and is not captured again.
td settext "something else" --title "Writer" >/dev/null || fail "cannot copy"
wait_until 15 count_is $((before + 4)) || fail "the last copy was not stored"
# The tray menu is built when it is about to be shown, and again at each capture switch: a
# switch off and on stands for opening it.
menu_command 560
sleep 1
menu_command 560
wait_watching 15
menu_command 602
wait_until 15 clipboard_is "after the repair" \
    || fail "the tray's recent clip is not on the clipboard: '$(timeout 5 xclip -selection clipboard -o 2>/dev/null)'"
sleep 1
count_is $((before + 4)) || fail "putting back a recent clip captured it again"

# Exit: the program ends and the log's last line says so.
menu_command 509
wait_exit "$TANDREL_PID" 60 || fail "Tandrel.exe still runs after Exit"
last=$(tail -n 1 "$(data_dir)/tandrel.log")
[[ $last == *"Program ended "$'\r' ]] || fail "the log ends with '$last'"
