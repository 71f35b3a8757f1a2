#!/usr/bin/env bash
# Builds the sample product's installer and runs it under wine64: on your
# display when there is one, otherwise on a virtual display, where the pilot
# drives the happy path and leaves a screenshot of every screen it passed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" win32 win64

setup="$root/build/win64/product/pellomark/setup.exe"
echo "sample: the product installer is $root/build/win32/product/pellomark/setup.exe (32-bit)"
echo "sample: running its 64-bit twin $setup"

if [[ -n ${DISPLAY:-} ]] && timeout 5 import -window root -crop 1x1+0+0 null: >/dev/null 2>&1; then
    prefix="$root/build/sample-prefix"
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    [[ -d $prefix ]] || /usr/lib/wine/wine64 wineboot -i
    /usr/lib/wine/wine64 "$setup"
    echo "sample: the installation went into the Wine prefix $prefix"
    exit 0
fi

out="$root/build/sample"
harness="$root/tests/e2e/harness.sh"
"$harness" prefix "$out/template-prefix"
"$harness" run sample_tour 800 600 --template "$out/template-prefix" --out "$out" \
    --pilot "$root/build/win64/tests/e2e/pilot.exe" --setup "$setup"
echo "sample: screenshots of every screen are in $out/screenshots/sample_tour"
