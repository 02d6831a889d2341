#!/usr/bin/env bash
# tavlor-status against the real program, in a network namespace of its own (gateway mode on a
# veth link with steady traffic) with a session bus of its own: the files' figures while the
# program is down, its live figures while it runs, --alert both ways, damaged and missing files,
# and the bus quiet without a subscriber. Every process started here is stopped by its PID.
#
#   status_process_test.sh TAVLOR TAVLOR-STATUS
set -uo pipefail
program=$1 status=$2
if [ "${3:-}" != --inside ]; then
    [ "$(id -u)" -eq 0 ] || { echo "SKIP: a network namespace needs root"; exit 77; }
    exec unshare -n -m --propagation private bash "$0" "$program" "$status" --inside
fi
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
. "$(dirname "$0")/../../scripts/lib/test-rig.sh"
begin_rig status
ok() { echo "ok: $*"; }

# --- a link of our own with the default route over it: exact counts (no IPv6, no ARP) ---
mount -t sysfs sysfs /sys || { echo "FAIL: no /sys of the test's own"; exit 1; }
ip link set lo up
unshare -n sleep 600 &
peer=$!
pids+=("$peer")
sleep 0.2
in_peer() { nsenter --net="/proc/$peer/ns/net" "$@"; }
ip link add vs0 type veth peer name vs1 netns "$peer"
sysctl -qw net.ipv6.conf.vs0.disable_ipv6=1
in_peer sysctl -qw net.ipv6.conf.vs1.disable_ipv6=1
ip addr add 10.202.0.1/24 dev vs0 && ip link set vs0 up
in_peer ip addr add 10.202.0.2/24 dev vs1 && in_peer ip link set vs1 up && in_peer ip link set lo up
ip route add default via 10.202.0.2 dev vs0
mac_of() { ip -br link show "$1" | awk '{print $3}'; }
ip neigh replace 10.202.0.2 lladdr "$(in_peer bash -c "$(declare -f mac_of); mac_of vs1")" dev vs0 nud permanent
in_peer ip neigh replace 10.202.0.1 lladdr "$(mac_of vs0)" dev vs1 nud permanent

# --- a session bus of the test's own; the program and the command side by side in a folder ---
dbus-daemon --config-file=/usr/share/dbus-1/session.conf --address="unix:path=$root/session-bus" \
    --nofork --nopidfile &
pids+=($!)
export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_DATA_HOME=$root/home/.local/share \
    XDG_CONFIG_HOME=$root/home/.config QT_QPA_PLATFORM=offscreen TAVLOR_TRACE=1 LC_ALL=C.UTF-8 \
    DBUS_SESSION_BUS_ADDRESS=unix:path=$root/session-bus DBUS_SYSTEM_BUS_ADDRESS=unix:path=$root/no-system-bus
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$root/app/data"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$program" "$root/app/tavlor"
cp "$status" "$root/app/tavlor-status"
data=$root/app/data/data.ini history=$root/app/data/verlauf.csv
today=$(date +%F) month=$(date +%Y-%m)
for _ in $(seq 50); do [ -S "$root/session-bus" ] && break; sleep 0.1; done

write_files() { # limit-MB bytes-in-history-today
    printf 'Kopf\r\n\r\n[data]\r\noTA=1:0:5\r\noTD=0:2:3\r\nSD=%s\r\nTUp=1000000\r\nTDown=3000000\r\nonLAN=1\r\n' \
        "$today" >"$data"
    printf '[Volumenwarner]\r\nLimitMB=%s\r\nStichtag=1\r\nWarnung1=80\r\nWarnung2=100\r\n' "$1" >>"$data"
    printf '\xef\xbb\xbfDatum;Onlinezeit (s);Download (Bytes);Upload (Bytes)\r\n2020-01-01;7;7;7\r\n' >"$history"
    printf '%s;90;%s;3000\r\n' "$today" "$2" >>"$history"
}
json_field() { "$python" -c "import json,sys; d=json.load(sys.stdin); print(eval('d' + sys.argv[1]))" "$1"; }

echo "-- not running: the JSON is what data.ini and verlauf.csv hold"
write_files 1000 100000000
sums=$("$python" - "$history" <<'PY'
import sys, datetime
today = datetime.date.today()
first = today.replace(day=1)
s = [0, 0, 0]
for line in open(sys.argv[1], encoding="utf-8-sig").read().splitlines()[1:]:
    day, sec, down, up = line.split(";")
    if datetime.date.fromisoformat(day) >= first:
        s = [s[0] + int(sec), s[1] + int(down), s[2] + int(up)]
print(*s)
PY
)
read -r p_seconds p_down p_up <<<"$sums"
last=$("$python" -c "import datetime,calendar; t=datetime.date.today(); print(t.replace(day=calendar.monthrange(t.year,t.month)[1]))")
expected=$(printf '{"running":false,"online":false,"link":"","connection":"","download_bps":0,"upload_bps":0,"session":{"down":0,"up":0,"seconds":0},"today":{"seconds":123},"total":{"down":3000000,"up":1000000,"seconds":3605},"period":{"start":"%s-01","end":"%s","down":%s,"up":%s,"seconds":%s,"limit_bytes":1000000000,"limit_seconds":null,"download_only":false,"percent":%s,"level":"normal"}}' \
    "$month" "$last" "$p_down" "$p_up" "$p_seconds" "$("$python" -c "print(round(($p_down + $p_up) / 1e7, 1))")")
before=$(md5sum "$data" "$history")
got=$("$root/app/tavlor-status" --json)
[ "$got" = "$expected" ] && ok "offline JSON equals the files" || fail "offline JSON
  got      $got
  expected $expected"
"$root/app/tavlor-status" --alert 2>"$root/err.txt"
[ $? -eq 0 ] && ok "offline --alert 0 at 10 %" || fail "offline --alert not 0 under the threshold"
[ -s "$root/err.txt" ] && fail "offline --alert wrote to stderr (cron mails it): $(cat "$root/err.txt")"
write_files 100 100000000
"$root/app/tavlor-status" --alert
[ $? -eq 2 ] && ok "offline --alert 2 at 100 %" || fail "offline --alert not 2 over the limit"
"$root/app/tavlor-status" >"$root/summary.txt" || fail "summary failed"
grep -q '^Gesamt: ' "$root/summary.txt" || fail "summary without totals: $(cat "$root/summary.txt")"

echo "-- damaged and missing files: exit 1 naming the file, nothing written"
write_files 1000 100000000
sed -i 's/^TUp=1000000/TUp=abc/' "$data"
before=$(md5sum "$data" "$history")
"$root/app/tavlor-status" --json >/dev/null 2>"$root/err.txt"
[ $? -eq 1 ] && grep -q "data.ini ist besch" "$root/err.txt" && ok "a damaged data.ini: $(cat "$root/err.txt")" ||
    fail "damaged data.ini not reported: $(cat "$root/err.txt")"
write_files 1000 100000000
printf 'kaputt;;\r\n' >>"$history"
before=$(md5sum "$data" "$history")
"$root/app/tavlor-status" --alert 2>"$root/err.txt"
[ $? -eq 1 ] && grep -q "verlauf.csv ist besch" "$root/err.txt" && ok "a damaged verlauf.csv: $(cat "$root/err.txt")" ||
    fail "damaged verlauf.csv not reported: $(cat "$root/err.txt")"
[ "$(md5sum "$data" "$history")" = "$before" ] || fail "tavlor-status changed a file"
mv "$data" "$data.away"
"$root/app/tavlor-status" 2>"$root/err.txt"
[ $? -eq 1 ] && grep -q "Keine Datendatei" "$root/err.txt" || fail "a missing data.ini not reported"
[ -e "$data" ] && fail "tavlor-status created data.ini"
mv "$data.away" "$data"

echo "-- running, gateway mode with steady traffic: the live figures"
write_files 1000 100000000
"$root/app/tavlor" >"$root/run1.log" 2>"$root/run1.err" &
tavlor=$!
pids+=("$tavlor")
for _ in $(seq 100); do grep -q 'event loop running' "$root/run1.log" && break; sleep 0.1; done
started=$SECONDS
sleep 2 # the first ticks take the session's start readings
rx0=$(cat /sys/class/net/vs0/statistics/rx_bytes) tx0=$(cat /sys/class/net/vs0/statistics/tx_bytes)
send='import socket,sys,time
s=socket.socket(socket.AF_INET,socket.SOCK_DGRAM)
t=time.monotonic()
while True:
    for _ in range(int(sys.argv[2]) // 10): s.sendto(b"t"*1000,(sys.argv[1],9))
    t += 0.1; time.sleep(max(0, t - time.monotonic()))'
in_peer "$python" -c "$send" 10.202.0.1 100 & # about 100 kB/s towards the program: download
pids+=($!)
"$python" -c "$send" 10.202.0.2 50 & # about 50 kB/s from here: upload
pids+=($!)
quiet=$("$python" "$here/bus_listener.py" 3 listen)
[ "$quiet" = 0 ] && ok "no subscriber: no signal in 3 s" || fail "$quiet signals without a subscriber"
signals=$("$python" "$here/bus_listener.py" 5 subscribe)
[ "$signals" -ge 3 ] && [ "$signals" -le 6 ] && ok "subscribed: $signals signals in 5 s" ||
    fail "subscribed: $signals signals in 5 s"
after=$("$python" "$here/bus_listener.py" 3 listen)
[ "$after" = 0 ] && ok "the subscriber gone: quiet again" || fail "$after signals after the subscriber left"
left=$((20 - (SECONDS - started)))
[ "$left" -gt 0 ] && sleep "$left"
rxa=$(cat /sys/class/net/vs0/statistics/rx_bytes) txa=$(cat /sys/class/net/vs0/statistics/tx_bytes)
live=$("$root/app/tavlor-status" --json)
rxb=$(cat /sys/class/net/vs0/statistics/rx_bytes) txb=$(cat /sys/class/net/vs0/statistics/tx_bytes)
echo "live: $live"
[ "$(grep -c 'tavlor: saved' "$root/run1.log")" -eq 0 ] || fail "the program saved before the reading"
"$python" - "$live" $((rxa - rx0)) $((rxb - rx0)) $((txa - tx0)) $((txb - tx0)) <<'PY' && ok "live totals within 256 KiB of the kernel's counts, speeds above 0" || fail "live figures"
import json, sys
d = json.loads(sys.argv[1])
ra, rb, ta, tb = map(int, sys.argv[2:])
slack = 256 * 1024
checks = {
    "running": d["running"] is True and d["online"] is True and d["link"] == "vs0",
    "download": 3000000 + ra - slack <= d["total"]["down"] <= 3000000 + rb + slack,
    "upload": 1000000 + ta - slack <= d["total"]["up"] <= 1000000 + tb + slack,
    "traffic flowed": ra > 1000000 and ta > 500000,
    "speeds": d["download_bps"] > 0 and d["upload_bps"] > 0,
    "period grew": d["period"]["down"] > 100000000 // 2,
}
bad = [k for k, v in checks.items() if not v]
print("kernel down", ra, rb, "up", ta, tb, "failed:", bad)
sys.exit(1 if bad else 0)
PY
"$root/app/tavlor-status" --alert
[ $? -eq 0 ] && ok "live --alert 0 under the threshold" || fail "live --alert not 0 under the threshold"
"$root/app/tavlor-status" | grep -q '^Tavlor läuft: online über vs0' || fail "live summary: $("$root/app/tavlor-status")"
kill "$tavlor"
wait "$tavlor" 2>/dev/null

echo "-- running, the period at 85 % of its limit: live --alert 2"
write_files 1000 850000000
"$root/app/tavlor" >"$root/run2.log" 2>"$root/run2.err" &
tavlor=$!
pids+=("$tavlor")
for _ in $(seq 100); do grep -q 'event loop running' "$root/run2.log" && break; sleep 0.1; done
sleep 1.5
[ "$(json_field '["running"]' < <("$root/app/tavlor-status" --json))" = True ] || fail "second run not seen"
"$root/app/tavlor-status" --alert
[ $? -eq 2 ] && ok "live --alert 2 over the threshold" || fail "live --alert not 2 over the threshold"
kill "$tavlor"
wait "$tavlor" 2>/dev/null

[ "$failures" -eq 0 ] || { echo "--- program output"; cat "$root"/run*.err; }
exit $((failures > 0))
