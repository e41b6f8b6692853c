# The shortcuts of Tandrel.exe typed in a native X11 window, which Wine never sees: the key
# bridge runs with a channel file as scripts/run.sh makes it, and xdotool types while an xmessage
# window has the focus. With three clips and ListPaste, TopList and ReverseCase on: Ctrl+Alt+V,
# then each Ctrl+V steps the clipboard through the clips; forged datagrams and letters and digits
# typed meanwhile change nothing; Ctrl+Alt+R and Ctrl+Alt+T; Ctrl+Alt+H and the quick paste window.
# One start serves every check.
[ -x "${KEYS_BRIDGE:-}" ] || fail "the key bridge tandrel-keys was not built"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/key-channel.sh"

data=$(data_dir) || fail "no data folder in the prefix"
mkdir -p "$data"
printf 'Version = 2.8\r\nListPaste = Y\r\nTopList = Y\r\nReverseCase = Y\r\n' >"$data/tandrel.ini"
sqlite3 "$data/tdclips.db" <<SQL || fail "cannot seed the database"
Create Table cTbl (cKey INTEGER PRIMARY KEY AUTOINCREMENT, cDate text, cSet text, cRTFsw text, cHTMLsw text, cImageSW text, cSource Text, cNote text, cText text, cRTF Blob, cHTML text, cImage Blob);
Create Table Sets (setName Text Unique, setID INTEGER PRIMARY KEY AUTOINCREMENT);
insert into Sets (setName) values ('td_clips'), ('td_trash');
insert into cTbl values (null, '2026-12-01  10:00:00', 'td_clips', 'N', 'N', 'N', 's', ' ', 'Alpha', ' ', ' ', null);
insert into cTbl values (null, '2026-12-01  10:00:01', 'td_clips', 'N', 'N', 'N', 's', ' ', 'Bravo', ' ', ' ', null);
insert into cTbl values (null, '2026-12-01  10:00:02', 'td_clips', 'N', 'N', 'N', 's', ' ', 'Charlie', ' ', ' ', null);
SQL

# The channel as scripts/run.sh makes it: a file of this user's only, named to both ends.
channel=$TEST_DIR/keys.channel
make_key_channel "$channel" || fail "no free UDP port for the channel"
read -r port token <"$channel"
export TANDREL_KEYS_FILE=$channel

BRIDGE_PID=""
FOCUS_PID=""
cleanup() {
    xdotool keyup v keyup t keyup r keyup alt keyup ctrl 2>/dev/null
    [ -n "$BRIDGE_PID" ] && kill "$BRIDGE_PID" 2>/dev/null
    [ -n "$FOCUS_PID" ] && kill "$FOCUS_PID" 2>/dev/null
}
trap cleanup EXIT

count() { db "select count(*) from cTbl"; }
stored() { [ "$(db "select count(*) from cTbl where cText = '$1'")" = 1 ]; }
clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }
LIST_PASTE_OFF="Select List Paste|List Paste"
button_is() { main_controls | grep -Eq "^[0-9]+ Button [a-z]+ ($1)\$"; }
captions_are() { [ "$(list_captions "$CLIP_LIST" | tr '\n' '|')" = "$1" ]; }

start_tandrel
wait_main_window
wait_watching
wait_until 15 captions_are "Charlie|Bravo|Alpha|" || fail "rows at the start: $(list_captions "$CLIP_LIST" | tr '\n' '|')"

# A plain X11 window takes the focus from Wine; every key below is typed into it.
xmessage -title "Focus Window" -geometry 300x80+700+600 "keys typed here" >/dev/null 2>&1 &
FOCUS_PID=$!
xdotool search --sync --name "^Focus Window\$" windowfocus --sync >/dev/null 2>&1 || fail "cannot focus the xmessage window"
focus_outside() { [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "Focus Window" ]; }

# Holds the keys for a moment, as a person does, and lets go in reverse order.
chord() {
    focus_outside || fail "the focus left the X11 window for '$(xdotool getwindowfocus getwindowname 2>/dev/null)'"
    local key up=()
    for key; do xdotool keydown "$key"; up=("$key" "${up[@]}"); done
    sleep 0.2
    for key in "${up[@]}"; do xdotool keyup "$key"; done
    sleep 0.1
}

# Without the bridge Wine does not see these keys at all.
chord ctrl alt v
sleep 1
button_is "$LIST_PASTE_OFF" || fail "Ctrl+Alt+V typed outside Wine reached Tandrel without the bridge"

: >"$TEST_DIR/bridge.out"
"$KEYS_BRIDGE" >>"$TEST_DIR/bridge.out" 2>&1 &
BRIDGE_PID=$!
wait_until 10 grep -q "passing Ctrl, Alt, T, R, V and H to 127.0.0.1:$port" "$TEST_DIR/bridge.out" ||
    fail "the bridge did not start: $(cat "$TEST_DIR/bridge.out")"

clips=$(count)
chord ctrl alt v
wait_until 10 button_is "List Paste On" || fail "Ctrl+Alt+V through the bridge did not switch List Paste on"
# Capture is off now: this stands for the top clip the user pastes first, and is not stored.
printf 'Charlie' | xclip -selection clipboard

for next in Bravo Alpha Charlie Bravo; do
    before=$(clipboard)
    chord ctrl v
    wait_until 10 clipboard_is "$next" || fail "a Ctrl+V after '$before' left '$(clipboard)' on the clipboard, not '$next'"
done
sleep 0.5
clipboard_is Bravo || fail "one Ctrl+V stepped more than once: $(clipboard)"
note "Ctrl+V typed outside Wine stepped through Bravo, Alpha, Charlie (wrapping) and Bravo"

# Forged datagrams, each a press that would act at once: without the token, with another token,
# of another size, with another tag, or with the token from another address. Bits: 1 Ctrl, 2 Alt,
# 4 T, 8 R, 16 V, 32 H, 64 AltGr.
send_hex() {
    perl -MIO::Socket::INET -e '
        my ($from, $port, $hex) = @ARGV;
        my $s = IO::Socket::INET->new(Proto => "udp", LocalAddr => $from, PeerAddr => "127.0.0.1",
                                      PeerPort => $port) or die "socket: $!";
        $s->send(pack("H*", $hex)) or die "send: $!";' "$1" "$port" "$2"
}
other_token=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
[ "$other_token" != "$token" ] || fail "the random token came out twice"
for keys in 1110 1310 0b08 0704; do   # Ctrl+V, Ctrl+Alt+V, Ctrl+Alt+R, Ctrl+Alt+T: held, pressed
    send_hex 127.0.0.1 "54444b32$keys" || fail "cannot send"
    send_hex 127.0.0.1 "54444b32$other_token$keys" || fail "cannot send"
    send_hex 127.0.0.1 "54444b32$token${keys}00" || fail "cannot send"
    send_hex 127.0.0.1 "54444b31$token$keys" || fail "cannot send"
    send_hex 127.0.0.2 "54444b32$token$keys" || fail "cannot send from 127.0.0.2"
    sleep 0.3
done
# A hold taken from a forgery would last a second, and a step comes when V goes up.
sleep 1.5
clipboard_is Bravo || fail "a forged datagram changed the clipboard: $(clipboard)"
button_is "List Paste On" || fail "a forged datagram switched List Paste off"
[ "$(count)" = "$clips" ] || fail "a forged datagram stored a clip: $(db "select cText from cTbl")"
chord ctrl v
wait_until 10 clipboard_is Alpha || fail "after the forgeries a Ctrl+V left '$(clipboard)' on the clipboard"
note "forged datagrams changed nothing; the bridge's went on stepping"

# Letters and digits, the shortcuts' letters among them, without Ctrl.
focus_outside || fail "the focus left the X11 window"
xdotool type --delay 80 "vtr 0123 bav RTV"
sleep 1
clipboard_is Alpha || fail "letters and digits changed the clipboard: $(clipboard)"
button_is "List Paste On" || fail "letters and digits switched List Paste off"
[ "$(count)" = "$clips" ] || fail "List Paste stored clips: $(db "select cText from cTbl")"

chord ctrl alt v
wait_until 10 button_is "$LIST_PASTE_OFF" || fail "Ctrl+Alt+V through the bridge did not switch List Paste off"

# Ctrl+Alt+R: the top clip with its case reversed, stored as a new clip now that capture is on.
printf 'Delta Text' | xclip -selection clipboard
wait_until 15 stored "Delta Text" || fail "'Delta Text' was not stored once List Paste was off"
chord ctrl alt r
wait_until 10 clipboard_is "dELTA tEXT" || fail "Ctrl+Alt+R put '$(clipboard)' on the clipboard"
wait_until 15 stored "dELTA tEXT" || fail "the reversed text was not stored"

# Ctrl+Alt+T: List Paste from the top row. First a clipboard that Wine sees without text, so
# that nothing is stored and only Ctrl+Alt+T can bring the top clip back (xclip itself hands its
# bytes to any target asked for).
clips=$(count)
printf 'not a text' | xclip -selection clipboard -t application/x-tandrel-test
wait_until 10 clipboard_is "not a text" || fail "cannot take the clipboard: $(clipboard)"
sleep 1
chord ctrl alt t
wait_until 10 button_is "List Paste On" || fail "Ctrl+Alt+T through the bridge did not switch List Paste on"
wait_until 10 clipboard_is "dELTA tEXT" || fail "Ctrl+Alt+T put '$(clipboard)' on the clipboard"
chord ctrl v
wait_until 10 clipboard_is "Delta Text" || fail "a Ctrl+V after Ctrl+Alt+T left '$(clipboard)' on the clipboard"
chord ctrl alt v
wait_until 10 button_is "$LIST_PASTE_OFF" || fail "Ctrl+Alt+V did not end List Paste"
[ "$(count)" = "$clips" ] || fail "List Paste from the top stored clips: $(db "select cText from cTbl")"
note "Ctrl+Alt+R and Ctrl+Alt+T typed outside Wine worked"

# The quick paste chord typed in the X11 window opens the window over every clip; Wine cannot type
# into a Linux program, so Enter only copies the chosen clip and the window says so; nothing is stored.
clips=$(count)
QUICK="Tandrel Quick Paste"
chord ctrl alt h
td waitwindow "$QUICK" 10 visible >/dev/null || fail "Ctrl+Alt+H through the bridge did not open the quick paste window"
quick_rows_are() { [ "$(td listrows "$QUICK" Clip | cut -f2 | tr '\n' '|')" = "$1" ]; }
td keys b r a v o >/dev/null || fail "cannot type"
wait_until 10 quick_rows_are "Bravo|" || fail "'bravo' left: $(td listrows "$QUICK" Clip | cut -f2 | tr '\n' '|')"
td keys return >/dev/null || fail "cannot type"
wait_until 10 clipboard_is Bravo || fail "Enter put '$(clipboard)' on the clipboard"
td children "$QUICK" | grep -q " Static visible Copied: press Ctrl+V where you want it$" ||
    fail "the quick paste window says: $(td children "$QUICK" | grep Static)"
td keys escape >/dev/null
td waitgone "$QUICK" 10 >/dev/null || fail "Escape left the quick paste window open"
[ "$(count)" = "$clips" ] || fail "the quick paste stored a clip: $(db "select cText from cTbl")"
note "Ctrl+Alt+H typed outside Wine opened the quick paste window; Enter copied 'Bravo'"

grep -v '^tandrel-keys: passing' "$TEST_DIR/bridge.out" | grep . && fail "the bridge said more than its start line"
end_session
