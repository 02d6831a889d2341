# shellcheck shell=bash
# A metered link with a real NetworkManager, for tests to source:
#   - NetworkManager confined to its namespace (nm-netns.sh) owns tveth0 (10.66.0.1/24);
#   - the veth's peer end tveth1 (10.66.0.2/24) lives in a second namespace of its own, so what
#     is sent really crosses the link and the kernel counts it on tveth0;
#   - an Ethernet profile on tveth0 with its gateway on the peer end is the primary connection;
#     its connection.metered is what the test sets (yes, no, unknown);
#   - the real program runs inside NetworkManager's namespace on its system bus, offscreen, its
#     data file beside its copy in the rig's folder.
# IPv6 is off and the neighbours are static on both ends: nothing but the test's traffic moves.
# Every process is stopped by its PID, both namespaces are deleted by name at rig_stop.
#
#   source nm-metered-rig.sh
#   rig_can_run || exit 77                 # root, network-manager, unshare, iproute2
#   rig_start || exit 1                    # NetworkManager up, the link and its peer
#   rig_profile Hotspot yes                # add and activate; waits until it is the primary
#   rig_set_metered Hotspot no             # change and re-activate
#   rig_session_bus_start                  # optional: a session bus for the program's status
#   rig_program_prepare build/bin/tavlor   # a fresh data file; then rig_data_set KEY VALUE [SECTION]
#   rig_program_start LOG; ...; rig_program_stop
#   rig_push_up BYTES; rig_push_down BYTES; rig_counter rx|tx; rig_saved TDown
#   rig_bus_watch_start; ...; calls=$(rig_bus_watch_stop)   # method calls to NetworkManager
#   rig_stop                               # (also run by the EXIT trap rig_start installs)

rig_here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
RIG_LINK=tveth0
RIG_ADDRESS=10.66.0.1
RIG_PEER_ADDRESS=10.66.0.2
RIG_PROGRAM_PID=""

rig_can_run() {
    [ "$(id -u)" -eq 0 ] && command -v NetworkManager >/dev/null && command -v nmcli >/dev/null &&
        command -v unshare >/dev/null && command -v ip >/dev/null && [ -x /usr/bin/python3 ]
}

rig_nm() { ip netns exec "$RIG_NS" "$@"; }
rig_peer() { ip netns exec "$RIG_PEER" "$@"; }
rig_nmcli() { DBUS_SYSTEM_BUS_ADDRESS=$RIG_BUS timeout 20 nmcli "$@"; }

# NetworkManager in its namespace, tveth1 moved to the peer's namespace. Sets RIG_BASE (the
# rig's folder), RIG_NS, RIG_PEER, RIG_BUS.
rig_start() {
    RIG_BASE="$(mktemp -d -t tvlmet.XXXXXX)"
    RIG_PEER="tvmp$$${RANDOM}"
    trap rig_stop EXIT
    local out
    if ! out="$(NM_NETNS="tvmn$$${RANDOM}" "$rig_here/nm-netns.sh" start "$RIG_BASE/nm" 2>&1)"; then
        echo "$out" | tail -5
        return 1
    fi
    RIG_NS="$(cat "$RIG_BASE/nm/netns")"
    RIG_BUS="unix:path=$RIG_BASE/nm/run/dbus/system_bus_socket"
    ip netns add "$RIG_PEER" || return 1
    ip -n "$RIG_NS" link set tveth1 netns "$RIG_PEER" || return 1
    rig_nm sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1 \
        net.ipv6.conf.tveth0.disable_ipv6=1
    rig_peer sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1 \
        net.ipv6.conf.tveth1.disable_ipv6=1
    ip -n "$RIG_PEER" link set lo up
    ip -n "$RIG_PEER" addr add "$RIG_PEER_ADDRESS/24" dev tveth1
    ip -n "$RIG_PEER" link set tveth1 up
    RIG_PEER_MAC="$(rig_peer cat /sys/class/net/tveth1/address)"
    ip -n "$RIG_PEER" neigh replace "$RIG_ADDRESS" lladdr "$(rig_nm cat /sys/class/net/tveth0/address)" \
        dev tveth1 nud permanent
    return 0
}

# A session bus for the program's status, before rig_program_prepare; stopped by rig_stop.
rig_session_bus_start() {
    dbus-daemon --config-file=/usr/share/dbus-1/session.conf --address="unix:path=$RIG_BASE/session-bus" \
        --nofork --nopidfile >/dev/null 2>&1 &
    RIG_SESSION_PID=$!
    for _ in $(seq 50); do [ -S "$RIG_BASE/session-bus" ] && return 0; sleep 0.1; done
    return 1
}

rig_stop() {
    rig_program_stop 2>/dev/null
    [ -n "${RIG_SESSION_PID:-}" ] && kill "$RIG_SESSION_PID" 2>/dev/null
    RIG_SESSION_PID=""
    if [ -n "${RIG_BASE:-}" ]; then
        "$rig_here/nm-netns.sh" stop "$RIG_BASE/nm" >/dev/null 2>&1
        [ -n "${RIG_PEER:-}" ] && ip netns del "$RIG_PEER" 2>/dev/null
        rm -rf "$RIG_BASE"
        RIG_BASE=""
    fi
    true
}

# NetworkManager's own view: a manager property (Metered, PrimaryConnection) as dbus-send prints it.
rig_manager_property() {
    DBUS_SYSTEM_BUS_ADDRESS=$RIG_BUS dbus-send --system --print-reply=literal \
        --dest=org.freedesktop.NetworkManager /org/freedesktop/NetworkManager \
        org.freedesktop.DBus.Properties.Get string:org.freedesktop.NetworkManager "string:$1" 2>/dev/null |
        awk '{print $NF}'
}

# Waits until the profile NAME is activated on tveth0 as the primary connection with the
# manager's Metered at WANT (1 yes, 2 no, 0 unknown, 3 guess-yes, 4 guess-no).
rig_wait_primary() {
    local name=$1 want=$2 primary active
    for _ in $(seq 100); do
        primary="$(rig_manager_property PrimaryConnection)"
        active="$(rig_nmcli -g GENERAL.STATE,GENERAL.DBUS-PATH connection show "$name" 2>/dev/null | tr '\n' ' ')"
        if [ -n "$primary" ] && [ "$primary" != / ] && [[ "$active" == activated*"$primary"* ]] &&
            [ "$(rig_manager_property Metered)" = "$want" ]; then
            # The route over the link is there: the neighbour of its gateway can be pinned.
            rig_nm ip neigh replace "$RIG_PEER_ADDRESS" lladdr "$RIG_PEER_MAC" dev "$RIG_LINK" nud permanent
            return 0
        fi
        sleep 0.2
    done
    echo "rig: $name did not become the primary connection with Metered $want" \
        "(primary '$primary', metered '$(rig_manager_property Metered)', state '$active')"
    tail -20 "$RIG_BASE/nm/log/nm.log"
    return 1
}

rig_metered_value() {
    case $1 in
    yes) echo 1 ;; no) echo 2 ;; unknown) echo 0 ;; *) echo "$1" ;;
    esac
}

# An Ethernet profile on tveth0 whose gateway is the peer: the default route, the primary.
rig_profile() {
    local name=$1 metered=$2
    rig_nmcli connection add type ethernet ifname "$RIG_LINK" con-name "$name" autoconnect no \
        ipv4.method manual ipv4.addresses "$RIG_ADDRESS/24" ipv4.gateway "$RIG_PEER_ADDRESS" \
        ipv6.method disabled connection.metered "$metered" >/dev/null || return 1
    rig_nmcli connection up "$name" >/dev/null || return 1
    rig_wait_primary "$name" "$(rig_metered_value "$metered")"
}

# As the user does it: nmcli connection modify NAME connection.metered yes|no|unknown, then
# up again (NetworkManager applies a changed metered flag at the next activation).
rig_set_metered() {
    local name=$1 metered=$2
    rig_nmcli connection modify "$name" connection.metered "$metered" || return 1
    rig_nmcli connection up "$name" >/dev/null || return 1
    rig_wait_primary "$name" "$(rig_metered_value "$metered")"
}

# A kernel byte counter of tveth0 (rx or tx).
rig_counter() { rig_nm cat "/sys/class/net/$RIG_LINK/statistics/${1}_bytes"; }

rig_send_py() {
    cat <<'EOF'
import socket, sys
destination, total = sys.argv[1], int(sys.argv[2])
sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
payload = b"m" * 1400
sent = 0
while sent < total:
    sent += sock.sendto(payload[: min(len(payload), total - sent)], (destination, 9))
EOF
}
# BYTES of UDP payload from NetworkManager's side to the peer (upload) or back (download).
rig_push_up() { rig_nm /usr/bin/python3 -c "$(rig_send_py)" "$RIG_PEER_ADDRESS" "$1"; }
rig_push_down() { rig_peer /usr/bin/python3 -c "$(rig_send_py)" "$RIG_ADDRESS" "$1"; }

# A copy of the program beside a fresh data file of its own (made by a first run of it).
rig_program_prepare() {
    local program=$1
    export HOME=$RIG_BASE/home XDG_RUNTIME_DIR=$RIG_BASE/xdg XDG_DATA_HOME=$RIG_BASE/home/.local/share \
        XDG_CONFIG_HOME=$RIG_BASE/home/.config QT_QPA_PLATFORM=offscreen TAVLOR_TRACE=1
    # A session bus of the rig's own carries the program's status (tavlor-status); none otherwise.
    if [ -n "${RIG_SESSION_PID:-}" ]; then
        export DBUS_SESSION_BUS_ADDRESS=unix:path=$RIG_BASE/session-bus
    else
        export DBUS_SESSION_BUS_ADDRESS=disabled:
    fi
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$RIG_BASE/app"
    chmod 700 "$XDG_RUNTIME_DIR"
    cp "$program" "$RIG_BASE/app/tavlor"
    RIG_DATA=$RIG_BASE/app/data/data.ini
    rm -rf "$RIG_BASE/app/data"
    rig_program_start "$RIG_BASE/first.log" || return 1
    rig_program_stop
    [ -f "$RIG_DATA" ]
}

# KEY=VALUE in SECTION (default: the counters' section) of the data file, CR LF as it is written.
rig_data_set() {
    local key=$1 value=$2 section=${3:-}
    if [ -z "$section" ]; then
        sed -i "s/^$key=[^\r]*/$key=$value/" "$RIG_DATA"
    elif grep -q "^\[$section\]" "$RIG_DATA"; then
        sed -i "/^\[$section\]/a $key=$value\r" "$RIG_DATA"
    else
        printf '[%s]\r\n%s=%s\r\n' "$section" "$key" "$value" >>"$RIG_DATA"
    fi
}

# The program inside NetworkManager's namespace, on its system bus; waits for its event loop.
rig_program_start() {
    local log=$1
    DBUS_SYSTEM_BUS_ADDRESS=$RIG_BUS ip netns exec "$RIG_NS" "$RIG_BASE/app/tavlor" >"$log" 2>&1 &
    RIG_PROGRAM_PID=$!
    for _ in $(seq 400); do
        grep -q 'event loop running' "$log" 2>/dev/null && return 0
        kill -0 "$RIG_PROGRAM_PID" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

# Ends the program through its normal way out (SIGTERM: it saves and quits).
rig_program_stop() {
    [ -n "$RIG_PROGRAM_PID" ] || return 0
    kill -TERM "$RIG_PROGRAM_PID" 2>/dev/null
    wait "$RIG_PROGRAM_PID" 2>/dev/null
    RIG_PROGRAM_PID=""
}

# Method calls to NetworkManager while the watch runs (dbus-monitor on its bus): what a
# program that only follows signals never makes while nothing changes.
rig_bus_watch_start() {
    RIG_WATCH_LOG=$RIG_BASE/bus-watch.log
    DBUS_SYSTEM_BUS_ADDRESS=$RIG_BUS dbus-monitor --system \
        "type='method_call',destination='org.freedesktop.NetworkManager'" >"$RIG_WATCH_LOG" 2>&1 &
    RIG_WATCH_PID=$!
    # A call of our own proves the watch sees calls at all; it is not counted.
    for _ in $(seq 50); do
        rig_manager_property Metered >/dev/null
        grep -q '^method call' "$RIG_WATCH_LOG" 2>/dev/null && break
        sleep 0.1
    done
    sleep 0.3 # a late copy of a control call is not the program's
    RIG_WATCH_SEEN=$(grep -c '^method call' "$RIG_WATCH_LOG")
}
# Prints the number of calls seen since rig_bus_watch_start, or "none" when the watch saw nothing
# at all (a watch that cannot see cannot tell).
rig_bus_watch_stop() {
    kill "$RIG_WATCH_PID" 2>/dev/null
    wait "$RIG_WATCH_PID" 2>/dev/null
    if [ "${RIG_WATCH_SEEN:-0}" -eq 0 ]; then
        echo none
        return
    fi
    echo $(($(grep -c '^method call' "$RIG_WATCH_LOG") - RIG_WATCH_SEEN))
}

# A saved total in whole bytes (INI keys are case-insensitive; thousands separators dropped).
rig_saved() { sed -n "s/^$1=\\([0-9.]*\\)\\r\$/\\1/Ip" "$RIG_DATA" | tr -d .; }
