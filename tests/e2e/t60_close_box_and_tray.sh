# The close box only puts Tandrel away into the tray; a left click on the tray
# icon brings the window back. The click is sent as the tray's callback message
# (WM_APP + 1, lParam WM_LBUTTONUP), which is what the shell sends.
first_start
td send "$MAIN_TITLE" 0x10 0 0 >/dev/null || fail "cannot send WM_CLOSE"
for _ in $(seq 30); do
    td findwindow "$MAIN_TITLE" | grep -q ' hidden ' && break
    sleep 0.2
done
td findwindow "$MAIN_TITLE" | grep -q ' hidden ' || fail "the close box left the window shown"
tandrel_running || fail "the close box ended Tandrel.exe"

td send "$MAIN_TITLE" 0x8001 1 0x202 >/dev/null || fail "cannot send the tray click"
wait_main_window 10
end_session
