#!/usr/bin/env bash
# Run by deb_install_test.sh inside a mount namespace of its own: /usr, /var and /etc become
# overlays whose changes vanish with the namespace, then the package is installed, started from
# its menu entry on a virtual display, asked for its autostart entry, and removed.
set -uo pipefail
deb=$1 work=$2
app_id=invalid.tavlor.Tavlor
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for dir in usr var etc; do
    mkdir -p "$work/overlay/$dir/upper" "$work/overlay/$dir/work"
    mount -t overlay overlay -o "lowerdir=/$dir,upperdir=$work/overlay/$dir/upper,workdir=$work/overlay/$dir/work" \
        "/$dir" || { echo "FAIL: no overlay on /$dir"; exit 1; }
done

# Other packages' triggers (manual index, icon cache) are theirs to test and slow to run here.
if ! dpkg --log=/dev/null --no-triggers -i "$deb" >"$work/dpkg-install.log" 2>&1; then
    cat "$work/dpkg-install.log"
    echo "FAIL: dpkg -i"
    exit 1
fi
[ -x /usr/bin/tavlor ] || fail "no /usr/bin/tavlor after installing"

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
}
trap cleanup EXIT
. "$(dirname "$0")/../../scripts/lib/virtual-display.sh"
start_virtual_display 1280x800 || exit 1

# As the menu starts it: the Exec line through PATH, in a user's clean environment (no tray
# host, so the window stays on screen).
home=$work/home
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop")
env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/run" DISPLAY="$DISPLAY" \
    LANG=C.UTF-8 TAVLOR_TRACE=1 DBUS_SESSION_BUS_ADDRESS=disabled: \
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-system-bus" sh -c "exec $exec_line" >"$work/tavlor.log" 2>&1 &
tavlor=$!
pids+=("$tavlor")
for _ in $(seq 100); do
    grep -q 'event loop running' "$work/tavlor.log" && break
    sleep 0.1
done
grep -q 'event loop running' "$work/tavlor.log" || fail "the menu entry did not start Tavlor: $(cat "$work/tavlor.log")"

# "Tavlor mit Linux starten", reached by the keyboard along the focus order (whatever the
# font puts it), then Return for the confirmation.
window=$(xdotool search --sync --onlyvisible --name '^Tavlor v' 2>/dev/null | head -1)
if [ -n "$window" ]; then
    press_by_tab "$window" 4
    autostart=$home/.config/autostart/Tavlor.desktop
    for _ in $(seq 50); do [ -f "$autostart" ] && break; sleep 0.1; done
    sleep 0.3
    xdotool key --clearmodifiers Return
    grep -qx 'Exec="/usr/bin/tavlor"' "$autostart" 2>/dev/null ||
        fail "autostart does not start /usr/bin/tavlor: $(cat "$autostart" 2>&1)"
    grep -qx 'Icon=tavlor' "$autostart" 2>/dev/null || fail "autostart has no theme icon"
else
    fail "no Tavlor window on the display"
fi

kill -TERM "$tavlor"
wait "$tavlor"
data=$home/.local/share/Tavlor/data/data.ini
[ -f "$data" ] || fail "no data file in the user's data folder"
[ ! -e /usr/bin/data ] || fail "the installed program wrote beside itself into /usr/bin/data"
grep -q $'^oTA=' "$data" || fail "the data file holds no counters"
before=$(sha256sum "$data")
# The installed command finds the file the installed program wrote, and only reads it.
status_json=$(env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 \
    DBUS_SESSION_BUS_ADDRESS=disabled: tavlor-status --json 2>&1) || fail "tavlor-status after the run: $status_json"
grep -q '^{"running":false,' <<<"$status_json" || fail "tavlor-status: $status_json"
[ "$(sha256sum "$data")" = "$before" ] || fail "tavlor-status changed the data file"

if ! dpkg --log=/dev/null --no-triggers -P tavlor >"$work/dpkg-remove.log" 2>&1; then
    cat "$work/dpkg-remove.log"
    fail "dpkg -P"
fi
for file in /usr/bin/tavlor /usr/bin/tavlor-status "/usr/share/applications/$app_id.desktop" "/usr/share/metainfo/$app_id.metainfo.xml" \
    /usr/share/icons/hicolor/scalable/apps/tavlor.svg /usr/share/doc/tavlor; do
    [ ! -e "$file" ] || fail "$file left behind after removal"
done
[ "$(sha256sum "$data" 2>/dev/null)" = "$before" ] || fail "removal touched the user's data file"

[ "$failures" -eq 0 ]
