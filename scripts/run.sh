#!/usr/bin/env bash
# Starts the built Tavlor. Ctrl+C ends it the way SIGINT always does: it saves and quits, and
# this script then ends without an error, so make has nothing to complain about.
# Without a desktop it runs the program on a virtual display (Xvfb with a tray host) and says
# how to make it count there, where nobody can reach its window.
set -euo pipefail
cd "$(dirname "$0")/.."
program="$PWD/build/bin/tavlor"
data_file="${XDG_DATA_HOME:-$HOME/.local/share}/Tavlor/data/data.ini"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program"
fi

pids=()
stop_helpers() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    if [ -n "${runtime_dir:-}" ]; then rm -rf "$runtime_dir"; fi
}
trap stop_helpers EXIT
# Ctrl+C reaches every process of the terminal's group: Tavlor saves and quits on it, and
# this script waits for that instead of dying with an error status.
interrupted=0
trap 'interrupted=1' INT TERM

. scripts/lib/virtual-display.sh
echo "run: no desktop found (DISPLAY and WAYLAND_DISPLAY are unset);"
echo "run: starting Tavlor on a virtual display (Xvfb) with a tray host. Ctrl+C ends it."
if ! grep -qsE $'^onLAN=1\r?$' "$data_file"; then
    cat <<EOF
run: Tavlor counts while a dial-up or mobile-broadband connection of NetworkManager is up, or
run: all the time in gateway mode ("Online Gateway?"). Nobody can tick that box on a virtual
run: display: end Tavlor (Ctrl+C), set onLAN=1 in its data file and start it again:
run:   sed -i 's/^onLAN=0/onLAN=1/' '$data_file'
EOF
fi
# The display and the tray host run in sessions of their own, so that Ctrl+C reaches Tavlor
# and this script only and the display outlives Tavlor's last save. (Started in the background,
# each function replaces its subshell, so the PIDs the helpers record stay the servers' own.)
Xvfb() { exec setsid Xvfb "$@"; }
trayer() { exec setsid trayer "$@"; }
start_virtual_display 1280x800
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    runtime_dir=$XDG_RUNTIME_DIR
fi
start_tray_host
# A session bus of our own for the tray; dbus-run-session would print a harmless warning about
# the file limit and die of the Ctrl+C before Tavlor has saved.
if bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null); then
    export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
    pids+=("${bus##*$'\n'}")
fi
[ "$interrupted" -eq 0 ] || exit 0
status=0
"$program" || status=$?
exit "$status"
