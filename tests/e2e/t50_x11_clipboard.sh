# Text copied in a Linux program reaches Tandrel through Wine's bridge of the X
# clipboard, converted into the ANSI code page (é as the single byte 0xE9).
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
end_session
