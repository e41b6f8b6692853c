# The key bridge: keys typed on the X display while no Wine window has the focus reach
# getAsyncKeyState in a Wine program (platform_check.exe keys), which Wine alone never sees;
# forged datagrams change nothing; a hold does not outlive a bridge killed with the key down;
# in a focused Wine window, where Wine sees the keys too, a press still counts once.
[ -x "${KEYS_BRIDGE:-}" ] || fail "the key bridge tandrel-keys was not built"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/key-channel.sh"

channel=$TEST_DIR/keys.channel
make_key_channel "$channel" || fail "no free UDP port for the channel"
read -r port token <"$channel"
export TANDREL_KEYS_FILE=$channel

chmod 644 "$channel"
"$KEYS_BRIDGE" "$channel" >"$TEST_DIR/refused.out" 2>&1 && fail "the bridge took a channel file that others may read"
grep -q "other users may read it" "$TEST_DIR/refused.out" || fail "refusal: $(cat "$TEST_DIR/refused.out")"
chmod 600 "$channel"

BRIDGE_PID=""
start_bridge() {
    "$KEYS_BRIDGE" >>"$TEST_DIR/bridge.out" 2>&1 &
    BRIDGE_PID=$!
    wait_until 10 grep -q "passing Ctrl, Alt, T, R and V to 127.0.0.1:$port" "$TEST_DIR/bridge.out" ||
        fail "the bridge did not start: $(cat "$TEST_DIR/bridge.out")"
}
CHECK_PID=""
cleanup() {
    touch "$TEST_DIR/keys.stop"
    xdotool keyup ctrl keyup alt keyup v 2>/dev/null
    [ -n "$BRIDGE_PID" ] && kill "$BRIDGE_PID" 2>/dev/null
    [ -n "$CHECK_PID" ] && wait_exit "$CHECK_PID" 10
}
trap cleanup EXIT

# Sends a datagram laid out as documented, from address $1: held bits $2, pressed bits $3.
send_datagram() {
    perl -MIO::Socket::INET -e '
        my ($from, $port, $token, $held, $pressed) = @ARGV;
        my $s = IO::Socket::INET->new(Proto => "udp", LocalAddr => $from, PeerAddr => "127.0.0.1",
                                      PeerPort => $port) or die "socket: $!";
        $s->send(pack("a4 H32 C C", "TDK1", $token, $held, $pressed)) or die "send: $!";' "$1" "$port" "$token" "$2" "$3"
}

keys() { tr -d '\r' <"$TEST_DIR/keys.txt"; }
# The key lines after the first $1.
keys_after() { keys | grep '^keys' | tail -n +$(( $1 + 1 )); }
key_lines() { keys | grep -c '^keys'; }
last_keys() { keys | grep '^keys' | tail -n 1; }
shows() { keys | grep -Eq "$1"; }
last_shows() { last_keys | grep -Eq "$1"; }

# Starts platform_check.exe keys (with "focused": in a window of its own) and waits until it is
# ready; stop_check ends it.
start_check() {
    rm -f "$TEST_DIR/keys.stop"
    : >"$TEST_DIR/keys.txt"
    (cd "$TEST_DIR" && exec wine "$BUILD_DIR/platform_check.exe" keys "$port" "$token" "$@") \
        >"$TEST_DIR/keys.txt" 2>>"$TEST_DIR/wine.err" &
    CHECK_PID=$!
    wait_until 60 shows '^ready' || fail "platform_check keys did not get ready: $(keys)"
    keys | grep '^FAIL' | sed 's/^/  /'
    shows '^FAIL' && fail "the receiver took a forged datagram or missed a true one"
}
stop_check() {
    touch "$TEST_DIR/keys.stop"
    wait_exit "$CHECK_PID" 20 || fail "platform_check keys did not end"
    wait "$CHECK_PID" || fail "platform_check keys failed"
    CHECK_PID=""
}

start_bridge
start_check

# A datagram with the token from another address of the machine changes nothing; the T pressed
# from 127.0.0.1 after it shows that it has been through.
before=$(key_lines)
send_datagram 127.0.0.2 16 16 || fail "cannot send from 127.0.0.2"
send_datagram 127.0.0.1 0 4 || fail "cannot send from 127.0.0.1"
wait_until 10 eval 'keys_after "$before" | grep -Eq "T=(1|8001) "' || fail "a datagram laid out as documented was not taken"
keys_after "$before" | grep -q 'V=[^0]' && fail "a datagram from 127.0.0.2 was taken"

# Ctrl+Alt+V typed on the X display, whose focus is on no Wine window.
xdotool keydown ctrl keydown alt
wait_until 10 last_shows 'Ctrl=8000 Alt=8000' || fail "Ctrl and Alt held did not show: $(last_keys)"
xdotool keydown v
wait_until 10 shows 'Ctrl=800[01] Alt=800[01] T=0 R=0 V=8001 own=0,0,0,0,0' ||
    fail "V pressed with Ctrl and Alt held did not show as a new press: $(keys | tail -n 5)"
xdotool keyup v keyup alt keyup ctrl
wait_until 10 last_shows 'Ctrl=0 Alt=0 T=0 R=0 V=0 ' || fail "the keys did not come back up: $(last_keys)"
note "Ctrl+Alt+V typed outside Wine reached getAsyncKeyState (Wine's own answer: nothing)"
[ "$(keys | grep -c 'V=8001')" -eq 1 ] || fail "one press of V showed as $(keys | grep -c 'V=8001') presses"

# Other keys are none of the five.
before=$(key_lines)
xdotool type --delay 40 "cab"
sleep 0.5
[ "$(key_lines)" -eq "$before" ] || fail "other keys changed the answers: $(last_keys)"

# The bridge dies with Ctrl down: the hold is forgotten without a release.
xdotool keydown ctrl
wait_until 10 last_shows 'Ctrl=8000' || fail "Ctrl held did not show: $(last_keys)"
{ kill -KILL "$BRIDGE_PID" && wait "$BRIDGE_PID"; } 2>/dev/null
BRIDGE_PID=""
wait_until 10 last_shows 'Ctrl=0 ' || fail "a hold outlived the bridge: $(last_keys)"
xdotool keyup ctrl
note "a hold was forgotten once its bridge was gone"

# A new bridge is heard by the same receiver.
start_bridge
before=$(key_lines)
xdotool key t
wait_until 10 eval 'keys_after "$before" | grep -Eq "T=(1|8001) "' || fail "a tap of T from a new bridge did not show: $(keys | tail -n 3)"

stop_check

# With a Wine window focused, Wine sees the keys as well: a press both report counts once.
start_check focused
xdotool search --sync --name "Key Check" windowfocus --sync >/dev/null 2>&1 || fail "cannot focus the Wine window"
before=$(key_lines)
xdotool keydown ctrl keydown alt
sleep 0.3
xdotool keydown v
sleep 0.3
xdotool keyup v keyup alt keyup ctrl
wait_until 10 eval 'keys_after "$before" | tail -n 1 | grep -q "Ctrl=0 Alt=0 T=0 R=0 V=0 own=0,0,0,0,0"' ||
    fail "the keys did not come back up: $(last_keys)"
keys_after "$before" | grep -Eq 'own=[0-9a-f]+,[0-9a-f]+,0,0,800[01]' || fail "Wine itself did not see V: $(keys_after "$before")"
presses=$(keys_after "$before" | grep -c 'V=8001 ')
[ "$presses" -eq 1 ] || fail "one press of V seen by Wine and the bridge showed as $presses: $(keys_after "$before")"
note "in a Wine window, a press that Wine and the bridge both saw counted once"
stop_check
