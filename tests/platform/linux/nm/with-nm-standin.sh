#!/usr/bin/env bash
# Runs a command against a NetworkManager stand-in: a private system bus (dbus-daemon) with
# python-dbusmock and the project's template on it. Both are stopped by PID afterwards.
# The command finds two helpers in its environment:
#   TAVLOR_NM_RESTART_BUS  restarts bus daemon and stand-in at the same address
#   TAVLOR_NM_RESTART_NM   restarts only the stand-in (NetworkManager leaves the bus and comes back)
# Usage: with-nm-standin.sh COMMAND [ARGS...]
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
export TAVLOR_NM_WORK="$work" TAVLOR_NM_TEMPLATE="$here/nm_template.py"

stop_pid() {
    local file=$1
    [ -s "$file" ] || return 0
    local pid
    pid=$(cat "$file")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$pid" 2>/dev/null
    rm -f "$file"
}

cleanup() {
    stop_pid "$work/mock.pid"
    stop_pid "$work/bus.pid"
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
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
CONF

# The two starters, also used by the restart helpers the command may call.
cat >"$work/start-bus.sh" <<'SH'
#!/usr/bin/env bash
work=$TAVLOR_NM_WORK
rm -f "$work/system_bus_socket" "$work/address"
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/address" 2>>"$work/bus.log" &
echo $! >"$work/bus.pid"
for _ in $(seq 100); do [ -s "$work/address" ] && break; sleep 0.05; done
SH
cat >"$work/start-mock.sh" <<'SH'
#!/usr/bin/env bash
work=$TAVLOR_NM_WORK
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus_socket"
# The Debian modules (dbus, gi, dbusmock) belong to the system's own Python.
/usr/bin/python3 -m dbusmock --system --template "$TAVLOR_NM_TEMPLATE" >>"$work/mock.log" 2>&1 &
echo $! >"$work/mock.pid"
for _ in $(seq 200); do
    if dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.NetworkManager 2>/dev/null | grep -q true; then
        break
    fi
    sleep 0.05
done
SH
cat >"$work/restart-nm.sh" <<SH
#!/usr/bin/env bash
$(declare -f stop_pid)
stop_pid "$work/mock.pid"
bash "$work/start-mock.sh"
SH
cat >"$work/restart-bus.sh" <<SH
#!/usr/bin/env bash
$(declare -f stop_pid)
stop_pid "$work/mock.pid"
stop_pid "$work/bus.pid"
bash "$work/start-bus.sh"
bash "$work/start-mock.sh"
SH
export TAVLOR_NM_RESTART_BUS="bash $work/restart-bus.sh" TAVLOR_NM_RESTART_NM="bash $work/restart-nm.sh"

bash "$work/start-bus.sh"
DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus_socket"
export DBUS_SYSTEM_BUS_ADDRESS
[ -S "$work/system_bus_socket" ] || { echo "with-nm-standin: no bus" >&2; exit 1; }
bash "$work/start-mock.sh"

"$@"
status=$?
if [ $status -ne 0 ]; then
    echo "--- stand-in log ---" >&2
    tail -n 40 "$work/mock.log" >&2
fi
exit $status
