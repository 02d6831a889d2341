#!/usr/bin/env bash
# The real program against data files that are not what they should be, as an unprivileged
# user: a write-protected data.ini, and a FIFO, a folder, a link to another file of the user's
# and a file named "data" where the data file belongs. The program must start and end at once,
# count, keep the foreign file as it was and keep its counters in the user's folder.
# Every process started here is stopped by its PID.
set -uo pipefail
program=$1

root=$(mktemp -d /tmp/tavlor-datafile-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill -9 "$pid" 2>/dev/null
    done
    rm -rf "$root"
}
trap cleanup EXIT
chmod 755 "$root"

export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_DATA_HOME=$root/home/.local/share \
    XDG_CONFIG_HOME=$root/home/.config QT_QPA_PLATFORM=offscreen TAVLOR_TRACE=1
export DBUS_SESSION_BUS_ADDRESS=disabled: DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/no-system-bus
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$root/app"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$program" "$root/app/tavlor"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    # Write protection binds an ordinary user only.
    chown -R 65534:65534 "$root"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
run() { "${as_user[@]}" "$@"; }
beside=$root/app/data/data.ini
user_file=$XDG_DATA_HOME/Tavlor/data/data.ini

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts the program; sets $started to its PID and $start_ms to the time to its event loop.
start() {
    local log=$1 begin
    begin=$(now_ms)
    "${as_user[@]}" "$root/app/tavlor" >"$log" 2>"$log.err" &
    started=$!
    pids+=("$started")
    for _ in $(seq 200); do
        if grep -q 'event loop running' "$log" 2>/dev/null; then
            start_ms=$(($(now_ms) - begin))
            return 0
        fi
        kill -0 "$started" 2>/dev/null || return 1
        sleep 0.02
    done
    return 1
}

# Sends SIGTERM; sets $code to the exit code and $stop_ms to the time the program took.
stop() {
    local begin
    begin=$(now_ms)
    kill -TERM "$started"
    for _ in $(seq 250); do
        kill -0 "$started" 2>/dev/null || break
        sleep 0.02
    done
    stop_ms=$(($(now_ms) - begin))
    wait "$started" 2>/dev/null
    code=$?
}

online_seconds() {
    local value h m s
    value=$(sed -n 's/^oTA=\([0-9:]*\)\r$/\1/p' "$1")
    IFS=: read -r h m s <<<"${value:-0:0:0}"
    echo $(((h * 60 + m) * 60 + s))
}

gateway_on() {
    run sed -i 's/^onLAN=[^\r]*/onLAN=1/' "$1"
}

echo "-- a write-protected data file: counting goes on; the save after it is writable again succeeds"
rm -rf "$root/app/data" "$XDG_DATA_HOME"
start "$root/ro0.log" || fail "first start failed"
stop
echo "a plain first start took $start_ms ms here"
limit_ms=3000
gateway_on "$beside"
chmod 444 "$beside"
before=$(sha256sum "$beside")
start "$root/ro1.log" || fail "start with a write-protected file failed"
sleep 3
stop
[ "$code" -eq 1 ] || fail "a failed final save exited with $code"
grep -q "kann nicht geschrieben werden" "$root/ro1.log.err" || fail "the failed save was not reported"
[ "$(sha256sum "$beside")" = "$before" ] || fail "the write-protected file changed"
[ "$stop_ms" -lt "$limit_ms" ] || fail "ending with a failed save took $stop_ms ms"
chmod 644 "$beside"
start "$root/ro2.log" || fail "start after the file became writable failed"
sleep 2.5
stop
[ "$code" -eq 0 ] || fail "exit code $code after the file became writable"
[ "$(online_seconds "$beside")" -ge 2 ] || fail "online time not saved: $(grep oTA "$beside")"
[ -e "$user_file" ] && fail "a writable program folder sent the file to the user's folder"
echo "write-protected: ended in $stop_ms ms; afterwards $(online_seconds "$beside") s saved"

# One case: $1 names it, $2 builds the thing that stands in the data file's way.
in_the_way() {
    local name=$1 build=$2
    echo "-- $name as the data file"
    rm -rf "$root/app/data" "$XDG_DATA_HOME" "$HOME/script.sh"
    run mkdir -p "$root/app/data"
    printf '#!/bin/sh\necho mine\n' >"$HOME/script.sh"
    chown 65534:65534 "$HOME/script.sh" 2>/dev/null
    local foreign
    foreign=$(sha256sum "$HOME/script.sh")
    eval "$build"
    start "$root/$name-1.log" || { fail "$name: no start"; return; }
    local first_start=$start_ms
    stop
    # Within a second on a quiet machine; the limit leaves room for a busy CI runner.
    [ "$first_start" -lt "$limit_ms" ] || fail "$name: start took $first_start ms"
    [ "$stop_ms" -lt "$limit_ms" ] || fail "$name: SIGTERM took $stop_ms ms"
    [ "$code" -eq 0 ] || fail "$name: exit code $code"
    [ -f "$user_file" ] || { fail "$name: no data file in the user's folder"; return; }
    [ "$(grep -c "speichert" "$root/$name-1.log.err")" -eq 1 ] || fail "$name: the new place was not said once"
    gateway_on "$user_file"
    start "$root/$name-2.log" || { fail "$name: no second start"; return; }
    sleep 2.5
    stop
    [ "$stop_ms" -lt "$limit_ms" ] || fail "$name: second SIGTERM took $stop_ms ms"
    local counted
    counted=$(online_seconds "$user_file")
    [ "$counted" -ge 2 ] || fail "$name: online time not counted in the user's folder ($counted s)"
    grep -q "speichert" "$root/$name-2.log.err" && fail "$name: the new place was said again"
    [ "$(sha256sum "$HOME/script.sh")" = "$foreign" ] || fail "$name: the foreign file changed"
    ls "$root/app/data" | grep -q 'tmp-' && fail "$name: a temporary file beside the program"
    echo "$name: start $first_start ms, SIGTERM $stop_ms ms, $counted s counted in the user's folder"
}

in_the_way fifo 'run mkfifo "$beside"'
in_the_way folder 'run mkdir "$beside"'
in_the_way link 'run ln -s "$HOME/script.sh" "$beside"'
in_the_way data-file 'rm -rf "$root/app/data"; run touch "$root/app/data"'

today_seconds() {
    local value h m s
    value=$(sed -n 's/^oTD=\([0-9:]*\)\r$/\1/p' "$1")
    IFS=: read -r h m s <<<"${value:-0:0:0}"
    echo $(((h * 60 + m) * 60 + s))
}

echo "-- data.ini a link to the user's own file in another folder (a dotfile manager's)"
rm -rf "$root/app/data" "$XDG_DATA_HOME" "$HOME/dotfiles"
start "$root/dot0.log" || fail "dotfiles: first start failed"
stop
run mkdir -p "$HOME/dotfiles"
run mv "$beside" "$HOME/dotfiles/tavlor.ini"
run ln -s "$HOME/dotfiles/tavlor.ini" "$beside"
gateway_on "$HOME/dotfiles/tavlor.ini"
start "$root/dot1.log" || fail "dotfiles: start failed"
sleep 2.5
stop
[ "$code" -eq 0 ] || fail "dotfiles: exit code $code"
[ -L "$beside" ] || fail "dotfiles: data.ini is no longer a link"
[ "$(online_seconds "$HOME/dotfiles/tavlor.ini")" -ge 2 ] ||
    fail "dotfiles: online time not saved where the link points: $(grep oTA "$HOME/dotfiles/tavlor.ini")"
[ -e "$user_file" ] && fail "dotfiles: the counters went to the user's folder instead"
ls "$HOME/dotfiles" "$root/app/data" | grep -q 'tmp-' && fail "dotfiles: a temporary file left behind"
echo "dotfiles: $(online_seconds "$HOME/dotfiles/tavlor.ini") s saved through the link"

# Qt takes the conventions from LC_ALL; English writes month/day, German reads day.month. On
# the 1st to 12th of a month the day of the today counters could be read as another one.
echo "-- the language changes between two runs: today's time and the reset date stay"
rm -rf "$root/app/data" "$XDG_DATA_HOME"
LC_ALL=en_US.UTF-8 start "$root/lang0.log" || fail "English: first start failed"
stop
gateway_on "$beside"
LC_ALL=en_US.UTF-8 start "$root/lang1.log" || fail "English: start failed"
sleep 2.5
stop
english_today=$(today_seconds "$beside")
english_reset=$(grep '^RD=' "$beside")
[ "$english_today" -ge 2 ] || fail "English: no time counted today ($english_today s)"
LC_ALL=de_DE.UTF-8 start "$root/lang2.log" || fail "German: start failed"
sleep 1.5
stop
german_today=$(today_seconds "$beside")
[ "$german_today" -ge $((english_today + 1)) ] ||
    fail "German: today's time went from $english_today s to $german_today s ($(grep '^SD=' "$beside"))"
[ "$(grep '^RD=' "$beside")" = "$english_reset" ] || fail "the reset date changed: $(grep '^RD=' "$beside")"
echo "language change: $english_reset, today $english_today s under English, $german_today s under German"

if [ "$failures" -ne 0 ]; then
    for f in "$root"/*.err; do
        [ -s "$f" ] && { echo "== $f"; tail -5 "$f"; }
    done
    echo "$failures failure(s)"
    exit 1
fi
echo "all data file process tests passed"
