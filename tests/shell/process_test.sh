#!/usr/bin/env bash
# Process tests of the real program: the single-instance guard, the session end by signal and
# the data file across runs. The program runs on the offscreen platform in a folder of its own
# with HOME and the XDG folders in a temporary tree; every process started here is stopped by
# its PID.
set -uo pipefail
program=$1
icon=$2

root=$(mktemp -d /tmp/tavlor-process-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill -9 "$pid" 2>/dev/null
    done
    rm -rf "$root"
}
trap cleanup EXIT

export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_DATA_HOME=$root/home/.local/share \
    XDG_CONFIG_HOME=$root/home/.config QT_QPA_PLATFORM=offscreen TAVLOR_TRACE=1
# No session bus and no connection service: nothing of the developer's desktop is touched.
export DBUS_SESSION_BUS_ADDRESS=disabled: DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/no-system-bus
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$root/app" "$root/copy"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$program" "$root/app/tavlor"
cp "$program" "$root/copy/other-name"
cp "$icon" "$root/app/VemoIco.ico"
data=$root/app/data/data.ini

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Starts the program in the background; sets $started to its PID and waits for its event loop.
start() {
    local log=$1
    "$root/app/tavlor" >"$log" 2>"$log.err" &
    started=$!
    pids+=("$started")
    for _ in $(seq 100); do
        grep -q 'event loop running' "$log" 2>/dev/null && return 0
        kill -0 "$started" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

# Waits for a PID to end and prints its exit code.
exit_code_of() {
    local pid=$1
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    { wait "$pid"; } 2>/dev/null
}

saves_in() {
    grep -c '^tavlor: saved$' "$1"
}

echo "-- a second start ends at once with exit code 0, the first runs on"
start "$root/first.log" || fail "first instance did not reach its event loop"
first=$started
before=$(sha256sum "$data" | cut -d' ' -f1)
begin=$(date +%s%N)
timeout 5 "$root/app/tavlor" >"$root/second.log" 2>&1
code=$?
elapsed_ms=$((($(date +%s%N) - begin) / 1000000))
[ "$code" -eq 0 ] || fail "second start exit code $code"
[ "$elapsed_ms" -lt 1000 ] || fail "second start took $elapsed_ms ms"
[ ! -s "$root/second.log" ] || fail "second start printed: $(cat "$root/second.log")"
timeout 5 "$root/copy/other-name" >/dev/null 2>&1
[ $? -eq 0 ] || fail "a copy under another name was not refused"
kill -0 "$first" 2>/dev/null || fail "first instance is gone"
[ "$(sha256sum "$data" | cut -d' ' -f1)" = "$before" ] || fail "second start touched the data file"
echo "second start: exit $code after $elapsed_ms ms"

echo "-- SIGTERM saves exactly once and exits 0"
sleep 1.2 # let a few ticks run
kill -TERM "$first"
exit_code_of "$first"
code=$?
[ "$code" -eq 0 ] || fail "SIGTERM exit code $code"
[ "$(saves_in "$root/first.log")" -eq 1 ] || fail "SIGTERM saved $(saves_in "$root/first.log") times"
grep -q '^X=' "$data" || fail "the save did not write the window position"

echo "-- SIGHUP and SIGINT end the same way"
for signal in HUP INT; do
    start "$root/sig-$signal.log" || fail "start before SIG$signal failed"
    kill -"$signal" "$started"
    exit_code_of "$started"
    code=$?
    [ "$code" -eq 0 ] || fail "SIG$signal exit code $code"
    [ "$(saves_in "$root/sig-$signal.log")" -eq 1 ] || fail "SIG$signal saved $(saves_in "$root/sig-$signal.log") times"
done

echo "-- a killed first instance frees the guard"
start "$root/killed.log" || fail "start before SIGKILL failed"
kill -KILL "$started"
exit_code_of "$started" >/dev/null
start "$root/after-kill.log" || fail "start after SIGKILL did not reach its event loop"
after=$started
sleep 0.3
kill -0 "$after" 2>/dev/null || fail "start after SIGKILL ended"
kill -TERM "$after"
exit_code_of "$after" >/dev/null

echo "-- counters and settings carry over from run to run"
rm -rf "$root/app/data"
start "$root/run1.log" || fail "start in an empty folder failed"
kill -TERM "$started"
exit_code_of "$started" >/dev/null
[ -f "$data" ] || fail "no data file after the first run in an empty folder"
# The user switches gateway mode on (always online), minimise-on-close and the session display.
sed -i 's/^onLAN=[^\r]*/onLAN=1/; s/^MINI=[^\r]*/MINI=1/; s/^TYP=[^\r]*/TYP=2/' "$data"
start "$root/run2.log" || fail "second run failed"
sleep 2.5
kill -TERM "$started"
exit_code_of "$started" >/dev/null
total_after_run2=$(sed -n 's/^oTA=0:0:\([0-9]*\)\r$/\1/p' "$data")
[ -n "$total_after_run2" ] && [ "$total_after_run2" -ge 1 ] || fail "online time not counted: $(grep oTA "$data")"
grep -q $'^onLAN=1\r$' "$data" || fail "onLAN lost"
grep -q $'^MINI=1\r$' "$data" || fail "MINI lost"
grep -q $'^TYP=2\r$' "$data" || fail "TYP lost"
start "$root/run3.log" || fail "third run failed"
sleep 1.5
kill -TERM "$started"
exit_code_of "$started" >/dev/null
total_after_run3=$(sed -n 's/^oTA=0:0:\([0-9]*\)\r$/\1/p' "$data")
[ -n "$total_after_run3" ] && [ "$total_after_run3" -gt "$total_after_run2" ] ||
    fail "online time not carried over: run 2 ${total_after_run2:-?} s, run 3 ${total_after_run3:-?} s"
echo "online time: ${total_after_run2:-?} s after run 2, ${total_after_run3:-?} s after run 3"

if [ "$failures" -ne 0 ]; then
    for f in "$root"/*.err; do
        [ -s "$f" ] && { echo "== $f"; tail -5 "$f"; }
    done
    echo "$failures failure(s)"
    exit 1
fi
echo "all process tests passed"
