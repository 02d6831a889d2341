# Sourced by the process tests: the tools a test needs, a folder of its own, the processes it
# starts (each appended to `pids` and stopped by its PID when the test ends) and its failures.

# require_tools TOOL...: a missing tool fails the test with the line that says how to get it.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "FAIL: $tool missing (scripts/install-deps.sh installs it)"; exit 1; }
    done
}

# begin_rig NAME: $root is a new folder /tmp/tavlor-NAME-XXXXXX; on exit every PID in `pids` is
# stopped and waited for, and the folder removed.
begin_rig() {
    root=$(mktemp -d "/tmp/tavlor-$1-XXXXXX")
    pids=()
    failures=0
    trap end_rig EXIT
}
end_rig() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$root"
}

# A test that says more about where it failed defines its own fail() after sourcing this file.
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

until_true() { # until_true SECONDS COMMAND...: polls every 0.1 s
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}
