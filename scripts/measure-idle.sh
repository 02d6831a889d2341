#!/usr/bin/env bash
# Resource figures of the resident program beside a bare Qt 6 tray program (a tray icon, a
# window of 30 labels and a 1 s timer that rewrites them), both measured the same way on a
# virtual display (Xvfb) with a tray host (trayer), a private system bus and a NetworkManager
# stand-in (python-dbusmock) with one Ethernet connection up:
#   hidden   the program idle in the tray
#   shown    its main window on screen
#   monitor  the bandwidth monitor open (beside the bare program's shown window)
# and once more hidden without a system bus, to tell NetworkManager's share from the rest.
# For each: CPU time per minute and wakeups per second of all threads, private dirty memory,
# and the ratio to the bare program. Start to event loop is measured once.
# Usage: scripts/measure-idle.sh [path/to/tavlor] [seconds per scenario, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-$PWD/build/bin/tavlor}
seconds=${2:-60}
for tool in Xvfb trayer xdotool dbus-daemon g++ pkg-config; do
    command -v "$tool" >/dev/null || { echo "measure: $tool is missing (make deps)" >&2; exit 1; }
done
/usr/bin/python3 -c 'import dbusmock' 2>/dev/null || { echo "measure: python3-dbusmock is missing" >&2; exit 1; }

work=$(mktemp -d /tmp/tavlor-measure-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# --- the bare Qt program, built here so that both run against the same Qt ---
cat >"$work/bare.cpp" <<'CPP'
#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("bare");
    auto* grid = new QGridLayout(&window);
    QList<QLabel*> labels;
    for (int i = 0; i < 30; ++i) {
        labels.append(new QLabel("-", &window));
        grid->addWidget(labels.last(), i % 15, i / 15);
    }
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const QString now = QDateTime::currentDateTime().toString("hh:mm:ss");
        for (QLabel* label : labels) {
            label->setText(now);
        }
        tray.setToolTip(now);
    });
    timer.start(1000);
    if (argc > 1 && std::strcmp(argv[1], "shown") == 0) {
        window.show();
    }
    QTimer::singleShot(0, [] { std::printf("event loop running\n"); std::fflush(stdout); });
    return app.exec();
}
CPP
# shellcheck disable=SC2046
g++ -std=c++17 -O2 -fPIC "$work/bare.cpp" -o "$work/bare" $(pkg-config --cflags --libs Qt6Widgets)

# --- display, tray host, system bus and the NetworkManager stand-in ---
. scripts/lib/virtual-display.sh
start_virtual_display 1280x800
start_tray_host

cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/> <allow own="*"/>
    <allow send_type="method_call"/> <allow send_type="signal"/>
    <allow send_type="method_return"/> <allow send_type="error"/>
    <allow receive_type="method_call"/> <allow receive_type="signal"/>
    <allow receive_type="method_return"/> <allow receive_type="error"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/address" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/address" ] && break; sleep 0.05; done
DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$work/address")
export DBUS_SYSTEM_BUS_ADDRESS
/usr/bin/python3 -m dbusmock --system --template networkmanager >"$work/nm.log" 2>&1 &
pids+=($!)
# One Ethernet device with its connection active, as on a machine online through a LAN.
/usr/bin/python3 - <<'PY'
import time, uuid, dbus
bus = dbus.SystemBus()
for _ in range(200):
    if bus.name_has_owner('org.freedesktop.NetworkManager'):
        break
    time.sleep(0.05)
nm = '/org/freedesktop/NetworkManager'
mock = dbus.Interface(bus.get_object('org.freedesktop.NetworkManager', nm), 'org.freedesktop.DBus.Mock')
device = mock.AddEthernetDevice('mock_Ethernet1', 'eth0', 100)
settings = dbus.Interface(bus.get_object('org.freedesktop.NetworkManager', nm + '/Settings'),
                          'org.freedesktop.NetworkManager.Settings')
profile = settings.AddConnection({'connection': {'id': 'Kabelgebunden', 'uuid': str(uuid.uuid4()),
                                                 'type': '802-3-ethernet'}})
mock.AddActiveConnection([device], profile, '/', 'Wired1', dbus.UInt32(2))
PY

mkdir -p "$work/app" "$work/home" "$work/run"
chmod 700 "$work/run"
cp "$program" "$work/app/tavlor"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run TAVLOR_TRACE=1
export DBUS_SESSION_BUS_ADDRESS=disabled:

# --- measuring ---
# start PROGRAM ARGS...: starts it, waits for its event loop, sets $pid and $startup_ms.
start() {
    local log=$work/run-$RANDOM.log begin
    begin=$(date +%s%N)
    "$@" >"$log" 2>/dev/null &
    pid=$!
    pids+=("$pid")
    until grep -q 'event loop running' "$log" 2>/dev/null; do
        kill -0 "$pid" || { echo "measure: $1 ended" >&2; exit 1; }
        sleep 0.002
    done
    startup_ms=$((($(date +%s%N) - begin) / 1000000))
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; }
# snapshot: one line per thread, "tid cpu_ns context_switches"; a thread that ends between
# two snapshots drops out of the difference instead of making it negative.
snapshot() {
    local task
    for task in /proc/"$pid"/task/*; do
        { read -r c _ <"$task/schedstat" &&
            echo "${task##*/} $c $(awk '/ctxt_switches/ { n += $2 } END { print n }' "$task/status")"; } 2>/dev/null || true
    done
}
dirty_kb() { awk '/^Private_Dirty/ { print $2 }' /proc/"$pid"/smaps_rollup; }
# sample NAME: CPU ms per minute, wakeups per second and private dirty MB over $seconds.
sample() {
    local before after t0 ns
    sleep 5 # start-up work and the window changes are over
    before=$(snapshot) t0=$(date +%s%N)
    sleep "$seconds"
    after=$(snapshot)
    ns=$(($(date +%s%N) - t0))
    figures[$1]=$(awk -v ns="$ns" -v d="$(dirty_kb)" '
        NR == FNR { c[$1] = $2; s[$1] = $3; next }
        ($1 in c) { dc += $2 - c[$1]; ds += $3 - s[$1] }
        END { printf "%.1f %.2f %.1f", dc / 1e6 * 60e9 / ns, ds / (ns / 1e9), d / 1024 }' \
        <(echo "$before") <(echo "$after"))
}
shown() { xdotool search --onlyvisible --name '^Tavlor v2\.9$' 2>/dev/null | head -1; }
wait_until() { for _ in $(seq 50); do eval "$1" && return 0; sleep 0.1; done; return 1; }
declare -A figures

start "$work/bare" hidden
bare_startup=$startup_ms
sample bare_hidden
stop
start "$work/bare" shown
sample bare_shown
stop

# The first start creates the data file; measure a second, ordinary start.
start "$work/app/tavlor"
stop
start "$work/app/tavlor"
tavlor_startup=$startup_ms
wait_until '[ -n "$(shown)" ]'
activate_once "$(shown)"
wait_until '[ -z "$(shown)" ]' || echo "measure: the window did not go to the tray" >&2
sample tavlor_hidden

icon=$(xdotool search --class trayer 2>/dev/null | while read -r w; do
    xwininfo -id "$w" -tree 2>/dev/null | grep -q '"Tavlor"' && echo "$w"
done | head -1)
eval "$(xdotool getwindowgeometry --shell "${icon:-0}" 2>/dev/null)" || true
xdotool mousemove $((${X:-1256} + 12)) $((${Y:-0} + 12)) click --repeat 2 --delay 60 1
if wait_until '[ -n "$(shown)" ]'; then
    sample tavlor_shown
    window=$(shown)
    # "Graph zeigen" (the first control of the focus order), then "Ja" in the confirmation.
    press_by_tab "$window" 0
    if wait_until '[ -n "$(xdotool search --onlyvisible --name "^Bestätigung$" 2>/dev/null)" ]'; then
        question=$(xdotool search --onlyvisible --name '^Bestätigung$' | head -1)
        xdotool windowfocus --sync "$question" key Return
        wait_until '[ -n "$(xdotool search --onlyvisible --name "^Tavlor Monitor$" 2>/dev/null)" ]' &&
            sample tavlor_monitor
    fi
else
    echo "measure: the double-click did not show the window" >&2
fi
stop

# The same without a system bus: the difference is what talking to NetworkManager costs.
DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-system-bus start "$work/app/tavlor"
wait_until '[ -n "$(shown)" ]'
activate_once "$(shown)"
wait_until '[ -z "$(shown)" ]' || echo "measure: the window did not go to the tray" >&2
sample tavlor_nobus
stop

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
row() { # row LABEL TAVLOR BARE
    local t=${figures[$2]:-} b=${figures[$3]}
    if [ -z "$t" ]; then
        printf '%-8s not measured (the window could not be reached)\n' "$1"
        return
    fi
    read -r tc tw td <<<"$t"
    read -r bc bw bd <<<"$b"
    printf '%-8s CPU %7.1f ms/min vs %6.1f (x%s)   wakeups %5.2f/s vs %5.2f (x%s)   dirty %5.1f MB vs %5.1f\n' \
        "$1" "$tc" "$bc" "$(ratio "$tc" "$bc")" "$tw" "$bw" "$(ratio "$tw" "$bw")" "$td" "$bd"
}
echo "Tavlor beside a bare Qt 6 tray program, ${seconds} s per scenario, NetworkManager stand-in running"
echo "(no-bus: hidden, without a system bus)"
printf 'start to event loop: %d ms vs %d ms\n' "$tavlor_startup" "$bare_startup"
row hidden tavlor_hidden bare_hidden
row shown tavlor_shown bare_shown
row monitor tavlor_monitor bare_shown
row no-bus tavlor_nobus bare_hidden
