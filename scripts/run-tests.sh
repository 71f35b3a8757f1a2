#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, the static
# checks of both Windows builds and the end-to-end scenarios under wine64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
scripts/build.sh native win32 win64

status=0
run() { echo "== $*"; "$@" || status=1; }
run ctest --preset native
run ctest --preset win32
run ctest --preset win64
bench/sizes.sh build/win32 build/win64 || true
((status == 0)) && echo "all tests passed" || echo "some tests FAILED"
exit $status
