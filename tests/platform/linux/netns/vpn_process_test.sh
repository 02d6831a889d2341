#!/usr/bin/env bash
# The real program in gateway mode behind a real userspace VPN: two network namespaces joined
# by a veth pair, the home end (tvup) with the program on it and the provider end with the VPN
# server and a far host (10.99.0.1). OpenVPN in static-key mode carries the traffic inside
# tun devices; what the provider bills is what crosses tvup, headers and all. The saved
# totals must match tvup's kernel counters within 64 KiB, for a VPN that is up from the start
# (the default route replaced by the tunnel, the server's address kept on the old path) and
# for one that comes up over the old default route and goes down while the program runs.
# Every namespace and process started here has this run's PID in its name and is stopped by
# its PID or name at the end.
set -uo pipefail
program=$1

if [ "$(id -u)" -ne 0 ] || [ ! -c /dev/net/tun ] || ! command -v openvpn >/dev/null ||
    ! command -v ip >/dev/null; then
    echo "SKIP: needs root, /dev/net/tun, iproute2 and openvpn (scripts/install-deps.sh)"
    exit 77
fi

suffix=$$
home=tvvh$suffix
isp=tvvp$suffix
root=$(mktemp -d /tmp/tavlor-vpn-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill -9 "$pid" 2>/dev/null
    done
    for pidfile in "$root"/*.pid; do
        [ -s "$pidfile" ] && kill -9 "$(cat "$pidfile")" 2>/dev/null
    done
    ip netns del "$home" 2>/dev/null
    ip netns del "$isp" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
in_home() { ip netns exec "$home" "$@"; }
in_isp() { ip netns exec "$isp" "$@"; }

export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_DATA_HOME=$root/home/.local/share \
    XDG_CONFIG_HOME=$root/home/.config QT_QPA_PLATFORM=offscreen TAVLOR_TRACE=1
export DBUS_SESSION_BUS_ADDRESS=disabled: DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/no-system-bus
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$root/app"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$program" "$root/app/tavlor"
data=$root/app/data/data.ini

cat >"$root/send.py" <<'EOF'
import socket, sys, time
destination, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
payload = b"v" * size
for i in range(count):
    sock.sendto(payload, (destination, 9))
    if i % 100 == 99:
        time.sleep(0.005)  # the VPN reads its tun device in user space: let it keep up
EOF
upload() { in_home python3 "$root/send.py" 10.99.0.1 "$1" 1200; }
# To the home end inside the tunnel (10.8.0.1) or on the plain link (10.77.0.1).
download() { in_isp python3 "$root/send.py" "$2" "$1" 1200; }

# Both namespaces, IPv6 off (no router solicitations), the far host and the VPN server's address
# behind the provider's router 10.77.0.2.
ip netns add "$home" && ip netns add "$isp" || {
    echo "FAIL: cannot create network namespaces"
    exit 1
}
ip link add tvup netns "$home" type veth peer name tvisp netns "$isp"
for ns in "$home" "$isp"; do
    ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1
    ip -n "$ns" link set lo up
done
ip -n "$home" addr add 10.77.0.1/24 dev tvup && ip -n "$home" link set tvup up
ip -n "$isp" addr add 10.77.0.2/24 dev tvisp && ip -n "$isp" link set tvisp up
ip -n "$isp" addr add 10.78.0.1/32 dev lo && ip -n "$isp" addr add 10.99.0.1/32 dev lo
ip -n "$home" route add 10.78.0.1/32 via 10.77.0.2 dev tvup
ip -n "$home" route add default via 10.77.0.2 dev tvup metric 100
openvpn --genkey secret "$root/static.key" >/dev/null 2>&1 || {
    echo "FAIL: openvpn cannot make a static key"
    exit 1
}
vpn_options=(--dev-type tun --secret "$root/static.key" --proto udp --cipher AES-256-CBC --auth SHA256
    --verb 1 --daemon)
in_isp openvpn "${vpn_options[@]}" --dev tvvs --ifconfig 10.8.0.2 10.8.0.1 --local 10.78.0.1 --port 1194 \
    --writepid "$root/server.pid" --log "$root/server.log"

# Starts the VPN client; waits for its tun device.
vpn_up() {
    in_home openvpn "${vpn_options[@]}" --dev tvvc --ifconfig 10.8.0.1 10.8.0.2 --remote 10.78.0.1 1194 \
        --nobind --writepid "$root/client.pid" --log "$root/client.log"
    for _ in $(seq 100); do
        ip -n "$home" link show tvvc 2>/dev/null | grep -q LOWER_UP && return 0
        sleep 0.05
    done
    return 1
}
vpn_down() {
    kill -TERM "$(cat "$root/client.pid")"
    for _ in $(seq 100); do
        ip -n "$home" link show tvvc >/dev/null 2>&1 || return 0
        sleep 0.05
    done
    return 1
}

# A link's kernel byte counter in the home namespace: rx_bytes or tx_bytes.
counter() { in_home cat "/sys/class/net/$1/statistics/$2"; }

# The program in gateway mode, with fresh totals; sets $started.
start() {
    local log=$1
    rm -rf "$root/app/data"
    ip netns exec "$home" "$root/app/tavlor" >"$log.first" 2>&1 &
    local first=$!
    pids+=("$first")
    wait_loop "$log.first" "$first" || return 1
    kill -TERM "$first"
    wait "$first" 2>/dev/null
    sed -i 's/^onLAN=[^\r]*/onLAN=1/' "$data"
    ip netns exec "$home" "$root/app/tavlor" >"$log" 2>&1 &
    started=$!
    pids+=("$started")
    wait_loop "$log" "$started"
}
wait_loop() {
    for _ in $(seq 400); do
        grep -q 'event loop running' "$1" 2>/dev/null && return 0
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}
stop() {
    kill -TERM "$started"
    wait "$started" 2>/dev/null
}
# INI keys are case-insensitive: a new file spells the upload total "Tup".
saved() { sed -n "s/^$1=\\([0-9.]*\\)\\r\$/\\1/Ip" "$data" | tr -d .; }

# Compares the saved totals with tvup's growth since rx0/tx0; the tunnel's own growth must
# differ from it, or the scenario proves nothing.
check() {
    local what=$1 rx0=$2 tx0=$3 tunRx=$4 tunTx=$5
    local rx=$(($(counter tvup rx_bytes) - rx0)) tx=$(($(counter tvup tx_bytes) - tx0))
    local down up
    down=$(saved TDown)
    up=$(saved TUp)
    echo "$what: saved down ${down:-?} up ${up:-?}, tvup rx $rx tx $tx, tunnel rx $tunRx tx $tunTx"
    [ -n "$down" ] && [ -n "$up" ] || {
        fail "$what: no totals saved"
        return
    }
    local slack=65536
    [ $((down > rx ? down - rx : rx - down)) -le $slack ] || fail "$what: download $down, tvup received $rx"
    [ $((up > tx ? up - tx : tx - up)) -le $slack ] || fail "$what: upload $up, tvup sent $tx"
    [ $((rx - tunRx)) -gt $((4 * slack)) ] && [ $((tx - tunTx)) -gt $((4 * slack)) ] ||
        fail "$what: the tunnel's counters ($tunRx, $tunTx) are too close to tvup's to tell them apart"
    [ "$rx" -gt 10000000 ] && [ "$tx" -gt 10000000 ] || fail "$what: too little traffic crossed tvup"
}

echo "-- a VPN up from the start, the default route replaced by the tunnel"
vpn_up || fail "the VPN client's tun device did not come up"
ip -n "$home" route del default
ip -n "$home" route add default dev tvvc
start "$root/start.log" || fail "the program did not reach its event loop"
sleep 2.2
rx0=$(counter tvup rx_bytes) tx0=$(counter tvup tx_bytes)
vrx0=$(counter tvvc rx_bytes) vtx0=$(counter tvvc tx_bytes)
upload 10000
download 10000 10.8.0.1
sleep 2.2
vrx=$(($(counter tvvc rx_bytes) - vrx0)) vtx=$(($(counter tvvc tx_bytes) - vtx0))
stop
check "VPN from the start" "$rx0" "$tx0" "$vrx" "$vtx"
vpn_down || fail "the VPN client's tun device stayed"
ip -n "$home" route add default via 10.77.0.2 dev tvup metric 100

echo "-- a VPN that comes up over the default route and goes down while counting"
start "$root/change.log" || fail "the program did not reach its event loop"
sleep 2.2
rx0=$(counter tvup rx_bytes) tx0=$(counter tvup tx_bytes)
upload 3000
download 3000 10.77.0.1
sleep 1.1
vpn_up || fail "the VPN client's tun device did not come up"
# As a connection manager does it: the VPN's default route with the better metric.
ip -n "$home" route add default dev tvvc metric 50
vrx0=$(counter tvvc rx_bytes) vtx0=$(counter tvvc tx_bytes)
for _ in 1 2 3; do
    upload 3000
    download 3000 10.8.0.1
    sleep 0.5
done
vrx=$(($(counter tvvc rx_bytes) - vrx0)) vtx=$(($(counter tvvc tx_bytes) - vtx0))
vpn_down || fail "the VPN client's tun device stayed"
upload 3000
download 3000 10.77.0.1
sleep 2.2
stop
# The tunnel carried part of the run only: its bytes plus the plain ones before and after.
check "VPN up and down" "$rx0" "$tx0" "$vrx" "$vtx"

if [ "$failures" -ne 0 ]; then
    for f in "$root"/*.log "$root"/*.first; do
        [ -s "$f" ] && { echo "== $f"; tail -5 "$f"; }
    done
    echo "$failures failure(s)"
    exit 1
fi
echo "all VPN process tests passed"
