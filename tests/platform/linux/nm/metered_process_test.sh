#!/usr/bin/env bash
# The real program counting a metered Ethernet link that a real NetworkManager made the primary
# connection (nm-metered-rig.sh): with Getaktet=1 outside gateway mode, what crosses the link
# is counted within 64 KiB of the kernel's counters; the same link marked not metered, or
# metered counting off, counts nothing. While counting it asks NetworkManager nothing, and
# tavlor-status names the connection it counts.
set -uo pipefail
program=$1 status=${2:-}
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=nm-metered-rig.sh
source "$here/nm-metered-rig.sh"
if ! rig_can_run; then
    echo "SKIP: needs root, network-manager, util-linux and iproute2 (scripts/install-deps.sh)"
    exit 77
fi
rig_start && rig_session_bus_start || {
    echo "FAIL: the NetworkManager rig did not start"
    exit 1
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
slack=65536
volume=$((30 * 1000 * 1000))

# One run of the program with fresh totals and the given Getaktet; pushes the volume each way
# and sets rx, tx (the kernel's growth on the link) and down, up (the saved totals).
run() {
    local name=$1 getaktet=$2
    rig_program_prepare "$program" || {
        fail "$name: the program did not start"
        return 1
    }
    rig_data_set onLAN 0
    [ "$getaktet" = keep ] || rig_data_set Getaktet "$getaktet" Zaehlen
    rig_program_start "$RIG_BASE/$name.log" || {
        fail "$name: the program did not reach its event loop"
        return 1
    }
    sleep 2.2 # its first online second takes the counters' start
    local rx0 tx0
    rig_bus_watch_start
    rx0=$(rig_counter rx) tx0=$(rig_counter tx)
    rig_push_up "$volume"
    rig_push_down "$volume"
    sleep 2.2
    rx=$(($(rig_counter rx) - rx0)) tx=$(($(rig_counter tx) - tx0))
    live=""
    [ -n "$status" ] && live=$("$status" --json 2>&1)
    # Nothing changed on NetworkManager's side: the program asked it nothing, every second.
    calls=$(rig_bus_watch_stop)
    [ "$calls" = 0 ] || fail "$name: $calls calls to NetworkManager while nothing changed"
    rig_program_stop
    down=$(rig_saved TDown) up=$(rig_saved TUp)
    echo "$name: saved down ${down:-?} up ${up:-?}; tveth0 received $rx sent $tx"
    [ -n "$down" ] && [ -n "$up" ] || {
        fail "$name: no totals saved"
        return 1
    }
    [ "$rx" -ge "$volume" ] && [ "$tx" -ge "$volume" ] || fail "$name: the traffic did not cross the link"
}

echo "-- metered yes, Getaktet=1: counted"
rig_profile Hotspot yes || fail "the metered profile did not become the primary connection"
run metered 1 &&
    { [ $((down > rx ? down - rx : rx - down)) -le $slack ] || fail "metered: download $down, the link received $rx"; } &&
    { [ $((up > tx ? up - tx : tx - up)) -le $slack ] || fail "metered: upload $up, the link sent $tx"; } &&
    if [ -n "$status" ]; then
        [[ "$live" == *'"online":true,"link":"tveth0","connection":"Hotspot"'* ]] || fail "metered: tavlor-status said $live"
    fi

echo "-- metered yes, Getaktet=0: nothing counted"
run off 0 && { [ "$down" = 0 ] && [ "$up" = 0 ] || fail "off: counted $down down, $up up"; }

echo "-- metered no, Getaktet=1: nothing counted"
rig_set_metered Hotspot no || fail "the profile did not come back as not metered"
run unmetered 1 && { [ "$down" = 0 ] && [ "$up" = 0 ] || fail "unmetered: counted $down down, $up up"; }
if [ -n "$status" ]; then
    [[ "$live" == *'"online":false,"link":"","connection":""'* ]] || fail "unmetered: tavlor-status said $live"
fi

if [ "$failures" -ne 0 ]; then
    for f in "$RIG_BASE"/*.log; do
        [ -s "$f" ] && { echo "== $f"; tail -5 "$f"; }
    done
    tail -15 "$RIG_BASE/nm/log/nm.log"
    echo "$failures failure(s)"
    exit 1
fi
echo "all metered process tests passed"
