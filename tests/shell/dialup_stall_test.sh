#!/usr/bin/env bash
# The real program against a NetworkManager stand-in that stalls (run inside with-nm-standin.sh):
# a dial-up session keeps counting while NetworkManager answers nothing, and SIGTERM during the
# stall saves once and ends the program at once. Offscreen platform, folders of its own.
set -uo pipefail
program=$1
root=$(mktemp -d /tmp/tavlor-stall-XXXXXX)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT
export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_DATA_HOME=$root/home/.local/share \
    XDG_CONFIG_HOME=$root/home/.config QT_QPA_PLATFORM=offscreen TAVLOR_TRACE=1 DBUS_SESSION_BUS_ADDRESS=disabled:
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$root/app"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$program" "$root/app/tavlor"

nm() {
    /usr/bin/python3 - "$@" <<'PY'
import sys, dbus
bus = dbus.SystemBus()
nm = bus.get_object('org.freedesktop.NetworkManager', '/org/freedesktop/NetworkManager')
manager = dbus.Interface(nm, 'org.freedesktop.NetworkManager')
if sys.argv[1] == 'mobile':
    settings = dbus.Interface(bus.get_object('org.freedesktop.NetworkManager', '/org/freedesktop/NetworkManager/Settings'),
                              'org.freedesktop.NetworkManager.Settings')
    conn = settings.AddConnection({'connection': {'id': 'Mobil', 'uuid': '0a1b2c3d-0000-4000-8000-000000000002',
                                                  'type': 'gsm'}, 'gsm': {'number': '*99#'}})
    print(manager.ActivateConnection(conn, '/', '/'))
elif sys.argv[1] == 'hangup':
    manager.DeactivateConnection(dbus.ObjectPath(sys.argv[2]))
else:
    dbus.Interface(nm, 'org.freedesktop.DBus.Mock').Stall(float(sys.argv[2]))
PY
}

"$root/app/tavlor" >"$root/log" 2>&1 &
pid=$!
for _ in $(seq 250); do grep -q 'event loop running' "$root/log" && break; sleep 0.02; done
active=$(nm mobile)
up=$(date +%s%N)
sleep 2
nm stall 6
sleep 6.5 # the stall is over: the hang-up is answered
nm hangup "$active"
session_s=$(((($(date +%s%N) - up) / 1000000 + 500) / 1000))
sleep 1.5
nm stall 5
sleep 0.5
begin=$(date +%s%N)
kill -TERM "$pid"
wait "$pid" 2>/dev/null
exit_ms=$((($(date +%s%N) - begin) / 1000000))
pid=""
saves=$(grep -c 'tavlor: saved' "$root/log")
online=$(tr -d '\r' <"$root/app/data/data.ini" | awk -F= '$1 == "oTA" { split($2, t, ":"); print t[1] * 3600 + t[2] * 60 + t[3] }')
echo "session ${session_s} s, counted ${online} s; SIGTERM during a stall: ${exit_ms} ms, ${saves} save(s)"
failures=0
# A second of slack each way: the tick samples once a second.
[ "$online" -ge $((session_s - 1)) ] && [ "$online" -le $((session_s + 1)) ] || { echo "FAIL: online time"; failures=1; }
[ "$exit_ms" -lt 1000 ] || { echo "FAIL: SIGTERM took ${exit_ms} ms"; failures=1; }
[ "$saves" -eq 1 ] || { echo "FAIL: ${saves} saves"; failures=1; }
exit $failures
