#!/usr/bin/env bash
# Draws the bandwidth monitor with a few minutes of generated samples on a virtual display
# and saves it as docs/monitor.png. Usage: scripts/screenshot-monitor.sh [build dir] [out.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="${2:-docs/monitor.png}"
demo="$build/bin/monitor_demo"
if [ ! -x "$demo" ]; then
    echo "screenshot-monitor: $demo is missing; build the target monitor_demo first" >&2
    exit 1
fi
mkdir -p "$(dirname "$out")"

# A display number nobody uses: Xvfb refuses one whose lock file exists.
number=$(( 150 + RANDOM % 100 ))
while [ -e "/tmp/.X${number}-lock" ]; do
    number=$(( number + 1 ))
done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.1
done

DISPLAY=":$number" QT_QPA_PLATFORM=xcb dbus-run-session -- "$demo" "$out"
echo "screenshot-monitor: wrote $out"
