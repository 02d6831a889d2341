#!/usr/bin/env bash
# Wakeups of the resident program with the status interface: no session bus, a session bus
# without a client, and a session bus with one subscribed client; gateway mode, offscreen,
# no system bus. Prints context switches per second of all threads over SECONDS (default 30).
#
#   scripts/measure-status-idle.sh [build/bin/tavlor] [SECONDS]
set -uo pipefail
program=${1:-build/bin/tavlor} seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tavlor-status-idle-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/app/data" "$work/run" && chmod 700 "$work/run"
cp "$program" "$work/app/tavlor"
dbus-daemon --config-file=/usr/share/dbus-1/session.conf --address="unix:path=$work/bus" --nofork --nopidfile 2>/dev/null &
pids+=($!)
export HOME=$work XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
    DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-system-bus TAVLOR_TRACE=1
switches() { # "tid count" for every thread, voluntary and not
    for task in /proc/"$1"/task/*; do
        echo "${task##*/} $(awk '/ctxt_switches/ { n += $2 } END { print n }' "$task/status" 2>/dev/null)"
    done
}
grown() { # the growth summed over the threads alive at both samples (pooled threads come and go)
    awk 'NR == FNR { a[$1] = $2; next } ($1 in a) { n += $2 - a[$1] } END { print n + 0 }' "$1" "$2"
}
measure() { # name bus-address [subscribe]
    printf 'K\r\n\r\n[data]\r\nonLAN=1\r\n' >"$work/app/data/data.ini"
    DBUS_SESSION_BUS_ADDRESS=$2 "$work/app/tavlor" >"$work/log" 2>&1 &
    local pid=$! client=
    for _ in $(seq 100); do grep -q 'event loop running' "$work/log" && break; sleep 0.1; done
    sleep 3
    if [ "${3:-}" = subscribe ]; then
        DBUS_SESSION_BUS_ADDRESS=$2 /usr/bin/python3 "$here/../tests/status/bus_listener.py" $((seconds + 2)) subscribe \
            >"$work/signals" &
        client=$!
        sleep 1
    fi
    switches "$pid" >"$work/a"
    sleep "$seconds"
    switches "$pid" >"$work/b"
    kill "$pid"
    wait "$pid" 2>/dev/null
    [ -n "$client" ] && wait "$client"
    printf '%-28s %6.2f wakeups/s%s\n' "$1" "$(echo "$(grown "$work/a" "$work/b") / $seconds" | bc -l)" \
        "$([ -n "$client" ] && echo ", $(cat "$work/signals") signals in $((seconds + 2)) s")"
}
for _ in $(seq 50); do [ -S "$work/bus" ] && break; sleep 0.1; done
measure "no session bus" disabled:
measure "session bus, no client" "unix:path=$work/bus"
measure "session bus, one subscriber" "unix:path=$work/bus" subscribe
