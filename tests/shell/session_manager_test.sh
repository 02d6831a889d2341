#!/usr/bin/env bash
# The real program as a client of a real session manager (xfce4-session on a virtual display
# with a bus of its own): a checkpoint ("save session" while the session goes on) saves and
# the program goes on counting; the logout that follows saves and ends it, without a question
# although MINI and BEENDEN are ticked.
# Every process started here is stopped by its PID.
set -uo pipefail
program=$1
. "$(dirname "$0")/../../scripts/lib/test-rig.sh"
require_tools Xvfb xfce4-session dbus-daemon dbus-send

begin_rig session

. "$(dirname "$0")/../../scripts/lib/virtual-display.sh"
start_virtual_display 1024x768 || exit 1

channel=$root/config/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$root/app/data" "$root/home" "$channel" "$root/cache" "$root/share" "$root/run"
chmod 700 "$root/run"
export HOME=$root/home XDG_CONFIG_HOME=$root/config XDG_CACHE_HOME=$root/cache \
    XDG_DATA_HOME=$root/share XDG_RUNTIME_DIR=$root/run XDG_CONFIG_DIRS=$root/config
out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || exit 1
export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
pids+=("$(echo "$out" | sed -n 2p)")

cp "$program" "$root/app/tavlor"
# Gateway mode counts from the first second; MINI and BEENDEN would hide or ask on a close.
printf 'x\r\n\r\n[data]\r\nonLAN=1\r\nMINI=1\r\nBEENDEN=1\r\nX=20\r\nY=20\r\n' >"$root/app/data/data.ini"
# The session's one client is Tavlor itself, started by the session manager as at a login.
cat >"$root/start-tavlor" <<EOF
#!/bin/sh
echo \$\$ >"$root/tavlor.pid"
exec "$root/app/tavlor" >"$root/tavlor.log" 2>&1
EOF
chmod +x "$root/start-tavlor"
cat >"$channel/xfce4-session.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-session" version="1.0">
  <property name="general" type="empty">
    <property name="FailsafeSessionName" type="string" value="Failsafe"/>
    <property name="SaveOnExit" type="bool" value="false"/>
    <property name="PromptOnLogout" type="bool" value="false"/>
  </property>
  <property name="startup" type="empty">
    <property name="ssh-agent" type="empty">
      <property name="enabled" type="bool" value="false"/>
    </property>
    <property name="gpg-agent" type="empty">
      <property name="enabled" type="bool" value="false"/>
    </property>
  </property>
  <property name="splash" type="empty">
    <property name="Engine" type="string" value=""/>
  </property>
  <property name="compat" type="empty">
    <property name="LaunchGNOME" type="bool" value="false"/>
    <property name="LaunchKDE" type="bool" value="false"/>
  </property>
  <property name="sessions" type="empty">
    <property name="Failsafe" type="empty">
      <property name="IsFailsafe" type="bool" value="true"/>
      <property name="Count" type="int" value="1"/>
      <property name="Client0_Command" type="array">
        <value type="string" value="$root/start-tavlor"/>
      </property>
      <property name="Client0_Priority" type="int" value="15"/>
      <property name="Client0_PerScreen" type="bool" value="false"/>
    </property>
  </property>
</channel>
EOF

xfce4-session >"$root/session.log" 2>&1 &
session_pid=$!
pids+=("$session_pid")

running() { [ -s "$root/tavlor.pid" ] && kill -0 "$(cat "$root/tavlor.pid")" 2>/dev/null; }
ended() { ! running; }
saved_keys() { tr -d '\r' <"$root/app/data/data.ini" | grep -c '='; }
saved_seconds() { # the online seconds since the last reset, as saved
    tr -d '\r' <"$root/app/data/data.ini" | awk -F'[=:]' '/^oTA=/ {t = $2 * 3600 + $3 * 60 + $4} END {print t + 0}'
}
manager() { # manager METHOD ARGS...: a call to the session manager
    dbus-send --session --print-reply --dest=org.xfce.SessionManager /org/xfce/SessionManager \
        "org.xfce.Session.Manager.$1" "${@:2}" >/dev/null 2>>"$root/dbus.log"
}
until_true 20 running || { fail "the session manager did not start Tavlor"; cat "$root/session.log"; exit 1; }
sleep 4 # the program registers with the session manager as it starts
keys_before=$(saved_keys)

echo "-- a checkpoint: saved, and the program goes on"
manager Checkpoint string: || fail "the checkpoint call failed: $(cat "$root/dbus.log")"
# The save answers the session manager's request asynchronously: poll the file, not one count.
more_keys() { [ "$(saved_keys)" -gt "$keys_before" ]; }
until_true 10 more_keys || fail "the checkpoint saved nothing"
first=$(saved_seconds)
sleep 3
running || fail "the checkpoint ended the program"
running && [ "$first" -ge 2 ] || fail "the checkpoint saved $first online seconds, expected 2 or more"

echo "-- the logout: saved once more, and the program ends without a question"
sleep 2
manager Logout boolean:false boolean:false || fail "the logout call failed: $(cat "$root/dbus.log")"
until_true 15 ended || fail "the logout did not end the program"
last=$(saved_seconds)
[ "$last" -gt "$first" ] || fail "the logout saved $last online seconds, not more than the checkpoint's $first"
until_true 10 eval '! kill -0 "$session_pid" 2>/dev/null' || fail "the session did not end"

if [ "$failures" -ne 0 ]; then
    echo "--- session log"
    tail -20 "$root/session.log"
    echo "--- program log"
    cat "$root/tavlor.log"
    exit 1
fi
echo "checkpoint: $first s saved, program kept running; logout: $last s saved, program ended"
