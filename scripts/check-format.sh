#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what the checked-in .clang-format makes of
# it. `make test` runs it through CTest; `scripts/check-format.sh --fix` formats in place.
set -uo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
    echo "check-format: clang-format is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
mapfile -t files < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' \
    'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' | while read -r f; do
    [ -f "$f" ] && echo "$f"; done)
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}" 2>/tmp/check-format.$$; then
    grep 'error:' /tmp/check-format.$$ | cut -d: -f1 | sort | uniq -c | sed 's/^/check-format: /'
    echo "check-format: ${#files[@]} files read; format the ones above with scripts/check-format.sh --fix" >&2
    rm -f /tmp/check-format.$$
    exit 1
fi
rm -f /tmp/check-format.$$
echo "check-format: ${#files[@]} files formatted as .clang-format says"
