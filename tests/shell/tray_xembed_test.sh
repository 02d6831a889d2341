#!/usr/bin/env bash
# The real program with an XEmbed tray host (trayer) on its own Xvfb: the first activation
# sends it to the tray, the pointer resting on the icon while offline shows "Offline" (read as a
# screen reader reads it), a single click on the icon does nothing, a double-click brings the
# window back at the position loaded at start-up. (Minimising needs a window manager, which
# this display does not run.)
# Every process started here is stopped by its PID.
set -uo pipefail
program=$1
. "$(dirname "$0")/../../scripts/lib/test-rig.sh"
require_tools Xvfb trayer xdotool dbus-daemon

begin_rig tray

. "$(dirname "$0")/../../scripts/lib/virtual-display.sh"
start_virtual_display 1280x800 || exit 1
start_tray_host

mkdir -p "$root/app/data" "$root/home" "$root/run"
chmod 700 "$root/run"
cp "$program" "$root/app/tavlor"
# A data file whose saved position the double-click must restore.
printf 'x\r\n\r\n[data]\r\nX=60\r\nY=40\r\n' >"$root/app/data/data.ini"
export HOME=$root/home XDG_RUNTIME_DIR=$root/run
# A session bus of its own for the accessibility bus (no StatusNotifierWatcher on it: the tray
# is trayer's XEmbed one); no system bus, so the program is offline.
out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || exit 1
export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
pids+=("$(echo "$out" | sed -n 2p)")
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/no-system-bus
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$root/app/tavlor" >"$root/log" 2>&1 &
pids+=($!)

shown() { xdotool search --onlyvisible --name '^Tavlor v2\.9$' 2>/dev/null | head -1; }
wait_for() { # wait_for shown|hidden
    for _ in $(seq 40); do
        if [ "$1" = shown ] && [ -n "$(shown)" ]; then return 0; fi
        if [ "$1" = hidden ] && [ -z "$(shown)" ]; then return 0; fi
        sleep 0.1
    done
    return 1
}

wait_for shown || fail "the window did not appear"
window=$(shown)
# Without a window manager nothing focuses the window: the keyboard focus, given by window id,
# is its first activation.
activate_once "$window"
wait_for hidden || fail "the first activation did not send the program to the tray"

icon=$(xdotool search --class trayer 2>/dev/null | while read -r w; do
    xwininfo -id "$w" -tree 2>/dev/null | grep -q '"Tavlor"' && echo "$w"
done | head -1)
eval "$(xdotool getwindowgeometry --shell "${icon:-0}" 2>/dev/null)" || true
x=$((${X:-1256} + 12)) y=$((${Y:-0} + 12))
# The pointer comes to rest on the icon, twice: offline, the tooltip is "Offline" both times,
# not the composed three lines.
tip=""
for _ in 1 2; do
    xdotool mousemove "$((x - 300))" "$((y + 300))" # off the icon, wherever the tray put it
    sleep 0.3
    xdotool mousemove "$((x - 3))" "$y"
    sleep 0.3
    xdotool mousemove "$x" "$y"
    sleep 1.5
    tip=$(/usr/bin/python3 "$(dirname "$0")/desktop/tooltip.py")
    [ "$tip" = Offline ] || fail "offline, the tooltip reads: ${tip:-nothing}"
done
xdotool mousemove "$((x - 300))" "$((y + 300))" # off the icon, wherever the tray put it
sleep 0.3
xdotool mousemove "$x" "$y" click 1
sleep 0.8
[ -z "$(shown)" ] || fail "a single click showed the window"
xdotool mousemove "$x" "$y" click --repeat 2 --delay 60 1
wait_for shown || fail "a double-click did not show the window"
eval "$(xdotool getwindowgeometry --shell "$(shown)")"
[ "$X" = 60 ] && [ "$Y" = 40 ] || fail "double-click placed the window at $X,$Y instead of 60,40"

if [ "$failures" -ne 0 ]; then
    cat "$root/log"
    exit 1
fi
echo "tray behaviour as expected"
