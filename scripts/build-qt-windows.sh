#!/usr/bin/env bash
# Builds a static Qt 6.4.2 (base and Charts) for 64-bit Windows with MinGW-w64, the Qt that
# `make windows` links Tavlor.exe against. Debian 12, as root (or with sudo).
#
#   scripts/build-qt-windows.sh          builds only when the cache is missing or stale
#   scripts/build-qt-windows.sh --check  exit 0 when the cache is current, 1 otherwise; builds nothing
#   scripts/build-qt-windows.sh --prefix prints where the cached Qt is (or will be)
#
# Sources: Debian's own qt6-base source package (apt-get source, through a deb-src entry for
# Debian's main archive) and the project's copy of the Qt Charts source in third_party/, since
# Debian's mirror serves no qt6-charts source. Debian's Qt 6.4.2 is the host Qt (moc, rcc, uic).
# Environment: QT_WIN_JOBS (parallel jobs, default 2), QT_WIN_NICE (niceness, default 19).
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD

qt_version=6.4.2
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/tavlor
prefix=$cache_root/qt-$qt_version-win64-static
work=$cache_root/qt-$qt_version-win64-work
charts_tarball=$root_dir/third_party/qtcharts-$qt_version.tar.xz
toolchain=$root_dir/cmake/toolchain-mingw64-qt.cmake
jobs=${QT_WIN_JOBS:-2}
niceness=${QT_WIN_NICE:-19}
stamp=$prefix/tavlor-qt.stamp

say() { echo "build-qt-windows: $*"; }

# Only what Tavlor.exe uses, to keep the build short on a shared machine: no FreeType (Windows
# draws text itself), no JPEG. OpenGL stays on (dynamic): switching it off breaks the Windows
# platform plugin of 6.4.2. So does switching Direct2D off: the plugin then refers to a DirectWrite
# font database that Qt Gui builds only with Direct2D, and Tavlor.exe does not link.
# No tablet events: Debian's source lacks the Wintab header (src/3rdparty/wintab) that the
# Windows plugin's tablet support includes.
qtbase_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF
    -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF -DFEATURE_system_zlib=OFF
    -DFEATURE_freetype=OFF -DFEATURE_jpeg=OFF
    -DFEATURE_tabletevent=OFF
)
qtcharts_options=(-DCMAKE_BUILD_TYPE=Release -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF)

# What decides how Qt is built decides whether the cached one is still the right one (the
# wording of this script does not).
fingerprint() {
    {
        echo "qt $qt_version" "${qtbase_options[@]}" "${qtcharts_options[@]}"
        sha256sum "$toolchain" "$charts_tarball" | cut -d' ' -f1
    } | sha256sum | cut -d' ' -f1
}

is_current() {
    [ -f "$stamp" ] && [ -x "$prefix/bin/qt-cmake" ] && [ "$(cat "$stamp")" = "$(fingerprint)" ]
}

case "${1:-}" in
    --check) is_current; exit $? ;;
    --prefix) echo "$prefix"; exit 0 ;;
    "") ;;
    *) echo "usage: $0 [--check|--prefix]" >&2; exit 2 ;;
esac

if is_current; then
    say "up to date: $prefix"
    exit 0
fi

started=$(date +%s)
elapsed() { local s=$(($(date +%s) - started)); printf '%d min %02d s' $((s / 60)) $((s % 60)); }
step() { say "[$(elapsed)] $*"; }

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

step "installing the build tools that are missing"
bash "$root_dir/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix cmake ninja-build dpkg-dev xz-utils \
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev perl python3

# Debian's sources of its main archive, nothing else: the host Qt and the sources match.
src_list=/etc/apt/sources.list.d/tavlor-debian-src.sources
if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
    step "adding a deb-src entry for Debian's main archive ($src_list)"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
        $SUDO tee "$src_list" >/dev/null
    $SUDO apt-get update -qq
fi

build() { nice -n "$niceness" cmake --build "$1" --parallel "$jobs" >>"$2" 2>&1; }
fail() { tail -40 "$1"; say "FAILED after $(elapsed): $2 (log: $1)"; exit 1; }
find_sources() {
    qtbase_src=$(find "$work/src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -1)
    charts_src=$(find "$work/src" -maxdepth 1 -type d -name "qtcharts*" | head -1)
}

fresh_start() {
    rm -rf "$work"
    mkdir -p "$work/src"
    step "fetching Debian's qt6-base source into $work/src"
    (cd "$work/src" && apt-get source -qq qt6-base >"$work/apt-source.log" 2>&1) ||
        { tail -20 "$work/apt-source.log"; say "FAILED: apt-get source qt6-base"; exit 1; }
    step "unpacking Qt Charts from ${charts_tarball#"$root_dir"/}"
    tar -xJf "$charts_tarball" -C "$work/src"
    find_sources
    [ -n "$qtbase_src" ] || { say "FAILED: no qt6-base $qt_version source (Debian's archive has another version?)"; exit 1; }

    # The installed Qt's qt.toolchain.cmake loads the toolchain by path: keep it beside that Qt.
    rm -rf "$prefix"
    mkdir -p "$prefix"
    cp "$toolchain" "$prefix/toolchain-mingw64-qt.cmake"
    step "configuring qtbase (log: $work/qtbase.log)"
    cmake -S "$qtbase_src" -B "$work/build-qtbase" -G Ninja "${qtbase_options[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain-mingw64-qt.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        >"$work/qtbase.log" 2>&1 ||
        fail "$work/qtbase.log" "configuring qtbase"
    fingerprint >"$work/recipe"
}

# An interrupted build (a reboot, a closed terminal) goes on where it stopped: the sources and
# build trees stay in $work, marked with the recipe they follow, until Qt is installed.
if [ -f "$work/recipe" ] && [ "$(cat "$work/recipe")" = "$(fingerprint)" ] &&
    [ -f "$work/build-qtbase/build.ninja" ] && [ -f "$prefix/toolchain-mingw64-qt.cmake" ]; then
    step "resuming the interrupted build in $work"
    find_sources
else
    fresh_start
fi
step "building qtbase with $jobs jobs at niceness $niceness"
build "$work/build-qtbase" "$work/qtbase.log" || fail "$work/qtbase.log" "building qtbase"
cmake --install "$work/build-qtbase" >>"$work/qtbase.log" 2>&1 || fail "$work/qtbase.log" "installing qtbase"

step "configuring Qt Charts (log: $work/qtcharts.log)"
"$prefix/bin/qt-cmake" -S "$charts_src" -B "$work/build-qtcharts" -G Ninja "${qtcharts_options[@]}" \
    >"$work/qtcharts.log" 2>&1 ||
    fail "$work/qtcharts.log" "configuring Qt Charts"
step "building Qt Charts"
build "$work/build-qtcharts" "$work/qtcharts.log" || fail "$work/qtcharts.log" "building Qt Charts"
cmake --install "$work/build-qtcharts" >>"$work/qtcharts.log" 2>&1 || fail "$work/qtcharts.log" "installing Qt Charts"

fingerprint >"$stamp"
rm -rf "$work"
say "done in $(elapsed): Qt $qt_version for Windows in $prefix ($(du -sh "$prefix" | cut -f1))"
