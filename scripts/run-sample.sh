#!/usr/bin/env bash
# Builds the sample product and runs its setup program, the real 32-bit one,
# under wine32: on your display when there is one; otherwise on a virtual
# display, where the pilot takes a default installation through every screen
# and leaves a screenshot of each and one contact sheet of them all. The
# 64-bit twin is built beside it (build/win64/product/pellomark/setup.exe).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" win32 win64

setup="$root/build/win32/product/pellomark/setup.exe"
echo "sample: the product's setup program is $setup (32-bit)"
echo "sample: its 64-bit twin is $root/build/win64/product/pellomark/setup.exe"

if [[ -n ${DISPLAY:-} ]] && timeout 5 import -window root -crop 1x1+0+0 null: >/dev/null 2>&1; then
    prefix="$root/build/sample-prefix"
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # Booted by wine64, the prefix runs 32-bit and 64-bit programs alike.
    [[ -d $prefix ]] || /usr/lib/wine/wine64 wineboot -i
    /usr/lib/wine/wine "$setup"
    echo "sample: the installation went into the Wine prefix $prefix"
    exit 0
fi

"$root/scripts/preview.sh" --setup "$setup" --product Pellomark "$root/build/sample/screenshots"
