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
rm -f build/win64/Testing/Temporary/LastTestsFailed.log
run ctest --preset win64
echo "== figures"
grep -h '^[0-9]*: fuzz:' build/fuzz/summary.log | sed 's/^[0-9]*: //' || true
faults=$(ctest --preset win64 -L fault -N -FA '.*' | sed -n 's/^ *Test *#[0-9]*: *//p')
failed=$(cut -d: -f2 build/win64/Testing/Temporary/LastTestsFailed.log 2>/dev/null || true)
total=0 passed=0
for test in $faults; do
    total=$((total + 1))
    grep -qxF "$test" <<<"$failed" || passed=$((passed + 1))
done
echo "fault scenarios: $passed of $total passed"
bench/sizes.sh build/win32 build/win64 || true
if ((status == 0)); then echo "all tests passed"; else echo "some tests FAILED"; fi
exit $status
