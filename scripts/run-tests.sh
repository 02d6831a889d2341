#!/usr/bin/env bash
# Runs every test of the build through CTest. The Windows tests (cross-built, run under
# Wine) are registered with CTest as well when the machine can build them.
set -uo pipefail
cd "$(dirname "$0")/.."
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600
code=$?
bash scripts/build-qt-windows.sh --check ||
    echo "run-tests: the Windows program tests (Tavlor.exe under Wine) were skipped: no Qt for Windows is cached; scripts/build-qt-windows.sh builds it (about half an hour), make test-windows runs them"
exit $code
