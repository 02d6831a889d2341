#!/usr/bin/env bash
# Tavlor.exe under Wine, the way a Windows user meets it: first start, a second start, the end
# of the session, counting a real link in gateway mode, the autostart shortcut and the expanded
# window. Runs inside a network namespace of its own (scripts/test-windows-program.sh starts it
# through `unshare -n -m`), so the Wine server and its network driver see only this test's links,
# on the X display ($DISPLAY, with a tray host) the caller started.
#
#   program_test.sh EXE ICON WORKDIR [SCREENSHOT.png]
set -uo pipefail
exe=$1 icon=$2 work=$3 screenshot=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
. "$here/../../../scripts/lib/virtual-display.sh" # activate_once

pids=()
cleanup() {
    wineserver -k 2>/dev/null
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
ok() { echo "ok: $*"; }

# --- a link of our own: vt0 here, vt1 in a peer namespace; exact counts (no IPv6, no ARP) ---
# The namespace's own /sys, for this script and for Wine's network driver alike.
mount -t sysfs sysfs /sys || { echo "FAIL: no /sys of the test's own"; exit 1; }
ip link set lo up
unshare -n sleep 900 &
peer=$!
pids+=("$peer")
sleep 0.2
in_peer() { nsenter --net="/proc/$peer/ns/net" "$@"; }
ip link add vt0 type veth peer name vt1 netns "$peer"
sysctl -qw net.ipv6.conf.vt0.disable_ipv6=1
in_peer sysctl -qw net.ipv6.conf.vt1.disable_ipv6=1
ip addr add 10.201.0.1/24 dev vt0 && ip link set vt0 up
in_peer ip addr add 10.201.0.2/24 dev vt1 && in_peer ip link set vt1 up && in_peer ip link set lo up
mac_of() { ip -br link show "$1" | awk '{print $3}'; }
ip neigh replace 10.201.0.2 lladdr "$(in_peer bash -c "$(declare -f mac_of); mac_of vt1")" dev vt0 nud permanent
in_peer ip neigh replace 10.201.0.1 lladdr "$(mac_of vt0)" dev vt1 nud permanent

# --- a fresh Wine prefix with the program in C:\Tavlor, German user locale ---
# Wine takes the Windows locale from the Unix one, which must exist: a private German one.
mkdir -p "$work/locale"
localedef -i de_DE -f UTF-8 "$work/locale/de_DE.UTF-8" || { echo "FAIL: no German locale (package locales)"; exit 1; }
export LOCPATH=$work/locale LANG=de_DE.UTF-8 LC_ALL= TAVLOR_TRACE=1
export WINEPREFIX=$work/prefix HOME=$work/home WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME"
# The shell's double-click on the tray icon, sent as the window message it is, and the screen's
# density as programs see it (desktop_probe.cpp).
x86_64-w64-mingw32-g++-posix -O1 -static -o "$work/desktop_probe.exe" "$here/desktop_probe.cpp" -lgdi32 ||
    { echo "FAIL: desktop_probe.exe could not be built"; exit 1; }
wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot could not create the prefix"; exit 1; }
# Another display density on request (TAVLOR_WINE_DPI=120: Windows' 125 %), which enlarges every
# font and every control: where the user's and the machine's setting live.
if [ -n "${TAVLOR_WINE_DPI:-}" ]; then
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]\r\n"LogPixels"=dword:%08x\r\n' \
        "$TAVLOR_WINE_DPI" "$TAVLOR_WINE_DPI" >"$work/dpi.reg"
    wine regedit /S 'Z:'"${work//\//\\}"'\dpi.reg' >/dev/null 2>&1 && wineserver -w ||
        { echo "FAIL: the display density could not be set"; exit 1; }
fi
dpi=$(wine "$work/desktop_probe.exe" dpi | tr -d '\r')
if [ "$dpi" = "${TAVLOR_WINE_DPI:-96}" ]; then
    ok "the screen has $dpi dots per inch for programs, $(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9x]*\) pixels.*/\1/p') pixels"
else
    fail "the screen has ${dpi:-?} dots per inch instead of ${TAVLOR_WINE_DPI:-96}"
fi
app=$WINEPREFIX/drive_c/Tavlor
mkdir -p "$app"
cp "$exe" "$app/Tavlor.exe"
cp "$icon" "$app/VemoIco.ico"
data=$app/data/data.ini

# start LOG: the program in the background; $started is its PID once its event loop runs.
start() {
    wine 'C:\Tavlor\Tavlor.exe' >"$1" 2>&1 &
    started=$!
    pids+=("$started")
    for _ in $(seq 600); do
        grep -q 'event loop running' "$1" 2>/dev/null && return 0
        kill -0 "$started" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
ended_within() { # ended_within PID SECONDS
    for _ in $(seq $(($2 * 10))); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}
saves() { grep -c 'tavlor: saved' "$1"; }
window() { xdotool search --onlyvisible --name '^Tavlor v2\.9$' 2>/dev/null | head -1; }
wait_for_window() {
    for _ in $(seq 100); do
        [ -n "$(window)" ] && return 0
        sleep 0.1
    done
    return 1
}
# trayer grows its panel by one icon's width (20 pixels at its height of 24) for every icon it
# embeds; Wine docks a program's icon a few seconds after the program added it.
tray_panel() { xdotool search --class trayer 2>/dev/null | while read -r w; do
    xwininfo -id "$w" | grep -q '"panel"' && echo "$w"; done | head -1; }
tray_icons() {
    local WIDTH=0
    eval "$(xdotool getwindowgeometry --shell "$(tray_panel)" 2>/dev/null)"
    echo $(((WIDTH - 2) / 20))
}
wait_for_icons() { # wait_for_icons COUNT
    for _ in $(seq 300); do
        [ "$(tray_icons)" -eq "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
# Keys keep the spelling they had in the file ("Tup" of the default file): matched without case.
value_of() { sed -n "s/^$1=\\([^\\r]*\\)\\r\$/\\1/Ip" "$data"; }

# "Tavlor mit Windows starten" and "VerbindungsManager  öffnen>>", reached from the tray icon
# and pressed by the keyboard along the focus order, so that no font or layout moves them.
shortcut_and_expanded_window() {
    local shown X Y WIDTH HEIGHT link
    shown=$(window)
    if [ -n "$shown" ]; then
        activate_once "$shown"
        sleep 1.5
    fi
    wait_for_icons 1 || fail "the counting run has no tray icon"
    wine "$work/desktop_probe.exe" tray-double-click || fail "no tray window to send the double-click to"
    wait_for_window || { fail "a double-click on the tray icon did not show the window"; return; }
    shown=$(window)
    press_by_tab "$shown" 4 # "Tavlor mit Windows starten"
    sleep 2
    xdotool key Return # the message box that reports the shortcut
    sleep 1
    link=$(find "$WINEPREFIX/drive_c/users" -ipath '*/Startup/Tavlor.lnk' | head -1) # Wine spells it StartUp
    if [ -z "$link" ]; then
        fail "no Tavlor.lnk in the Startup folder"
    else
        "$python" "$here/read_lnk.py" "$link" >"$work/link.txt"
        if grep -qx 'target=C:\\Tavlor\\Tavlor.exe' "$work/link.txt" &&
            grep -qE '^workdir=C:\\Tavlor\\?$' "$work/link.txt"; then
            ok "the Startup folder's Tavlor.lnk starts C:\\Tavlor\\Tavlor.exe in C:\\Tavlor"
        else
            fail "the shortcut reads back as: $(tr '\n' ' ' <"$work/link.txt")"
        fi
    fi
    # Both widths follow the font and the display's dots per inch: only their ratio is fixed (the
    # right column is about as wide as the left one).
    eval "$(xdotool getwindowgeometry --shell "$shown")"
    local collapsed=${WIDTH:-0}
    # The focus came back to "Tavlor mit Windows starten" when the box closed: two steps on.
    xdotool windowfocus --sync "$shown" 2>/dev/null || xdotool windowfocus "$shown"
    sleep 0.3
    xdotool key --clearmodifiers Tab Tab space # "VerbindungsManager  öffnen>>"
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$shown")"
    if [ "$collapsed" -gt 0 ] && [ $((${WIDTH:-0} * 2)) -ge $((collapsed * 3)) ]; then
        ok "the window expanded from $collapsed to $WIDTH pixels"
    else
        fail "the window is ${WIDTH:-?} pixels wide, collapsed it was $collapsed"
    fi
    [ -z "$screenshot" ] || import -window "$shown" "$screenshot"
}

# --- 1. first start: the default data file beside the program, the icon in the tray ---
start "$work/run1.log" || { cat "$work/run1.log"; echo "FAIL: Tavlor.exe did not start"; exit 1; }
first=$started
if [ -f "$data" ]; then
    "$python" "$here/check_default_file.py" "$data" && ok "data\\data.ini: the 17 default lines, Windows-1252, CR LF" ||
        fail "data\\data.ini is not the default file"
else
    fail "no data\\data.ini beside Tavlor.exe"
fi
wait_for_icons 1 && ok "the tray icon is embedded in the notification area" ||
    fail "$(tray_icons) tray icons instead of 1"

# --- 2. a second start ends at once and leaves the first running ---
begin=$(date +%s%N)
timeout 60 wine 'C:\Tavlor\Tavlor.exe' >"$work/run2.log" 2>&1
code=$?
took=$((($(date +%s%N) - begin) / 1000000))
if [ "$code" -eq 0 ] && ! grep -q 'event loop running' "$work/run2.log" && kill -0 "$first" 2>/dev/null &&
    [ "$(tray_icons)" -eq 1 ]; then
    ok "a second Tavlor.exe ended with exit code 0 after $took ms; the first runs on"
else
    fail "second start: exit code $code after $took ms; first running: $(kill -0 "$first" 2>/dev/null && echo yes || echo no)"
fi

# --- 3. the end of the session: saved exactly once, the program ended ---
before=$(stat -c %Y.%i "$data")
wineboot --end-session >/dev/null 2>&1
if ended_within "$first" 20 && [ "$(saves "$work/run1.log")" -eq 1 ] && [ "$(stat -c %Y.%i "$data")" != "$before" ]; then
    ok "the end of the session saved once and ended Tavlor.exe"
else
    fail "end of session: $(saves "$work/run1.log") saves; running: $(kill -0 "$first" 2>/dev/null && echo yes || echo no)"
fi
wineserver -w

# --- 4. gateway mode: the link's traffic counted, the autostart shortcut, the expanded window ---
sed -i 's/^onLAN=0\r$/onLAN=1\r/; s/^BOut=1\r$/BOut=0\r/' "$data"
start "$work/run3.log" || { cat "$work/run3.log"; echo "FAIL: Tavlor.exe did not start again"; exit 1; }
counting=$started
sleep 3 # the first online ticks take the session's start readings
rx0=$(cat /sys/class/net/vt0/statistics/rx_bytes) tx0=$(cat /sys/class/net/vt0/statistics/tx_bytes)
send='import socket,sys
s=socket.socket(socket.AF_INET,socket.SOCK_DGRAM)
for _ in range(int(sys.argv[2])): s.sendto(b"t"*1000,(sys.argv[1],9))'
in_peer "$python" -c "$send" 10.201.0.1 24000 & # 24 MB towards the program: download
"$python" -c "$send" 10.201.0.2 9000            # 9 MB from here: upload
wait $!

shortcut_and_expanded_window

sleep 3 # the ticks catch up with the last datagrams
rx1=$(cat /sys/class/net/vt0/statistics/rx_bytes) tx1=$(cat /sys/class/net/vt0/statistics/tx_bytes)
wineboot --end-session >/dev/null 2>&1
ended_within "$counting" 20 || fail "the end of the session did not end the counting run"
[ "$(saves "$work/run3.log")" -eq 1 ] || fail "the counting run saved $(saves "$work/run3.log") times at its end"
down=$(value_of TDown | tr , .) up=$(value_of TUp | tr , .)
kernel_down=$((rx1 - rx0)) kernel_up=$((tx1 - tx0))
within() { "$python" -c "import sys; sys.exit(0 if abs(float('$1') - $2) <= 65536 else 1)"; }
if [ "$kernel_down" -gt 20000000 ] && [ "$kernel_up" -gt 8000000 ] && within "$down" "$kernel_down" &&
    within "$up" "$kernel_up"; then
    ok "counted download $down / upload $up bytes; the kernel counted $kernel_down / $kernel_up"
else
    fail "counted download ${down:-?} / upload ${up:-?} bytes; the kernel counted $kernel_down / $kernel_up"
fi

[ "$failures" -eq 0 ] || { echo "--- program output"; cat "$work"/run*.log; }
exit $((failures > 0))
