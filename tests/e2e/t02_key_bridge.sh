# The key bridge: shortcuts typed on the X display while no Wine window has the focus become key
# events of a Wine program (platform_check.exe keys), which Wine alone never sees; forged datagrams
# change nothing; letters typed without Ctrl never leave the bridge; a hold does not outlive a
# bridge killed with the key down; in a focused Wine window, where Wine's hook sees the keys too, a
# press still counts once, and the hook alone sees it once the bridge is gone.
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
    wait_until 10 grep -q "passing Ctrl, Alt, T, R, V and H to 127.0.0.1:$port" "$TEST_DIR/bridge.out" ||
        fail "the bridge did not start: $(cat "$TEST_DIR/bridge.out")"
}
CHECK_PID=""
cleanup() {
    touch "$TEST_DIR/keys.stop"
    xdotool keyup ctrl keyup alt keyup v keyup h 2>/dev/null
    [ -n "$BRIDGE_PID" ] && kill "$BRIDGE_PID" 2>/dev/null
    [ -n "$CHECK_PID" ] && wait_exit "$CHECK_PID" 10
}
trap cleanup EXIT

# Sends a datagram laid out as documented, from address $1: held bits $2, pressed bits $3 (1 Ctrl,
# 2 Alt, 4 T, 8 R, 16 V, 32 H, 64 AltGr).
send_datagram() {
    perl -MIO::Socket::INET -e '
        my ($from, $port, $token, $held, $pressed) = @ARGV;
        my $s = IO::Socket::INET->new(Proto => "udp", LocalAddr => $from, PeerAddr => "127.0.0.1",
                                      PeerPort => $port) or die "socket: $!";
        $s->send(pack("a4 H32 C C", "TDK2", $token, $held, $pressed)) or die "send: $!";' "$1" "$port" "$token" "$2" "$3"
}

keys() { tr -d '\r' <"$TEST_DIR/keys.txt"; }
# The key event lines after the first $1.
keys_after() { keys | grep '^key ' | tail -n +$(( $1 + 1 )); }
key_lines() { keys | grep -c '^key '; }
shows() { keys | grep -Eq "$1"; }

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

# A datagram with the token from another address of the machine changes nothing; the Ctrl+T
# pressed from 127.0.0.1 after it shows that it has been through.
before=$(key_lines)
send_datagram 127.0.0.2 17 16 || fail "cannot send from 127.0.0.2"
send_datagram 127.0.0.1 1 4 || fail "cannot send from 127.0.0.1"
wait_until 10 eval 'keys_after "$before" | grep -q "^key T down"' || fail "a datagram laid out as documented was not taken"
keys_after "$before" | grep -q '^key V' && fail "a datagram from 127.0.0.2 was taken"

# Ctrl+Alt+V typed on the X display, whose focus is on no Wine window.
before=$(key_lines)
xdotool keydown ctrl keydown alt
sleep 0.3
xdotool keydown v
wait_until 10 shows '^key V down ctrl=1 alt=1 altgr=0 bridge=1' ||
    fail "V pressed with Ctrl and Alt held did not show as a press: $(keys | tail -n 5)"
xdotool keyup v keyup alt keyup ctrl
wait_until 10 eval 'keys_after "$before" | tail -n 1 | grep -q "^key V up"' || fail "V did not come back up: $(keys | tail -n 3)"
note "Ctrl+Alt+V typed outside Wine became a key event (Wine alone sees nothing)"
[ "$(keys_after "$before" | grep -c '^key V down')" -eq 1 ] || fail "one press of V showed as $(keys_after "$before" | grep -c '^key V down') presses"

# Other keys are none of the shortcuts', and letters go only with their modifiers.
before=$(key_lines)
xdotool type --delay 40 "cab"
xdotool key alt+v ctrl+t ctrl+h shift+r
sleep 0.5
[ "$(key_lines)" -eq "$before" ] || fail "other keys made events: $(keys_after "$before")"

# The bridge dies with Ctrl+V down: V is let go a second after it was last heard.
xdotool keydown ctrl keydown v
wait_until 10 eval 'keys | tail -n 1 | grep -q "^key V down"' || fail "Ctrl+V held did not show: $(keys | tail -n 2)"
{ kill -KILL "$BRIDGE_PID" && wait "$BRIDGE_PID"; } 2>/dev/null
BRIDGE_PID=""
wait_until 10 eval 'keys | tail -n 1 | grep -q "^key V up"' || fail "a hold outlived the bridge: $(keys | tail -n 2)"
xdotool keyup v keyup ctrl
note "a hold was let go once its bridge was gone"

# A new bridge is heard by the same receiver.
start_bridge
before=$(key_lines)
xdotool key ctrl+alt+t
wait_until 10 eval 'keys_after "$before" | grep -q "^key T down"' || fail "Ctrl+Alt+T from a new bridge did not show: $(keys | tail -n 3)"

stop_check

# With the port free, what the bridge sends for letters typed without Ctrl: nothing at all.
perl -MIO::Socket::INET -e '
    my $s = IO::Socket::INET->new(Proto => "udp", LocalAddr => "127.0.0.1", LocalPort => $ARGV[0]) or die "bind: $!";
    open(my $ready, ">", $ARGV[1]); close $ready;
    my ($n, $buf) = (0, "");
    my $rin = ""; vec($rin, fileno($s), 1) = 1;
    while (select(my $r = $rin, undef, undef, 2.5)) { $s->recv($buf, 64); $n++ }
    print "$n\n";' "$port" "$TEST_DIR/sniff.ready" >"$TEST_DIR/sniffed.txt" &
SNIFF_PID=$!
wait_until 10 test -e "$TEST_DIR/sniff.ready" || fail "cannot listen on the channel's port"
xdotool type --delay 40 "vtrh VTRH"
wait "$SNIFF_PID"
[ "$(cat "$TEST_DIR/sniffed.txt")" = 0 ] || fail "letters typed without Ctrl left the bridge: $(cat "$TEST_DIR/sniffed.txt") datagrams"
note "letters typed without Ctrl never left the bridge"

# With a Wine window focused, Wine's hook sees the keys as well: a press both report counts once.
start_check focused
xdotool search --sync --name "Key Check" windowfocus --sync >/dev/null 2>&1 || fail "cannot focus the Wine window"
typed_in_wine() {
    local before=$(key_lines)
    xdotool keydown ctrl keydown alt
    sleep 0.3
    xdotool keydown v
    sleep 0.3
    xdotool keyup v keyup alt keyup ctrl
    wait_until 10 eval 'keys_after "$before" | tail -n 1 | grep -q "^key V up"' || fail "V did not come back up: $(keys | tail -n 3)"
    sleep 0.6
    presses=$(keys_after "$before" | grep -c '^key V down ctrl=1 alt=1 altgr=0 bridge=0')
    [ "$presses" -eq 1 ] || fail "one press of V in a Wine window showed as $presses ($1): $(keys_after "$before")"
}
typed_in_wine "seen by Wine's hook and the bridge"
note "in a Wine window, a press that Wine and the bridge both saw counted once"
kill "$BRIDGE_PID" 2>/dev/null && wait "$BRIDGE_PID" 2>/dev/null
BRIDGE_PID=""
typed_in_wine "seen by Wine's hook alone"
note "Wine's keyboard hook saw the press itself"
stop_check
