#!/usr/bin/env bash
# Runs every test of the build through CTest. The Windows tests (cross-built, run under
# Wine) are registered with CTest as well when the machine can build them.
#   scripts/run-tests.sh [build-dir]   (build-asan: the sanitizer build of `make test-asan`)
set -uo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
# A sanitizer report ends the process with an error, so the test that caused it fails. Leaks
# are checked too; the suppressions name only libraries outside the project.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1:check_initialization_order=1:strict_string_checks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/sanitizer-leaks.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600
code=$?
bash scripts/build-qt-windows.sh --check ||
    echo "run-tests: the Windows program tests (Tavlor.exe under Wine) were skipped: no Qt for Windows is cached; scripts/build-qt-windows.sh builds it (about half an hour), make test-windows runs them"
exit $code
