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

pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; done' EXIT
. scripts/lib/virtual-display.sh
start_virtual_display 1024x768

QT_QPA_PLATFORM=xcb dbus-run-session -- "$demo" "$out"
echo "screenshot-monitor: wrote $out"
