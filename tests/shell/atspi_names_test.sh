#!/usr/bin/env bash
# The main window through a screen reader's eyes (AT-SPI on the test's own session bus): every
# input and list is announced by its caption, the connection manager's fields included.
# Every process started here is stopped by its PID.
set -uo pipefail
program=$1
for tool in Xvfb dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool missing (scripts/install-deps.sh installs it)"; exit 1; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "FAIL: python3-pyatspi missing"; exit 1; }

root=$(mktemp -d /tmp/tavlor-atspi-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    # The bus started the accessibility bus and its registry; they end with it.
    rm -rf "$root"
}
trap cleanup EXIT

. "$(dirname "$0")/../../scripts/lib/virtual-display.sh"
start_virtual_display 1280x800 || exit 1
mkdir -p "$root/app/data" "$root/home" "$root/run"
chmod 700 "$root/run"
export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_CONFIG_HOME=$root/home/.config
out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || exit 1
export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
pids+=("$(echo "$out" | sed -n 2p)")
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/no-system-bus
cp "$program" "$root/app/tavlor"
# No notification area: the window stays on screen.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$root/app/tavlor" >"$root/log" 2>&1 &
pids+=($!)

names=$(timeout 60 /usr/bin/python3 "$(dirname "$0")/atspi_names.py")
failures=0
expect() { # expect ROLE NAME
    grep -qxF "$1	$2" <<<"$names" || { echo "FAIL: no $1 named \"$2\""; failures=$((failures + 1)); }
}
expect text Username
expect "password text" Passwort
expect text Nummer
expect list Verbindungsmanager
expect "check box" "Online Gateway?"
expect "check box" "Minimieren statt schliessen"
expect "radio button" "Onlinezeit Heute"
expect "push button" "Experten Einstellungen"
# Nothing that takes input is announced without a name, or by its group's title.
if grep -P '^(text|password text|list)\t(|Verbindungsmanager)$' <<<"$names" | grep -v '^list' | grep -q .; then
    echo "FAIL: an input announced without its own name"
    failures=$((failures + 1))
fi
if [ "$failures" -ne 0 ]; then
    echo "$names"
    cat "$root/log"
    exit 1
fi
echo "every input and list has its caption as accessible name"
