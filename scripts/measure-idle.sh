#!/usr/bin/env bash
# Resource figures of the resident program idle in the tray, on a virtual display (Xvfb) with a
# tray host (trayer): time from start to the event loop, resident and unique memory after the
# idle period, CPU time and wakeups per second over it.
# Usage: scripts/measure-idle.sh [path/to/tavlor] [idle seconds, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-$PWD/build/bin/tavlor}
seconds=${2:-60}

work=$(mktemp -d /tmp/tavlor-measure-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

. scripts/lib/virtual-display.sh
start_virtual_display 1280x800
start_tray_host

mkdir -p "$work/app" "$work/home" "$work/run"
chmod 700 "$work/run"
cp "$program" "$work/app/tavlor"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run TAVLOR_TRACE=1
export DBUS_SESSION_BUS_ADDRESS=disabled: DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-system-bus

# The first start creates the data file; measure a second, ordinary start.
"$work/app/tavlor" >"$work/first.log" 2>/dev/null &
first=$!
for _ in $(seq 200); do grep -q 'event loop running' "$work/first.log" && break; sleep 0.02; done
kill "$first"
wait "$first" || true

begin=$(date +%s%N)
"$work/app/tavlor" >"$work/run.log" 2>/dev/null &
pid=$!
pids+=("$pid")
until grep -q 'event loop running' "$work/run.log" 2>/dev/null; do
    kill -0 "$pid" || { echo "measure: the program ended" >&2; exit 1; }
    sleep 0.002
done
startup_ms=$((($(date +%s%N) - begin) / 1000000))

cpu_ns() { # on-CPU time of the window thread, which does all the work, in nanoseconds
    cut -d' ' -f1 /proc/"$pid"/schedstat
}
cpu_ticks() { # user and system time of the whole process, threads that ended included
    awk '{ print $14 + $15 }' /proc/"$pid"/stat
}
switches() { # context switches of the window thread: each one is a wakeup
    awk '/ctxt_switches/ { n += $2 } END { print n }' /proc/"$pid"/status
}

# Without a window manager nothing gives the window the focus; a click into it is its first
# activation, which sends the program to the tray.
window=$(xdotool search --onlyvisible --name '^Tavlor v2\.9$' | head -1)
xdotool mousemove --window "$window" 100 300 click 1
sleep 5 # start-up work and the first activation are over
if xdotool search --onlyvisible --name '^Tavlor v2\.9$' >/dev/null; then
    echo "measure: the window did not go to the tray" >&2
fi
cpu0=$(cpu_ns)
ticks0=$(cpu_ticks)
sw0=$(switches)
t0=$(date +%s%N)
sleep "$seconds"
cpu1=$(cpu_ns)
ticks1=$(cpu_ticks)
sw1=$(switches)
elapsed_ns=$(($(date +%s%N) - t0))

rss_kb=$(awk '/^VmRSS/ { print $2 }' /proc/"$pid"/status)
unique_kb=$(awk '/^Private_(Clean|Dirty)/ { n += $2 } END { print n }' /proc/"$pid"/smaps_rollup)
# Private_Clean is mostly library code no other process on this machine maps (Qt); on a desktop
# with other Qt programs it is shared. Private_Dirty is the program's own heap and data.
dirty_kb=$(awk '/^Private_Dirty/ { print $2 }' /proc/"$pid"/smaps_rollup)
process_ms=$(((ticks1 - ticks0) * 1000 / $(getconf CLK_TCK)))
cpu_ms=$(((cpu1 - cpu0) / 1000000))
awk -v startup="$startup_ms" -v rss="$rss_kb" -v uniq="$unique_kb" -v cpu="$cpu_ms" \
    -v ns="$elapsed_ns" -v sw=$((sw1 - sw0)) -v secs="$seconds" -v dirty="$dirty_kb" \
    -v pcpu="$process_ms" 'BEGIN {
    printf "start to event loop:   %d ms\n", startup
    printf "resident memory:       %.1f MB\n", rss / 1024
    printf "unique memory:         %.1f MB (of it private dirty: %.1f MB)\n", uniq / 1024, dirty / 1024
    printf "CPU time over %d s:    %d ms window thread (%.3f %% of one core), %d ms whole process\n", secs, cpu, cpu / (ns / 1e6) * 100, pcpu
    printf "wakeups per second:    %.2f\n", sw / (ns / 1e9)
}'
