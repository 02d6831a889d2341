#!/usr/bin/env bash
# The real program on Wayland: sway (headless backend) with waybar's tray as the
# StatusNotifierItem host, on a session bus of its own, as an ordinary user (sway refuses to
# run as root; as root the test runs itself as "nobody"). The icon registers, the first
# activation sends the program to the tray, the host's activation shows it again, the collapsed
# window shows no right column at the size sway tiles it to, and "Tavlor beenden" from the
# item's menu saves (the saved position stays as loaded: Wayland does not let a client place
# its window) and ends the program.
# With TAVLOR_SCREENSHOT=FILE.png the collapsed window is photographed (grim), and the history
# window as FILE-verlauf.png.
# Skipped (exit 77, with the reason) only where sway cannot run.
# Every process started here is stopped by its PID.
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
skip() {
    echo "SKIP: $*"
    exit 77
}

if [ "${2:-}" != --inner ]; then
    for tool in sway waybar swaymsg dbus-run-session; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh installs it)"
    done
    ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
        skip "Qt's Wayland plugin is not installed (package qt6-wayland)"
    /usr/bin/python3 -c 'import pyatspi, dbus' 2>/dev/null || { echo "FAIL: python3-pyatspi or python3-dbus missing"; exit 1; }
    root=$(mktemp -d /tmp/tavlor-sway-XXXXXX)
    trap 'rm -rf "$root"' EXIT
    mkdir -p "$root/app/data"
    cp "$program" "$root/app/tavlor"
    shot=${TAVLOR_SCREENSHOT:-}
    # The connection manager asks NetworkManager: run under with-nm-standin.sh, its private
    # system bus is handed in (and opened to the ordinary user).
    system_bus=${DBUS_SYSTEM_BUS_ADDRESS:-unix:path=$root/no-system-bus}
    [ -z "${TAVLOR_NM_WORK:-}" ] || chmod 755 "$TAVLOR_NM_WORK"
    if [ "$(id -u)" = 0 ]; then
        chown -R nobody:nogroup "$root"
        chmod 755 "$root"
        [ -z "$shot" ] || { touch "$shot" "${shot%.png}-verlauf.png" && chown nobody "$shot" "${shot%.png}-verlauf.png"; }
        setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env \
            env PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$root/home" TAVLOR_ROOT="$root" TAVLOR_SCREENSHOT="$shot" \
            DBUS_SYSTEM_BUS_ADDRESS="$system_bus" \
            dbus-run-session -- bash "$0" "$root/app/tavlor" --inner
    else
        DBUS_SYSTEM_BUS_ADDRESS=$system_bus TAVLOR_ROOT=$root TAVLOR_SCREENSHOT=$shot dbus-run-session -- bash "$0" "$root/app/tavlor" --inner
    fi
    exit $?
fi

# --- inside: an ordinary user on the session bus of dbus-run-session ---
root=$TAVLOR_ROOT
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
until_true() { # until_true SECONDS COMMAND...: polls every 0.1 s
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}

mkdir -p "$root/home" "$root/run" "$root/config/waybar"
chmod 700 "$root/run"
export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_CONFIG_HOME=$root/config
cat >"$root/config/waybar/config" <<'EOF'
{ "layer": "top", "position": "top", "height": 26, "modules-right": ["tray"], "tray": {"spacing": 4} }
EOF
: >"$root/config/waybar/style.css"
cat >"$root/sway.conf" <<EOF
output HEADLESS-1 resolution 1280x800
default_border normal
exec waybar -c $root/config/waybar/config -s $root/config/waybar/style.css >$root/waybar.log 2>&1
EOF
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$root/sway.conf" >"$root/sway.log" 2>&1 &
pids+=($!)
socket_up() { ls "$XDG_RUNTIME_DIR"/wayland-* >/dev/null 2>&1 && ls "$XDG_RUNTIME_DIR"/sway-ipc.* >/dev/null 2>&1; }
until_true 10 socket_up || skip "sway cannot run here: $(tail -3 "$root/sway.log" | tr '\n' ' ')"
WAYLAND_DISPLAY=$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-* | grep -v '\.lock$' | head -1)")
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.* | head -1)
export WAYLAND_DISPLAY SWAYSOCK
watcher_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q 'boolean true'
}
until_true 15 watcher_up || { fail "waybar's tray did not come up"; cat "$root/waybar.log"; exit 1; }

# Gateway mode counts from the first second; the saved position must survive the run.
printf 'x\r\n\r\n[data]\r\nonLAN=1\r\nX=200\r\nY=150\r\n' >"$root/app/data/data.ini"
if [ -n "${TAVLOR_SCREENSHOT:-}" ]; then
    # For the picture of the history window: 40 days with a weekly rhythm.
    {
        echo "Datum;Onlinezeit;Download;Upload"
        for back in $(seq 40 -1 1); do
            echo "$(date -d "-$back days" +%F);$((3600 + back * 60));$((150000000 + (back % 7) * 60000000 + back * 3000000));$((20000000 + (back % 5) * 4000000))"
        done
    } >"$root/app/data/verlauf.csv"
fi
QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$root/app.log" 2>&1 &
app=$!
pids+=("$app")

item() { /usr/bin/python3 "$here/desktop/sni_item.py" "$@"; }
# The window as sway holds it: "W H" of the program's window, nothing when it is not mapped.
window_rect() {
    swaymsg -t get_tree 2>/dev/null | /usr/bin/python3 -c '
import json, sys
def walk(n):
    yield n
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        yield from walk(c)
for n in walk(json.load(sys.stdin)):
    if n.get("name") == "Tavlor v2.9" and n.get("visible"):
        print(n["window_rect"]["width"], n["window_rect"]["height"])
        break'
}
mapped() { [ -n "$(window_rect)" ]; }
unmapped() { [ -z "$(window_rect)" ]; }

until_true 10 item registered || fail "the icon did not register with waybar's watcher"
# sway focuses the new window: its first activation sends the program to the tray.
until_true 10 mapped
until_true 10 unmapped || fail "the first activation did not send the program to the tray"
item activate || fail "the item could not be activated"
until_true 10 mapped || fail "activating the icon did not show the window"
check_collapsed() { # check_collapsed HOW: the right column stays out of sight at sway's size
    local width height states name
    sleep 1
    read -r width height < <(window_rect)
    echo "$1: sway gives the collapsed window ${width:-?} x ${height:-?} pixels"
    [ "${width:-0}" -gt 831 ] || fail "$1: sway did not make the window wider than the expanded layout"
    states=$(/usr/bin/python3 "$here/desktop/showing.py" "Online Gateway?" "Minimieren statt schliessen" \
        "Sicherheitsabfrage vor Beenden" "Verbindungsmanager")
    grep -qx $'Online Gateway?\tshown' <<<"$states" || fail "$1: the left column is not shown: $states"
    for name in "Minimieren statt schliessen" "Sicherheitsabfrage vor Beenden" "Verbindungsmanager"; do
        grep -qx "$name"$'\thidden' <<<"$states" ||
            fail "$1: collapsed at ${width:-?} pixels, \"$name\" is not hidden: $states"
    done
}
check_collapsed tiled
if [ -n "${TAVLOR_SCREENSHOT:-}" ]; then
    grim "$TAVLOR_SCREENSHOT" || fail "no screenshot"
fi
swaymsg '[title="^Tavlor v2\.9$"] fullscreen enable' >/dev/null || fail "sway did not take the window full screen"
check_collapsed "full screen"
swaymsg '[title="^Tavlor v2\.9$"] fullscreen disable' >/dev/null
# Expanded, the right column shows; collapsed again, it goes.
/usr/bin/python3 "$here/desktop/showing.py" --press "VerbindungsManager  öffnen>>" || fail "no details button to press"
sleep 1
expanded=$(/usr/bin/python3 "$here/desktop/showing.py" "Minimieren statt schliessen" "Verbindungsmanager")
grep -qx $'Minimieren statt schliessen\tshown' <<<"$expanded" && grep -qx $'Verbindungsmanager\tshown' <<<"$expanded" ||
    fail "expanded, the right column is not shown: $expanded"
/usr/bin/python3 "$here/desktop/showing.py" --press "<< VerbindungsManager schliessen" || fail "no details button to press"
check_collapsed "collapsed again"
if [ -n "${TAVLOR_SCREENSHOT:-}" ]; then
    item menu "Verlauf und Volumenwarner…" || fail "no history item in the menu"
    sleep 1.5
    swaymsg '[title="^Verlauf und Volumenwarner$"] floating enable, resize set 660 600' >/dev/null
    sleep 0.5
    /usr/bin/python3 "$here/desktop/showing.py" --press "Tage" >/dev/null 2>&1
    sleep 1
    grim "${TAVLOR_SCREENSHOT%.png}-verlauf.png" || fail "no screenshot of the history window"
    swaymsg '[title="^Verlauf und Volumenwarner$"] kill' >/dev/null
    sleep 0.5
fi

sleep 2 # a few counted seconds to save
item menu "Tavlor beenden" || fail "the menu item \"Tavlor beenden\" could not be chosen"
until_true 10 eval '! kill -0 "$app" 2>/dev/null' || fail "\"Tavlor beenden\" did not end the program"
saved=$(tr -d '\r' <"$root/app/data/data.ini")
grep -q '^oTA=0:0:[1-9]' <<<"$saved" || fail "the online time was not saved: $(grep '^oTA' <<<"$saved")"
grep -qx 'X=200' <<<"$saved" && grep -qx 'Y=150' <<<"$saved" ||
    fail "the loaded position did not stay in the file: $(grep -E '^[XY]=' <<<"$saved" | tr '\n' ' ')"

if [ "$failures" -ne 0 ]; then
    echo "--- program log"
    cat "$root/app.log"
    exit 1
fi
echo "Wayland: icon in waybar, activation, collapsed at the tiled size, \"Tavlor beenden\" saved"
