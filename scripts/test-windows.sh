#!/usr/bin/env bash
# Cross-builds the core, the Windows platform layer and their tests with MinGW-w64 and runs the
# tests under Wine, headless, in a fresh Wine prefix that is removed afterwards.
#
#   scripts/test-windows.sh                 installs the cross compiler and Wine when missing
#   scripts/test-windows.sh --if-available  (used by `make test`) skips, with exit code 77,
#                                           when they are not installed
#
# As root the tests run as the unprivileged user "nobody": write protection only bites for an
# ordinary user, and Wine ignores read-only attributes for root.
set -uo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD
build_dir=${TAVLOR_WINDOWS_BUILD_DIR:-$root_dir/build-windows}
packages=(g++-mingw-w64-x86-64-posix wine wine64 cmake ninja-build)
if_available=0
[ "${1:-}" = "--if-available" ] && if_available=1

say() { echo "test-windows: $*"; }

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ $if_available -eq 1 ]; then
        say "SKIPPED: ${missing[*]} not installed (run 'make test-windows' to install them and test)"
        exit 77
    fi
    say "installing ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
        { say "FAILED: could not install ${missing[*]}"; exit 1; }
fi

say "cross-building into $build_dir"
mkdir -p "$build_dir"
build_log="$build_dir/cross-build.log"
cmake -S "$root_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root_dir/cmake/toolchain-mingw64.cmake" \
    -DTAVLOR_BUILD_GUI=OFF -DTAVLOR_BUILD_BENCH=OFF \
    -DTAVLOR_TEST_FOLDERS="text;datafile;accounting;history;netmeter;dialup;views;desktop;platform" >"$build_log" 2>&1 &&
    cmake --build "$build_dir" -j "$(nproc)" >>"$build_log" 2>&1 ||
    { tail -40 "$build_log"; say "FAILED: the cross build failed (log: $build_log)"; exit 1; }

work=$(mktemp -d /tmp/tavlor-wine.XXXXXX)
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi
cleanup() {
    # Ends this prefix's own server (started by us) before its folder goes.
    env WINEPREFIX="$work/prefix" HOME="$work/home" "${run_as[@]}" wineserver -k >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/bin" "$work/home" "$work/prefix"
cp "$build_dir"/bin/*_tests.exe "$work/bin/"
if [ ${#run_as[@]} -gt 0 ]; then
    chown -R 65534:65534 "$work"
    # A folder the test user may read but not write, for the file store's refusal test.
    mkdir -p "$work/locked" && printf 'kept\r\n' >"$work/locked/data.ini"
    chmod 0555 "$work/locked" && chmod 0444 "$work/locked/data.ini"
    export TAVLOR_TEST_LOCKED_FOLDER="Z:${work//\//\\}\\locked"
fi

export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    LANG=C.UTF-8 LC_ALL=C.UTF-8 DISPLAY=

total=0; passed=0; failed=0; skipped=0; broken=()
for exe in "$work"/bin/*_tests.exe; do
    name=$(basename "$exe" .exe)
    log="$work/$name.log"
    timeout 600 "${run_as[@]}" wine "$exe" --gtest_brief=1 >"$log" 2>&1
    rc=$?
    ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran\..*/\1/p' "$log" | tail -1)
    ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -1)
    skip=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?.*/\1/p' "$log" | tail -1)
    total=$((total + ${ran:-0})); passed=$((passed + ${ok:-0})); skipped=$((skipped + ${skip:-0}))
    if [ $rc -ne 0 ] || [ -z "$ran" ]; then
        broken+=("$name")
        failed=$((failed + ${ran:-0} - ${ok:-0} - ${skip:-0}))
        grep -v '^wine: Read access denied' "$log" | tail -60
        say "$name: FAILED (exit code $rc)"
    else
        say "$name: ${ok:-0} passed${skip:+, $skip skipped}"
    fi
done
"${run_as[@]}" wineserver -w

user=$([ ${#run_as[@]} -gt 0 ] && echo "as nobody" || echo "as $(id -un)")
if [ ${#broken[@]} -eq 0 ]; then
    say "PASSED: $passed of $total tests passed, $skipped skipped, under Wine $(wine --version) $user"
    exit 0
fi
say "FAILED: $failed of $total tests failed in ${broken[*]} ($passed passed, $skipped skipped) $user"
exit 1
