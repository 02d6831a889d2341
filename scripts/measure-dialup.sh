#!/usr/bin/env bash
# Dial-up figures of the real program against the NetworkManager stand-in (private system bus):
#  1. idle with one Ethernet connection up: D-Bus method calls the program makes (dbus-monitor)
#     and wakeups of its window thread per second, over SECONDS;
#  2. an 80 s dial-up session during which NetworkManager stalls for 40 s: online time counted,
#     whether the window kept repainting (screenshots every 5 s), and a SIGTERM during a second
#     stall: time to exit and saves.
# Usage: scripts/measure-dialup.sh [path/to/tavlor] [idle seconds, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${TAVLOR_NM_WORK:-}" ]; then
    exec tests/platform/linux/nm/with-nm-standin.sh "$0" "$@"
fi
program=$(realpath "${1:-build/bin/tavlor}")
seconds=${2:-60}
work=$(mktemp -d /tmp/tavlor-dialup-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
. scripts/lib/virtual-display.sh
start_virtual_display 1280x800
start_tray_host

nm() { # one call of NetworkManager's API or the stand-in's mock interface, in Python
    /usr/bin/python3 - "$@" <<'PY'
import sys, dbus
bus = dbus.SystemBus()
nm = bus.get_object('org.freedesktop.NetworkManager', '/org/freedesktop/NetworkManager')
mock = dbus.Interface(nm, 'org.freedesktop.DBus.Mock')
manager = dbus.Interface(nm, 'org.freedesktop.NetworkManager')
cmd = sys.argv[1]
if cmd == 'ethernet':
    dev = mock.AddEthernetDevice('eth0dev', 'eth0', 30)
    settings = dbus.Interface(bus.get_object('org.freedesktop.NetworkManager', '/org/freedesktop/NetworkManager/Settings'),
                              'org.freedesktop.NetworkManager.Settings')
    conn = settings.AddConnection({'connection': {'id': 'Kabel', 'uuid': '0a1b2c3d-0000-4000-8000-000000000001',
                                                  'type': '802-3-ethernet'}})
    print(manager.ActivateConnection(conn, dev, '/'))
elif cmd == 'mobile':
    settings = dbus.Interface(bus.get_object('org.freedesktop.NetworkManager', '/org/freedesktop/NetworkManager/Settings'),
                              'org.freedesktop.NetworkManager.Settings')
    conn = settings.AddConnection({'connection': {'id': 'Mobil', 'uuid': '0a1b2c3d-0000-4000-8000-000000000002',
                                                  'type': 'gsm'}, 'gsm': {'number': '*99#'}})
    print(manager.ActivateConnection(conn, '/', '/'))
elif cmd == 'hangup':
    manager.DeactivateConnection(dbus.ObjectPath(sys.argv[2]))
elif cmd == 'stall':
    mock.Stall(float(sys.argv[2]))
PY
}

mkdir -p "$work/app" "$work/home" "$work/run"
chmod 700 "$work/run"
cp "$program" "$work/app/tavlor"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run TAVLOR_TRACE=1 DBUS_SESSION_BUS_ADDRESS=disabled:
start_program() {
    "$work/app/tavlor" >"$work/$1.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    for _ in $(seq 250); do grep -q 'event loop running' "$work/$1.log" && return 0; sleep 0.02; done
    echo "measure: the program did not start" >&2
    exit 1
}
switches() { awk '/ctxt_switches/ { n += $2 } END { print n }' /proc/"$pid"/status; }

# 1. Idle in the tray with an Ethernet connection up. Without a window manager a click into the
# window is its first activation, which sends the program to the tray.
nm ethernet >/dev/null
start_program idle
window=$(xdotool search --onlyvisible --name '^Tavlor v2\.9$' | head -1)
activate_once "$window"
sleep 5
dbus-monitor --system "type='method_call',destination='org.freedesktop.NetworkManager'" >"$work/monitor.log" 2>&1 &
monitor=$!
pids+=("$monitor")
sleep 1
sw0=$(switches)
t0=$(date +%s%N)
sleep "$seconds"
sw1=$(switches)
elapsed_ns=$(($(date +%s%N) - t0))
kill "$monitor"
calls=$(grep -c '^method call' "$work/monitor.log" || true)
wakeups=$(awk -v n=$((sw1 - sw0)) -v ns="$elapsed_ns" 'BEGIN { printf "%.2f", n / (ns / 1e9) }')
echo "idle ${seconds} s with one Ethernet connection up: ${calls} D-Bus method calls to NetworkManager, ${wakeups} wakeups/s"
kill "$pid"
wait "$pid" 2>/dev/null || true
rm -rf "$work/app/data"

# 2. An 80 s dial-up session with a 40 s stall in it, the window on screen. The stand-in brings
# the connection up 150 ms after the call; times are taken from the clock, not from sleeps.
start_program stall
window=$(xdotool search --name '^Tavlor v2\.9$' | head -1)
active=$(nm mobile)
up=$(($(date +%s%N) + 150000000))
sleep_until() { local ns=$((up + $1 * 1000000000 - $(date +%s%N))); [ $ns -gt 0 ] && sleep "$(awk -v n=$ns 'BEGIN { print n / 1e9 }')"; return 0; }
sleep_until 20
nm stall 40
changed=0
previous=""
for step in 25 30 35 40 45 50 55 60; do
    sleep_until $step
    shot=$(xwd -id "$window" -silent | md5sum)
    [ -n "$previous" ] && [ "$shot" != "$previous" ] && changed=$((changed + 1))
    previous=$shot
done
sleep_until 80
nm hangup "$active"
session=$(awk -v ns=$(($(date +%s%N) - up)) 'BEGIN { printf "%.1f", ns / 1e9 }')
sleep 3
nm stall 10
sleep 1
begin=$(date +%s%N)
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
exit_ms=$((($(date +%s%N) - begin) / 1000000))
saves=$(grep -c 'tavlor: saved' "$work/stall.log" || true)
online=$(tr -d '\r' <"$work/app/data/data.ini" | awk -F= '$1 == "oTA" { print $2 }')
echo "${session} s session with NetworkManager stalled 40 s of it: online time counted ${online} (h:m:s); the window changed in ${changed} of 7 five-second steps during the stall"
echo "SIGTERM during a stall: exit after ${exit_ms} ms, ${saves} save(s)"

# 3. NetworkManager answers with wrong types: memory stays bounded, SIGTERM still ends the program.
rm -rf "$work/app/data"
start_program broken
sleep 2
/usr/bin/python3 -c "import dbus; dbus.Interface(dbus.SystemBus().get_object('org.freedesktop.NetworkManager', '/org/freedesktop/NetworkManager'), 'org.freedesktop.DBus.Mock').BreakTypes()"
sleep 3
rss_kb=$(awk '/^VmRSS/ { print $2 }' /proc/"$pid"/status)
begin=$(date +%s%N)
kill -TERM "$pid"
wait "$pid" 2>/dev/null || true
exit_ms=$((($(date +%s%N) - begin) / 1000000))
echo "wrongly typed ActiveConnections: resident $((rss_kb / 1024)) MB after 3 s, exit $exit_ms ms after SIGTERM"
grep -m1 "not a list of paths" "$work/broken.log" || true
