#!/usr/bin/env bash
# `make windows`: Tavlor.exe for 64-bit Windows 10 and later, one static file, cross-built with
# MinGW-w64 against the Qt of scripts/build-qt-windows.sh (built first when it is missing or
# stale, which takes about half an hour), and the download dist/Tavlor-<version>-win64.zip
# with Tavlor.exe, VemoIco.ico and a German read-me.
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD
build_dir=${TAVLOR_WINDOWS_APP_BUILD_DIR:-$root_dir/build-windows-app}
jobs=${JOBS:-$(nproc)}

say() { echo "build-windows: $*"; }

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix cmake ninja-build zip qt6-translations-l10n
bash scripts/build-qt-windows.sh
qt_prefix=$(bash scripts/build-qt-windows.sh --prefix)

say "building Tavlor.exe in $build_dir"
log=$build_dir/build.log
mkdir -p "$build_dir"
"$qt_prefix/bin/qt-cmake" -S "$root_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTAVLOR_BUILD_TESTS=OFF -DTAVLOR_BUILD_BENCH=OFF >"$log" 2>&1 &&
    cmake --build "$build_dir" --target tavlor -j "$jobs" >>"$log" 2>&1 ||
    { tail -40 "$log"; say "FAILED (log: $log)"; exit 1; }

exe=$build_dir/bin/Tavlor.exe
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
stage=$build_dir/zip
rm -rf "$stage" && mkdir -p "$stage"
cp "$exe" "$stage/Tavlor.exe"
cp resources/VemoIco.ico "$stage/VemoIco.ico"
# Notepad of every Windows version reads Windows-1252 with CR LF.
sed "s/@VERSION@/$version/; s/\$/\r/" resources/windows/LIESMICH.txt | iconv -f UTF-8 -t CP1252 >"$stage/LIESMICH.txt"
mkdir -p dist
zip_file=$root_dir/dist/Tavlor-$version-win64.zip
rm -f "$zip_file"
(cd "$stage" && zip -q -X "$zip_file" Tavlor.exe VemoIco.ico LIESMICH.txt)
say "$exe ($(du -m "$exe" | cut -f1) MB)"
say "$zip_file ($(du -m "$zip_file" | cut -f1) MB)"
