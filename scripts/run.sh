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
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done' EXIT
. scripts/lib/virtual-display.sh
start_virtual_display 1280x800
start_tray_host
if command -v dbus-run-session >/dev/null 2>&1; then
    dbus-run-session -- "$program"
else
    "$program"
fi
