#!/usr/bin/env bash
# Screenshots of the main window, collapsed and expanded, on a virtual display (Xvfb):
# docs/main-collapsed.png and docs/main-expanded.png. Without a notification area the window
# stays shown, so no tray host is started. Usage: scripts/screenshot.sh [path/to/tavlor]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-$PWD/build/bin/tavlor}
out=$PWD/docs
mkdir -p "$out"

work=$(mktemp -d /tmp/tavlor-shot-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

. scripts/lib/virtual-display.sh
start_virtual_display 1400x800

mkdir -p "$work/app" "$work/home" "$work/run"
chmod 700 "$work/run"
cp "$program" "$work/app/tavlor"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run LANG=de_DE.UTF-8 LC_ALL=
export DBUS_SESSION_BUS_ADDRESS=disabled: DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-system-bus
"$work/app/tavlor" >/dev/null 2>&1 &
pids+=($!)

window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Tavlor v2\.9$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
sleep 2.5 # a few ticks fill the labels and the gauge
import -window "$window" "$out/main-collapsed.png"

# "VerbindungsManager  öffnen>>" by the keyboard, along the focus order.
press_by_tab "$window" 6
sleep 1.5
# Without NetworkManager the manager says so in a message box; answer it.
xdotool key --clearmodifiers Return 2>/dev/null || true
sleep 1
import -window "$window" "$out/main-expanded.png"
echo "screenshot: wrote $out/main-collapsed.png and $out/main-expanded.png"
