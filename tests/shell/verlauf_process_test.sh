#!/usr/bin/env bash
# The history of the real program: written at the end of a run beside data.ini and adding up to
# what oTA grew by, untouched by a SIGKILL between saves, and a damaged file set aside with
# counting going on. Offscreen, in a folder of its own, without a session bus; every process
# started here is stopped by its PID.
set -uo pipefail
program=$1

root=$(mktemp -d /tmp/tavlor-verlauf-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill -9 "$pid" 2>/dev/null
    done
    rm -rf "$root"
}
trap cleanup EXIT

export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_DATA_HOME=$root/home/.local/share \
    XDG_CONFIG_HOME=$root/home/.config QT_QPA_PLATFORM=offscreen TAVLOR_TRACE=1 LC_ALL=C.UTF-8
export DBUS_SESSION_BUS_ADDRESS=disabled: DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/no-system-bus
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$root/app/data"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$program" "$root/app/tavlor"
data=$root/app/data/data.ini
history=$root/app/data/verlauf.csv
# Gateway mode counts every second; no limit section: the program must not add one.
printf 'Kopf\r\n\r\n[data]\r\noTA=0:0:0\r\nonLAN=1\r\nTUp=0\r\nTDown=0\r\n' >"$data"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

run_for() { # seconds signal log
    "$root/app/tavlor" >"$3" 2>"$3.err" &
    local pid=$!
    pids+=("$pid")
    sleep "$1"
    kill -"$2" "$pid"
    wait "$pid" 2>/dev/null
}

seconds_in_data() { # oTA as seconds
    tr -d '\r' <"$data" | awk -F'[=:]' '$1 == "oTA" { print ($2 * 60 + $3) * 60 + $4 }'
}
seconds_in_history() {
    tr -d '\r' <"$history" | awk -F';' 'NR > 1 { s += $2 } END { print s + 0 }'
}

echo "-- a run ended by SIGTERM writes the history beside data.ini"
run_for 4 TERM "$root/run1.log"
[ -f "$history" ] || fail "no history file"
head -c 3 "$history" | od -An -tx1 | grep -q 'ef bb bf' || fail "history without byte-order mark"
[ "$(seconds_in_history)" -ge 2 ] || fail "history counted $(seconds_in_history) seconds"
[ "$(seconds_in_history)" -eq "$(seconds_in_data)" ] ||
    fail "history $(seconds_in_history) s, oTA $(seconds_in_data) s"
grep -q 'Volumenwarner' "$data" && fail "a data.ini without the section gained one"

echo "-- SIGKILL between saves: both files stay as the last save left them"
before_history=$(md5sum <"$history")
before_data=$(md5sum <"$data")
run_for 3 KILL "$root/run2.log"
[ "$(md5sum <"$history")" = "$before_history" ] || fail "history changed without a save"
[ "$(md5sum <"$data")" = "$before_data" ] || fail "data.ini changed without a save"

echo "-- a damaged history is set aside once, counting goes on"
printf 'kaputt;;\n' >>"$history"
run_for 3 TERM "$root/run3.log"
aside=$(ls "$root"/app/data/verlauf-beiseite-*.csv 2>/dev/null | head -1)
[ -n "$aside" ] || fail "no file set aside"
[ -n "$aside" ] && { grep -q 'kaputt' "$aside" || fail "the set-aside file lost the damaged row"; }
grep -q 'kaputt' "$history" && fail "the damaged row is still in the history"
grep -q 'besch.digte Zeilen' "$root/run3.log.err" || fail "damage not reported"
[ "$(seconds_in_history)" -eq "$(seconds_in_data)" ] ||
    fail "after the damage: history $(seconds_in_history) s, oTA $(seconds_in_data) s"
run_for 2 TERM "$root/run4.log"
grep -q 'besch.digte' "$root/run4.log.err" && fail "damage reported twice"

echo "-- temporaries of history saves killed in earlier runs are removed at the next start"
for n in 1 2 3 4 5; do
    sh -c 'exit 0' &
    dead=$!
    wait "$dead"
    kill -0 "$dead" 2>/dev/null || printf 'half a history' >"$history.tmp-$dead"
done
[ "$(ls "$history".tmp-* 2>/dev/null | wc -l)" -ge 1 ] || fail "no stale temporaries to remove"
run_for 2 TERM "$root/run5.log"
left=$(ls "$history".tmp-* 2>/dev/null | wc -l)
[ "$left" -eq 0 ] || fail "$left history temporaries left after a start"

[ "$failures" -eq 0 ] && echo "verlauf process tests passed"
exit "$failures"
