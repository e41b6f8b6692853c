# Texts marked private by their writer are not captured, and the log only says a private change
# was skipped; the same text copied again without a mark is captured. Wine passes the X11 password
# hint target on as a registered format of the same name, so an X11 copy marked with it is skipped too.
first_start
skipped_lines() { grep -ac "private clipboard change skipped" "$(data_dir)/tandrel.log"; }
count_of() { db "select count(*) from cTbl where cText='$1'"; }
stored() { [ "$(count_of "$1")" -ge 1 ]; }
skipped_more_than() { [ "$(skipped_lines)" -gt "$1" ]; }

n=0
while IFS='|' read -r mark value; do
    n=$((n + 1))
    text="marked private number $n"
    td settext "$text" --title "Vault Window" --with "$mark" "$value" >/dev/null || fail "cannot copy with $mark"
    td settext "$text" --title "Vault Window" >/dev/null || fail "cannot copy"
    wait_until 15 stored "$text" || fail "'$text' without a mark was not stored"
    [ "$(count_of "$text")" = 1 ] || fail "the text marked with $mark was stored"
    [ "$(skipped_lines)" = $n ] || fail "$n private changes, $(skipped_lines) logged as skipped"
done <<'MARKS'
Clipboard Viewer Ignore|
ExcludeClipboardContentFromMonitorProcessing|
CanIncludeInClipboardHistory|\x00\x00\x00\x00
CanUploadToCloudClipboard|\x00\x00\x00\x00
MARKS
! grep -aq "marked private" "$(data_dir)/tandrel.log" || fail "the log holds a private text"

text="marked private in X11"
"$BUILD_DIR/x11owner" "$text" x-kde-passwordManagerHint secret 5 &
owner_pid=$!
# Wine may announce one X11 copy twice.
wait_until 10 skipped_more_than $n || fail "the X11 copy with the password hint was not skipped"
printf '%s' "$text" | xclip -quiet -selection clipboard 2>/dev/null &
xclip_pid=$!
wait_until 15 stored "$text" || fail "the X11 copy without the hint was not stored"
[ "$(count_of "$text")" = 1 ] || fail "the X11 copy with the password hint was stored"
kill "$owner_pid" "$xclip_pid" 2>/dev/null
tandrel_running || fail "Tandrel.exe ended"
end_session
