#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (also under
# AddressSanitizer and UndefinedBehaviorSanitizer), short fuzzing runs, the
# static checks of both Windows builds and the end-to-end scenarios under
# wine64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
scripts/build.sh native native-asan fuzz win32 win64

status=0
run() { echo "== $*"; "$@" || status=1; }
run ctest --preset native -j2
run ctest --preset native-asan -j2
run ctest --preset fuzz --output-log build/fuzz/summary.log
run ctest --preset win32
run ctest --preset win64
echo "== figures"
grep -h '^[0-9]*: fuzz:' build/fuzz/summary.log | sed 's/^[0-9]*: //' || true
bench/sizes.sh build/win32 build/win64 || true
if ((status == 0)); then echo "all tests passed"; else echo "some tests FAILED"; fi
exit $status
