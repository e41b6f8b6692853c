# The key bridge's channel file (sourced by scripts/run.sh and the end-to-end tests): one line
# "<port> <token>", readable by its owner only. The bridge sends to that UDP port on 127.0.0.1 and
# Tandrel.exe listens there; a datagram without the token is dropped.

# Writes a channel file at $1: a free UDP port of the dynamic range and 16 random bytes in hex.
make_key_channel() {
    local port token tries=0
    while :; do
        port=$(( 49152 + $(od -An -N2 -tu2 /dev/urandom | tr -d ' ') % 16384 ))
        # taken when any UDP socket (IPv4 or IPv6) is bound to it
        grep -qi "^ *[0-9]*: [0-9A-F]*:$(printf '%04X' "$port") " /proc/net/udp /proc/net/udp6 2>/dev/null || break
        tries=$((tries + 1))
        [ "$tries" -lt 50 ] || return 1
    done
    token=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    (umask 077 && printf '%s %s\n' "$port" "$token" >"$1")
}
