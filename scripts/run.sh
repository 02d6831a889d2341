#!/usr/bin/env bash
# Starts Tavlor. Without a desktop it says so and runs the program on a virtual display
# (Xvfb with a tray host), so that it still counts.
set -euo pipefail
cd "$(dirname "$0")/.."
program="$PWD/build/bin/tavlor"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program"
fi

echo "run: no desktop found (DISPLAY and WAYLAND_DISPLAY are unset);"
echo "run: starting Tavlor on a virtual display (Xvfb) with a tray host. Ctrl+C ends it."
display=":$(( 90 + RANDOM % 100 ))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    [ -n "${tray_pid:-}" ] && kill "$tray_pid" 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done
export DISPLAY="$display"
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
tray_pid=$!
sleep 0.5
if command -v dbus-run-session >/dev/null 2>&1; then
    dbus-run-session -- "$program"
else
    "$program"
fi
