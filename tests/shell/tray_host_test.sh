#!/usr/bin/env bash
# The real program with a StatusNotifierWatcher on a session bus of its own (as a KDE program
# runs one) and no XEmbed tray on its Xvfb:
#   no host registered: no tray, so the first activation leaves the window shown, also after a
#     host comes later;
#   a host registered: the program goes to the tray, and when the host goes, the window comes
#     back by itself.
# The window is focused by window id (no window manager runs), never clicked.
# Every process started here is stopped by its PID.
set -uo pipefail
program=$1
. "$(dirname "$0")/../../scripts/lib/test-rig.sh"
require_tools Xvfb xdotool dbus-daemon dbus-send

here=$(cd "$(dirname "$0")" && pwd)
begin_rig trayhost
fail() {
    echo "FAIL [$case]: $*"
    failures=$((failures + 1))
}

. "$here/../../scripts/lib/virtual-display.sh"
start_virtual_display 1280x800 || exit 1
mkdir -p "$root/home" "$root/run"
chmod 700 "$root/run"
export HOME=$root/home XDG_RUNTIME_DIR=$root/run DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/no-system-bus

window() { xdotool search --onlyvisible --name '^Tavlor v2\.9$' 2>/dev/null | head -1; }
shown() { [ -n "$(window)" ]; }
hidden() { [ -z "$(window)" ]; }
set_host() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.tavlor.Test.SetHost "boolean:$1" >/dev/null
}
item_registered() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null | grep -q 'string "'
}

run_case() { # run_case WATCHER-OPTION
    local out bus_pid watcher_pid app
    out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || return 1
    export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
    bus_pid=$(echo "$out" | sed -n 2p)
    pids+=("$bus_pid")
    /usr/bin/python3 "$here/desktop/sni_watcher.py" "$@" >"$root/watcher.log" 2>&1 &
    watcher_pid=$!
    pids+=("$watcher_pid")
    until_true 5 grep -q ready "$root/watcher.log" || { fail "the watcher did not start"; return; }

    rm -rf "$root/app"
    mkdir -p "$root/app/data"
    cp "$program" "$root/app/tavlor"
    "$root/app/tavlor" >"$root/app.log" 2>&1 &
    app=$!
    pids+=("$app")
    until_true 10 shown || { fail "the window did not appear"; return; }
    # Its first activation, as a user's click into it would be.
    xdotool windowfocus "$(window)" 2>/dev/null
    if [ "$case" = "no host" ]; then
        sleep 4
        shown || fail "the window withdrew although no tray shows an icon"
        set_host true
        sleep 2
        shown || fail "the window withdrew when a host came later"
    else
        until_true 5 item_registered || fail "no item registered with the watcher"
        until_true 5 hidden || fail "the first activation did not send the program to the tray"
        set_host false
        until_true 5 shown || fail "the host went away and the window stayed hidden"
    fi
    kill "$app"
    until_true 10 eval '! kill -0 "$app" 2>/dev/null' || fail "SIGTERM did not end the program"
    kill "$watcher_pid" "$bus_pid" 2>/dev/null
    wait "$watcher_pid" 2>/dev/null
}

case="no host"
run_case
case="host"
run_case --host

if [ "$failures" -ne 0 ]; then
    cat "$root/app.log"
    exit 1
fi
echo "a watcher without a host is no tray; a host going away brings the window back"
