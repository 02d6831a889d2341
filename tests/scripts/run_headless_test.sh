#!/usr/bin/env bash
# scripts/run.sh as `make run` uses it on a machine without a desktop: it says how to count
# without a window, the counters land in the user's data folder (not in build/, which a clean
# removes), and Ctrl+C (SIGINT to the whole process group, as a terminal sends it) ends it with
# status 0 after Tavlor has saved, leaving no helper behind. Then the same with gateway mode on.
set -uo pipefail
source_dir=$1
root=$(mktemp -d /tmp/tavlor-run-XXXXXX)
# Processes of ours carry our HOME; whatever a failed run left is stopped by its PID.
ours() { grep -lsz "^HOME=$root/home\$" /proc/[0-9]*/environ | cut -d/ -f3 | tr '\n' ' '; }
cleanup() {
    for pid in $(ours); do kill "$pid" 2>/dev/null; done
    rm -rf "$root"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
data=$root/home/.local/share/Tavlor/data/data.ini
mkdir -p "$root/home"

# run_once LOG SECONDS: starts run.sh in a process group of its own, waits for the event loop,
# lets it run SECONDS, sends the terminal's Ctrl+C and sets `status` to the script's status.
run_once() {
    local log=$1 seconds=$2 group
    env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR -u XDG_DATA_HOME \
        HOME="$root/home" TAVLOR_TRACE=1 setsid bash "$source_dir/scripts/run.sh" >"$log" 2>&1 &
    group=$!
    for _ in $(seq 150); do grep -q 'event loop running' "$log" && break; sleep 0.1; done
    sleep "$seconds"
    kill -INT -- "-$group"
    wait "$group"
    status=$?
    # The display, tray host and bus run in sessions of their own; they carry our HOME.
    sleep 0.5
    local left
    left=$(ours)
    [ -z "$left" ] || fail "processes of the run outlived it: $left"
}

run_once "$root/first.log" 1
[ "$status" = 0 ] || fail "Ctrl+C ended run.sh with status $status: $(cat "$root/first.log")"
grep -q 'tavlor: saved' "$root/first.log" || fail "Tavlor did not save on Ctrl+C"
grep -q "sed -i 's/^onLAN=0/onLAN=1/' '$data'" "$root/first.log" || fail "no word on how to count headless"
grep -qiE 'error|fd limit' "$root/first.log" && fail "noise on Ctrl+C: $(cat "$root/first.log")"
[ -f "$data" ] || fail "no data file in the user's data folder"
[ ! -e "$source_dir/build/bin/data/data.ini" ] || echo "note: an old build/bin/data/data.ini exists"

sed -i 's/^onLAN=0/onLAN=1/' "$data"
run_once "$root/second.log" 3
[ "$status" = 0 ] || fail "second run ended with status $status"
grep -q 'onLAN=0/onLAN=1' "$root/second.log" && fail "gateway mode is on, yet run.sh still explains it"
seconds=$(sed -n 's/^oTA=0:0:\([0-9]*\)\r$/\1/p' "$data")
[ "${seconds:-0}" -ge 2 ] || fail "gateway mode did not count: $(grep -a oTA "$data")"

[ "$failures" -eq 0 ] || exit 1
echo "make run headless: explains gateway mode, counts with it, ends quietly on Ctrl+C"
