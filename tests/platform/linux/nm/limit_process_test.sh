#!/usr/bin/env bash
# The real program against a real NetworkManager (nm-metered-rig.sh):
#   - LimitMB=5 and Trennen=1: the metered profile is inactive within 5 s after 5 MB have
#     crossed its link, again within 5 s after nmcli brings it up, and the profile is unchanged;
#   - two metered profiles used one after the other: one history row each for today, each
#     within 64 KiB of what the kernel counted on the link while it was up.
set -uo pipefail
program=$1
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=nm-metered-rig.sh
source "$here/nm-metered-rig.sh"
if ! rig_can_run; then
    echo "SKIP: needs root, network-manager, util-linux and iproute2 (scripts/install-deps.sh)"
    exit 77
fi
rig_start || {
    echo "FAIL: the NetworkManager rig did not start"
    exit 1
}
# A NetworkManager slowed down by a loaded machine must not outlast the test's time: ended here,
# the rig is still taken down by its EXIT trap (a kill from outside would leave it behind).
trap 'echo "FAIL: out of time (a NetworkManager call hung)"; exit 1' TERM
# Its own sleep goes with it, and neither holds the test's output open.
(
    trap 'kill "$nap" 2>/dev/null; exit 0' TERM
    sleep 200 &
    nap=$!
    wait "$nap" && kill -TERM $$
) >/dev/null 2>&1 &
watchdog=$!

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
slack=65536

# The profile as the user made it (what a cut must leave alone).
profile_settings() {
    rig_nmcli -t -f connection.id,connection.uuid,connection.autoconnect,connection.metered,connection.interface-name,ipv4.method,ipv4.addresses,ipv4.gateway \
        connection show "$1"
}
is_active() { [ -n "$(rig_nmcli -g GENERAL.STATE connection show "$1" 2>/dev/null)" ]; }
now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
# Waits up to 5 s for NAME to be inactive; prints the milliseconds it took.
wait_cut() {
    local name=$1 start
    start=$(now_ms)
    while [ $(($(now_ms) - start)) -le 5000 ]; do
        if ! is_active "$name"; then
            echo $(($(now_ms) - start))
            return 0
        fi
        sleep 0.1
    done
    return 1
}
# A fresh program on the metered primary connection; extra KEY=VALUE pairs for [Volumenwarner].
prepare() {
    rig_program_prepare "$program" || return 1
    rig_data_set onLAN 0
    rig_data_set Getaktet 1 Zaehlen
    local pair
    for pair in "$@"; do
        rig_data_set "${pair%%=*}" "${pair#*=}" Volumenwarner
    done
}

echo "-- LimitMB=5, Trennen=1: cut at the limit and again when brought up"
rig_profile Hotspot yes || fail "the metered profile did not become the primary connection"
before="$(profile_settings Hotspot)"
if prepare LimitMB=5 Trennen=1 && rig_program_start "$RIG_BASE/limit.log"; then
    sleep 2.2 # its first online second takes the counters' start
    rig_push_down 4000000
    sleep 1.5
    is_active Hotspot || fail "cut below the limit"
    rig_push_down 1200000 # now past 5 MB, headers not even counted
    if took=$(wait_cut Hotspot); then
        echo "cut ${took} ms after the limit was passed"
    else
        fail "Hotspot still active 5 s after the limit was passed"
    fi
    # nmcli may see its activation end either way: the cut can come before it returns.
    rig_nmcli connection up Hotspot >/dev/null 2>&1
    if took=$(wait_cut Hotspot); then
        echo "cut again ${took} ms after nmcli brought it up"
    else
        fail "Hotspot brought up again stays active"
    fi
    rig_program_stop
    grep -qF 'Limit erreicht: Verbindung „Hotspot“ getrennt.' "$RIG_BASE/limit.log" ||
        fail "no notice of the cut"
    [ "$(profile_settings Hotspot)" = "$before" ] || fail "the profile was changed: $(profile_settings Hotspot)"
    down=$(rig_saved TDown)
    [ "${down:-0}" -ge 5000000 ] || fail "saved download ${down:-?} below the limit"
else
    fail "the program did not start"
fi

echo "-- two metered profiles one after the other: a row each"
# Pushes DOWN and UP bytes over the active profile; sets rx and tx to the kernel's growth.
use() {
    local rx0 tx0
    rx0=$(rig_counter rx) tx0=$(rig_counter tx)
    rig_push_down "$1"
    rig_push_up "$2"
    sleep 2.2
    rx=$(($(rig_counter rx) - rx0)) tx=$(($(rig_counter tx) - tx0))
}
row() { awk -F';' -v day="$(date +%F)" -v name="$1" '$1 == day && $5 == name' "$RIG_BASE/app/data/verlauf.csv"; }
near() { [ $(($1 > $2 ? $1 - $2 : $2 - $1)) -le $slack ]; }
rig_profile Eins yes || fail "Eins did not become the primary connection"
if prepare && rig_program_start "$RIG_BASE/two.log"; then
    sleep 2.2
    use 7000000 3000000
    rx1=$rx tx1=$tx
    rig_profile Zwei yes || fail "Zwei did not become the primary connection"
    sleep 2.2
    use 4000000 2000000
    rx2=$rx tx2=$tx
    rig_program_stop
    for n in 1 2; do
        name=$([ $n = 1 ] && echo Eins || echo Zwei)
        rx=$([ $n = 1 ] && echo "$rx1" || echo "$rx2") tx=$([ $n = 1 ] && echo "$tx1" || echo "$tx2")
        line="$(row "$name")"
        echo "$name: row '${line}'; tveth0 received $rx sent $tx"
        [ "$(echo "$line" | grep -c .)" = 1 ] || {
            fail "$name: not one row for today"
            continue
        }
        down=$(echo "$line" | cut -d';' -f3) up=$(echo "$line" | cut -d';' -f4)
        near "$down" "$rx" || fail "$name: download $down, the link received $rx"
        near "$up" "$tx" || fail "$name: upload $up, the link sent $tx"
    done
else
    fail "the program did not start"
fi

kill "$watchdog" 2>/dev/null
if [ "$failures" -ne 0 ]; then
    for f in "$RIG_BASE"/*.log; do
        [ -s "$f" ] && { echo "== $f"; tail -8 "$f"; }
    done
    [ -f "$RIG_BASE/app/data/verlauf.csv" ] && cat "$RIG_BASE/app/data/verlauf.csv"
    tail -15 "$RIG_BASE/nm/log/nm.log"
    echo "$failures failure(s)"
    exit 1
fi
echo "all limit process tests passed"
