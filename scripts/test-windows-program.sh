#!/usr/bin/env bash
# Tests the Windows program, Tavlor.exe, under Wine: the file itself (one file, under 30 MB,
# only Windows system DLLs imported) and tests/shell/windows/program_test.sh on a virtual
# display with a tray host, in a fresh Wine prefix inside a network namespace of its own.
#
#   scripts/test-windows-program.sh                    (make test-windows) builds Tavlor.exe first
#   scripts/test-windows-program.sh --if-available     (CTest) skips, with exit code 77, when the
#                                                      Qt for Windows or Wine is not there
#   scripts/test-windows-program.sh --screenshot FILE  also saves the expanded window as FILE
#
# Environment: TAVLOR_WINE_SCREEN (the virtual display's size, default 1280x800) and
# TAVLOR_WINE_DPI (the prefix's dots per inch, default Wine's 96), to show that nothing in the
# test depends on the display or the font size.
# It never builds Qt: without the cached Qt of scripts/build-qt-windows.sh it says so and skips.
set -uo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD
if_available=0 screenshot=""
while [ $# -gt 0 ]; do
    case $1 in
        --if-available) if_available=1 ;;
        --screenshot) screenshot=$(realpath -m "$2"); shift ;;
        *) echo "usage: $0 [--if-available] [--screenshot FILE]" >&2; exit 2 ;;
    esac
    shift
done

say() { echo "test-windows-program: $*"; }
skip() {
    say "SKIPPED: the Windows program tests did not run: $*"
    [ $if_available -eq 1 ] && exit 77
    exit 0
}

bash scripts/build-qt-windows.sh --check ||
    skip "no Qt for Windows in $(bash scripts/build-qt-windows.sh --prefix); build it once with scripts/build-qt-windows.sh (about half an hour), then run make test-windows"
[ "$(id -u)" -eq 0 ] || skip "they need root for their network namespace"
packages=(wine wine64 locales xvfb xauth trayer xdotool x11-utils imagemagick iproute2 python3 util-linux
          binutils-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix zip)
if [ $if_available -eq 1 ]; then
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            skip "$p is not installed (make test-windows installs it)"
    done
else
    bash scripts/install-deps.sh "${packages[@]}" || { say "FAILED: could not install ${packages[*]}"; exit 1; }
fi

bash scripts/build-windows.sh || { say "FAILED: Tavlor.exe could not be built"; exit 1; }
exe=$root_dir/build-windows-app/bin/Tavlor.exe
failures=0

size=$(stat -c %s "$exe")
if [ "$size" -lt $((30 * 1024 * 1024)) ]; then
    say "ok: Tavlor.exe is one file of $((size / 1024)) KiB"
else
    say "FAIL: Tavlor.exe has $((size / 1024)) KiB, more than 30 MiB"; failures=$((failures + 1))
fi
# What every Windows 10 has in System32; API sets are served by the system itself.
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|winmm|imm32|uxtheme|dwmapi|version|ws2_32|wsock32|iphlpapi|netapi32|userenv|mpr|shlwapi|setupapi|crypt32|d3d9|d3d11|d3d12|dxgi|d2d1|dwrite|msvcrt|ntdll|rpcrt4|wtsapi32|authz|shcore|opengl32|secur32|bcrypt|dnsapi|api-ms-win-[a-z0-9-]+)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
foreign=$(grep -Ev "$system_dlls" <<<"$imports")
if [ -z "$foreign" ]; then
    say "ok: Tavlor.exe imports only Windows system DLLs: $(tr '\n' ' ' <<<"$imports")"
else
    say "FAIL: Tavlor.exe imports $(tr '\n' ' ' <<<"$foreign")"; failures=$((failures + 1))
fi

work=$(mktemp -d /tmp/tavlor-wine-program.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
. scripts/lib/virtual-display.sh
start_virtual_display "${TAVLOR_WINE_SCREEN:-1280x800}" || exit 1
start_tray_host
sleep 1 # trayer takes a moment to own the notification area

started=$(date +%s)
unshare -n -m --propagation private bash tests/shell/windows/program_test.sh "$exe" resources/VemoIco.ico "$work" "$screenshot" |
    sed 's/^/test-windows-program: /'
[ "${PIPESTATUS[0]}" -eq 0 ] || failures=$((failures + 1))

if [ $failures -eq 0 ]; then
    say "PASSED under Wine $(wine --version) in $(($(date +%s) - started)) s"
    exit 0
fi
say "FAILED"
exit 1
