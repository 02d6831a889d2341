#!/usr/bin/env bash
# Runs a command against a NetworkManager stand-in: a private system bus (dbus-daemon) with
# python-dbusmock and the project's template on it. Both are stopped by PID afterwards.
# Usage: with-nm-standin.sh COMMAND [ARGS...]
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
bus_pid=""
mock_pid=""

cleanup() {
    [ -n "$mock_pid" ] && kill "$mock_pid" 2>/dev/null && wait "$mock_pid" 2>/dev/null
    [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_type="method_return"/>
    <allow send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="signal"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
  </policy>
</busconfig>
CONF

dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/address" 2>"$work/bus.log" &
bus_pid=$!
for _ in $(seq 100); do
    [ -s "$work/address" ] && break
    sleep 0.05
done
DBUS_SYSTEM_BUS_ADDRESS="$(head -n1 "$work/address")"
export DBUS_SYSTEM_BUS_ADDRESS
[ -n "$DBUS_SYSTEM_BUS_ADDRESS" ] || { echo "with-nm-standin: no bus" >&2; exit 1; }

# The Debian modules (dbus, gi, dbusmock) belong to the system's own Python.
/usr/bin/python3 -m dbusmock --system --template "$here/nm_template.py" >"$work/mock.log" 2>&1 &
mock_pid=$!
for _ in $(seq 200); do
    if dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.NetworkManager 2>/dev/null | grep -q true; then
        break
    fi
    sleep 0.05
done

"$@"
status=$?
if [ $status -ne 0 ]; then
    echo "--- stand-in log ---" >&2
    tail -n 40 "$work/mock.log" >&2
fi
exit $status
