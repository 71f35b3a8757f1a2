#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (also under
# AddressSanitizer and UndefinedBehaviorSanitizer), short fuzzing runs, the
# static checks of both Windows builds and the end-to-end scenarios of both
# builds under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
start=$SECONDS
scripts/build.sh native native-asan fuzz win32 win64
build_seconds=$((SECONDS - start))

status=0
figures=()
run() { echo "== $*"; "$@" || status=1; }
# tier <name> <command...>: runs it and keeps its wall time for the figures
tier() {
    local name=$1 start=$SECONDS
    shift
    run "$@"
    figures+=("tier $name: $((SECONDS - start)) s")
}
tier native ctest --preset native -j2
tier native-asan ctest --preset native-asan -j2
tier fuzz ctest --preset fuzz -j2 --output-log build/fuzz/summary.log
tier win32-static ctest --preset win32
tier win64-static ctest --preset win64 -LE e2e

# The end-to-end scenarios, one build after the other (two at a time), each
# timed; the win32 ones are skipped where 32-bit code cannot run.
wine32=${CRATEWISE_WINE32:-/usr/lib/wine/wine}
if ! why=$("$wine32" --version 2>&1); then
    figures+=("the real product (win32) was not run: this machine cannot execute 32-bit code ($wine32 --version: ${why##*: })")
fi
for build in win64 win32; do
    junit=$root/build/win64/e2e/$build-results.xml
    start=$SECONDS
    run ctest --preset win64 -L "^$build\$" --output-junit "$junit"
    seconds=$((SECONDS - start))
    # One line a test case: its name and its status (run, fail, notrun).
    results=$(grep -o '<testcase name="[^"]*"[^>]*status="[a-z]*"' "$junit" 2>/dev/null |
        sed 's/<testcase name="\([^"]*\)".*status="\([a-z]*\)"/\1 \2/' | grep -v '^e2e\.prefix ' || true)
    count() { grep -cE "$1" <<<"$results" || true; }
    faults=$(ctest --preset win64 -L "^$build\$" -L fault -N -FA '.*' |
        sed -n 's/^ *Test *#[0-9]*: *//p')
    fault_passed=0 fault_skipped=0 fault_total=0
    for test in $faults; do
        fault_total=$((fault_total + 1))
        grep -qxF "$test run" <<<"$results" && fault_passed=$((fault_passed + 1))
        grep -qxF "$test notrun" <<<"$results" && fault_skipped=$((fault_skipped + 1))
    done
    figures+=("e2e $build: $(count ' run$') passed, $(count ' fail$') failed, $(count ' notrun$') skipped in ${seconds} s")
    figures+=("fault scenarios $build: $fault_passed of $fault_total passed, $fault_skipped skipped")
done
echo "== figures"
echo "build: ${build_seconds} s"
grep -h '^[0-9]*: fuzz:' build/fuzz/summary.log | sed 's/^[0-9]*: //' || true
printf '%s\n' "${figures[@]}"
bench/sizes.sh build/win32 build/win64 || true
if ((status == 0)); then echo "all tests passed"; else echo "some tests FAILED"; fi
exit $status
