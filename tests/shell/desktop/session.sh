# Sourced by the desktop tests: a small real desktop on a virtual display, xfwm4 as window
# manager and xfce4-panel with a task list and its Status Tray (hosts StatusNotifierItems over
# D-Bus and XEmbed icons), on a session bus of its own. Every PID goes into the caller's `pids`.
# Needs scripts/lib/virtual-display.sh sourced first and $root set to the test's own folder.

# start_desktop: display, bus, window manager and panel; exports DISPLAY, the XDG folders
# and DBUS_SESSION_BUS_ADDRESS.
start_desktop() {
    start_virtual_display 1280x800 || return 1
    mkdir -p "$root/home" "$root/config/xfce4/xfconf/xfce-perchannel-xml" "$root/cache" "$root/share" "$root/run"
    chmod 700 "$root/run"
    cp "$(dirname "${BASH_SOURCE[0]}")/xfce4-panel.xml" "$root/config/xfce4/xfconf/xfce-perchannel-xml/"
    export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_CACHE_HOME=$root/cache \
        XDG_DATA_HOME=$root/share XDG_RUNTIME_DIR=$root/run
    local out
    out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || return 1
    export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
    pids+=("$(echo "$out" | sed -n 2p)")
    xfwm4 --compositor=off >"$root/wm.log" 2>&1 &
    pids+=($!)
    start_panel
}

# start_panel: the panel (again); waits until its StatusNotifier watcher is on the bus.
start_panel() {
    XDG_CURRENT_DESKTOP=XFCE xfce4-panel >>"$root/panel.log" 2>&1 &
    panel_pid=$!
    pids+=("$panel_pid")
    for _ in $(seq 100); do
        bus_has org.kde.StatusNotifierWatcher && sleep 0.5 && return 0
        sleep 0.1
    done
    echo "the panel did not come up" >&2
    return 1
}

bus_has() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        "string:$1" 2>/dev/null | grep -q "boolean true"
}

# The panel draws StatusNotifierItems itself, at the right end of the panel along the top.
tray_icon_point() {
    echo "$((1280 - 16)) 15"
}
