# Hostile clipboard data from another program reaches the watcher and changes
# nothing; Tandrel.exe stays up, and an ordinary copy afterwards is captured.
first_start
data=$(data_dir)
clips=$(db "select count(*) from cTbl")

# Little-endian numbers as printf escapes (command substitution would drop raw zero bytes).
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(( $1 & 255 )) $(( ($1 >> 8) & 255 )) $(( ($1 >> 16) & 255 )) $(( ($1 >> 24) & 255 )); }
le16() { printf '\\x%02x\\x%02x' $(( $1 & 255 )) $(( ($1 >> 8) & 255 )); }
# BITMAPINFOHEADER: width, height, bits per pixel; no compression.
dib_header() { printf "$(le32 40)$(le32 "$1")$(le32 "$2")$(le16 1)$(le16 "$3")$(le32 0)$(le32 0)$(le32 0)$(le32 0)$(le32 0)$(le32 0)"; }

dib_header 100000 100000 24 > "$TEST_DIR/huge.dib"; head -c 64 /dev/zero >> "$TEST_DIR/huge.dib"
dib_header 64 64 24 > "$TEST_DIR/truncated.dib"; head -c 100 /dev/zero >> "$TEST_DIR/truncated.dib"
: > "$TEST_DIR/empty.dib"
head -c 20 "$TEST_DIR/truncated.dib" > "$TEST_DIR/short-header.dib"
head -c 8192 /dev/zero | tr '\0' 'A' > "$TEST_DIR/unterminated.txt"

alive() {
    tandrel_running || fail "Tandrel.exe ended after $1"
    ! td findwindow "UNEXPECTED ERROR" >/dev/null || fail "an exception report after $1"
    ! td findwindow "Tandrel Error!" >/dev/null || fail "an error report after $1"
}

for payload in huge truncated empty short-header; do
    lines=$(wc -l < "$data/tandrel.log")
    td setraw CF_DIB "$TEST_DIR/$payload.dib" --title "Hostile Source" >/dev/null \
        || note "(the clipboard refused the $payload DIB itself)"
    sleep 1
    alive "the $payload DIB"
    [ "$(db "select count(*) from cTbl")" = "$clips" ] || fail "the $payload DIB was stored"
    new=$(tail -n +$((lines + 1)) "$data/tandrel.log" | tr -d '\r')
    [ -n "$new" ] || fail "the watcher logged nothing for the $payload DIB"
    note "$payload DIB: $(tr '\n' '|' <<<"$new")"
done

td setraw CF_TEXT "$TEST_DIR/unterminated.txt" --title "Hostile Source" >/dev/null || fail "cannot put the text"
sleep 1
alive "an unterminated text"
bad=$(db "select count(*) from cTbl where cSource='Hostile Source' and (length(cText) > 8192 or replace(cText,'A','') <> '')")
[ "$bad" = 0 ] || fail "an unterminated text was read past its block"

text='e2e capture caf\xe9 \x99 check'
td settext "$text" --title "Source Window" >/dev/null || fail "cannot put the text"
want=$(hex_of "$(printf "$text")")
for _ in $(seq 50); do
    found=$(db "select count(*) from cTbl where hex(cText)='$want' and cSource='Source Window'")
    [ "$found" = 1 ] && break
    sleep 0.2
done
[ "$found" = 1 ] || fail "the copied text was not captured from 'Source Window'"
alive "an ordinary copy"
end_session
