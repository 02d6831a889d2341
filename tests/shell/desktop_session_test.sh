#!/usr/bin/env bash
# The real program in a real desktop (xfwm4 and xfce4-panel on a virtual display), on both
# tray paths: StatusNotifierItem over D-Bus and XEmbed. Per path, three sessions with one data
# file: the tooltip on hover, the real context menu, activation (double-click on XEmbed), the
# minimise button sending the program to the tray, the frame landing at the saved X/Y in every
# session (no creep), and the panel going away while the program is hidden.
# Every process started here is stopped by its PID.
set -uo pipefail
program=$1
. "$(dirname "$0")/../../scripts/lib/test-rig.sh"
require_tools Xvfb xfwm4 xfce4-panel xdotool xprop xwininfo dbus-daemon dbus-send

begin_rig desktop
fail() {
    echo "FAIL [$mode, session $session]: $*"
    failures=$((failures + 1))
}

here=$(dirname "$0")
. "$here/../../scripts/lib/virtual-display.sh"
. "$here/desktop/session.sh"
start_desktop || exit 1

# --- what the test looks at ---
window() { xdotool search --onlyvisible --name '^Tavlor v2\.9$' 2>/dev/null | head -1; }
shown() { [ -n "$(window)" ]; }
hidden() { [ -z "$(window)" ]; }
ended() { ! kill -0 "$app" 2>/dev/null; }
# The frame's top-left: the inner window's place less the frame the window manager drew.
frame_of() {
    local ax ay left top
    [ -n "${1:-}" ] || return 1
    ax=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $4}')
    ay=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $4}')
    read -r left _ top _ < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    echo "$((ax - left)),$((ay - top))"
}
windows_of_type() { # windows_of_type CLASS TYPE
    for w in $(xdotool search --onlyvisible --class "$1" 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_$2" && echo "$w"
    done
}
xembed_icon() { # the embedded icon: override type, neither tooltip nor the menu
    local type
    for w in $(xdotool search --onlyvisible --class tavlor 2>/dev/null); do
        type=$(xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null)
        grep -q _KDE_NET_WM_WINDOW_TYPE_OVERRIDE <<<"$type" && ! grep -q TOOLTIP <<<"$type" &&
            { echo "$w"; return; }
    done
}
sni_item() { # the bus name of the first registered item
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null | grep -o '":[0-9.]*/' | tr -d '"/' | head -1
}
icon_there() { if [ "$mode" = sni ]; then [ -n "$(sni_item)" ]; else [ -n "$(xembed_icon)" ]; fi; }
icon_point() {
    if [ "$mode" = sni ]; then
        tray_icon_point
        return
    fi
    local w ax ay width height
    w=$(xembed_icon)
    [ -n "$w" ] || { echo "0 0"; return 1; }
    ax=$(xwininfo -id "$w" | awk '/Absolute upper-left X/ {print $4}')
    ay=$(xwininfo -id "$w" | awk '/Absolute upper-left Y/ {print $4}')
    width=$(xwininfo -id "$w" | awk '/Width:/ {print $2}')
    height=$(xwininfo -id "$w" | awk '/Height:/ {print $2}')
    echo "$((ax + width / 2)) $((ay + height / 2))"
}

# --- what the user does ---
start_program() {
    if [ "$mode" = sni ]; then
        "$root/app/tavlor" >>"$root/app.log" 2>&1 &
    else
        DBUS_SESSION_BUS_ADDRESS=disabled: "$root/app/tavlor" >>"$root/app.log" 2>&1 &
    fi
    app=$!
    pids+=("$app")
    until_true 10 icon_there || fail "no icon in the panel"
    # The window manager activates the new window, which sends the program to the tray; the
    # window may come and go between two looks, so its showing is waited for only briefly.
    until_true 3 shown
    sleep 0.3
    if ! until_true 5 hidden && [ -n "$(window)" ]; then
        # Shown without the focus (a busy machine, focus-stealing prevention): the window
        # manager activates it on request, as a click on its task-list entry would.
        xdotool windowactivate --sync "$(window)" 2>/dev/null || xdotool windowfocus "$(window)"
    fi
    until_true 5 hidden || fail "the program did not start in the tray"
}
activate() {
    read -r x y < <(icon_point)
    if [ "$mode" = sni ]; then
        xdotool mousemove "$x" "$y" click 1 # the host offers activation, no double-click
    else
        xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
    fi
}
menu_item() { # menu_item N: the N-th item of the icon's menu, by keyboard as a user might
    read -r x y < <(icon_point)
    xdotool mousemove "$x" "$y" click 3
    sleep 0.8
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
}
saved() { tr -d '\r' <"$root/app/data/data.ini" | awk -F= '/^X=/ {x=$2} /^Y=/ {y=$2} END {print x "," y}'; }

tooltip_shown() {
    if [ "$mode" = sni ]; then
        return 0 # the panel draws it from the item's ToolTip property, read below
    fi
    [ -n "$(windows_of_type tavlor TOOLTIP)" ]
}

check_hover() {
    local tries=0
    read -r x y < <(icon_point)
    # A pointer that comes to rest on the icon, as a hand does; once more if the first pass
    # came before the tray was ready for it.
    until [ "$tries" -ge 3 ] || tooltip_shown; do
        xdotool mousemove "$((x - 300))" "$((y + 300))" # off the icon, wherever the tray put it
        sleep 0.3
        xdotool mousemove "$((x - 3))" "$y"
        sleep 0.3
        xdotool mousemove "$x" "$y"
        until_true 2 tooltip_shown
        tries=$((tries + 1))
    done
    tooltip_shown || fail "hovering the icon showed no tooltip"
    if [ "$mode" = sni ]; then
        local tip
        tip=$(dbus-send --session --print-reply --dest="$(sni_item)" /StatusNotifierItem \
            org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:ToolTip 2>/dev/null)
        grep -q 'Zeit: ' <<<"$tip" && grep -q 'Down: ' <<<"$tip" ||
            fail "the item's tooltip is not the composed hint: $tip"
    fi
    xdotool mousemove "$((x - 300))" "$((y + 300))" # off the icon, wherever the tray put it
}

run_session() {
    echo "$mode, session $session"
    start_program
    if [ "$session" = 1 ]; then
        check_hover
        menu_item 2 # "Tavlor zeigen", below "Verlauf und Volumenwarner…"
        until_true 5 shown || fail "\"Tavlor zeigen\" did not show the window"
        xdotool windowminimize "$(window)"
        until_true 5 hidden || fail "minimising did not send the program to the tray"
        sleep 0.3
        icon_there || fail "the icon went with the window"
    fi
    activate
    until_true 5 shown || fail "activating the icon did not show the window"
    sleep 1.2 # the frame is known only after mapping
    [ "$(frame_of "$(window)")" = 200,150 ] || fail "frame at $(frame_of "$(window)") instead of 200,150"
    if [ "$session" = 3 ]; then
        xdotool windowminimize "$(window)"
        until_true 5 hidden || fail "minimising did not send the program to the tray"
        kill "$panel_pid"
        until_true 5 shown || fail "the panel went away and the window stayed hidden"
        start_panel
        until_true 10 icon_there || fail "the icon did not come back with the panel"
    fi
    menu_item 3 # "Tavlor beenden"
    until_true 10 ended || { fail "\"Tavlor beenden\" did not end the program"; kill "$app"; }
    [ "$(saved)" = 200,150 ] || fail "session saved X,Y $(saved) instead of 200,150"
}

for mode in xembed sni; do
    mkdir -p "$root/app/data"
    cp "$program" "$root/app/tavlor"
    # Gateway mode, so that the program counts and composes its tooltip from the start.
    printf 'x\r\n\r\n[data]\r\nonLAN=1\r\nX=200\r\nY=150\r\n' >"$root/app/data/data.ini"
    for session in 1 2 3; do
        run_session
    done
    rm -rf "$root/app"
done

if [ "$failures" -ne 0 ]; then
    tail -20 "$root/app.log"
    exit 1
fi
echo "both tray paths behave in a real panel under a window manager"
