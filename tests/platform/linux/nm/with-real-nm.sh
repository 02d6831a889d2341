#!/usr/bin/env bash
# Runs a command against a real NetworkManager (nm-netns.sh: its own network namespace, a private
# system bus, keyfiles in a temporary folder). Skips (exit 77) where that cannot run: not root,
# NetworkManager not installed, or no network namespaces.
# The command finds TAVLOR_NM_RESTART_NM in its environment: NetworkManager again on the same bus.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ "$(id -u)" -ne 0 ] || ! command -v NetworkManager >/dev/null || ! command -v unshare >/dev/null; then
    echo "with-real-nm: SKIPPED (needs root and network-manager)"
    exit 77
fi
base="$(mktemp -d -t tvlnm.XXXXXX)"
trap '"$here/nm-netns.sh" stop "$base" >/dev/null 2>&1; rm -rf "$base"' EXIT
if ! out="$("$here/nm-netns.sh" start "$base" 2>&1)"; then
    echo "$out" | tail -5
    echo "with-real-nm: SKIPPED (NetworkManager could not start here)"
    exit 77
fi
eval "$(echo "$out" | grep '^export DBUS_SYSTEM_BUS_ADDRESS=')"
export TAVLOR_NM_RESTART_NM="$here/nm-netns.sh restart-nm $base"
"$@"
status=$?
[ $status -ne 0 ] && tail -n 30 "$base/log/nm.log" >&2
exit $status
