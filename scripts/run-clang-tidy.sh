#!/usr/bin/env bash
# clang-tidy with the checked-in .clang-tidy over the project's own sources (not the generated
# moc files), from the compile commands of a configured build.
#   scripts/run-clang-tidy.sh [build-dir] [file...]
set -uo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true
if [ ! -f "$build_dir/compile_commands.json" ]; then
    echo "run-clang-tidy: no $build_dir/compile_commands.json; configure first (cmake --preset default)" >&2
    exit 1
fi
if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files 'src/*.cpp' | grep -v '/win32/')
fi
fails=0
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build_dir" --quiet \
    2> >(grep -v 'warnings generated' >&2) || fails=1
exit $fails
