#!/usr/bin/env bash
# Shows every screen of a product's setup program without a Windows machine:
# packages the product (scripts/package.sh; only what changed is rebuilt),
# runs its setup.exe, the real 32-bit one, under Wine on a virtual display,
# lets the pilot take a default installation through every screen, and
# writes a screenshot of each and one labelled contact sheet of them all.
#
#   scripts/preview.sh <description> [<folder>]
#   scripts/preview.sh --setup <setup.exe> --product <ProductName> <folder>
#
# The folder (by default build/package/<name>/preview) receives
# NN-<screen>.png in screen order and contact-sheet.png. The second form
# previews a setup program already built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() { sed -n '2,13s/^# \{0,1\}//p' "$0" >&2; exit 2; }
setup="" product="" folder=""
if [[ ${1:-} == --setup ]]; then
    (($# == 5)) && [[ $3 == --product ]] || usage
    setup=$(realpath "$2") product=$4 folder=$5
    [[ -f $setup ]] || { echo "preview: no setup program at $2" >&2; exit 2; }
else
    (($# >= 1 && $# <= 2)) && [[ $1 != -* ]] || usage
    [[ -f $1 ]] || { echo "preview: no description at $1" >&2; exit 2; }
    product=$(sed -n 's/^[[:space:]]*ProductName:[[:space:]]*\(.*[^[:space:]]\)[[:space:]]*$/\1/p' "$1" | head -1)
    name=$(basename "$1")
    name=${name%.*}
    name=${name//[^A-Za-z0-9_.-]/_}
    work=$root/build/package/$name
    "$root/scripts/package.sh" --work "$work" "$1" "$work" >/dev/null
    setup=$work/setup.exe
    folder=${2:-$work/preview}
fi
mkdir -p "$folder"
folder=$(realpath "$folder")

# The pilot is a 64-bit program: it starts the 32-bit setup, which Wine runs
# with its 32-bit loader, and reads the setup's resources as a data file.
/usr/lib/wine/wine --version >/dev/null 2>&1 ||
    { echo "preview: this machine cannot run 32-bit Windows programs (wine32; scripts/setup.sh)" >&2; exit 1; }
pilot=$root/build/win64/tests/e2e/pilot.exe
echo "preview: building the pilot"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target pilot -j2 >/dev/null

harness=$root/tests/e2e/harness.sh
template=$root/build/preview/template-prefix
mkdir -p "$root/build/preview"
"$harness" prefix "$template"
work=$(mktemp -d "$root/build/preview/run.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "preview: walking $setup ($product) through a default installation"
status=0
"$harness" run sample_tour 800 600 --template "$template" --out "$work" --pilot "$pilot" \
    --setup "$setup" --set "product=$product" >"$work/pilot.log" 2>&1 || status=$?

shots=("$work/screenshots/sample_tour"/*.png)
[[ -e ${shots[0]} ]] || { cat "$work/pilot.log" >&2; echo "preview: no screen was reached" >&2; exit 1; }
rm -f "$folder"/[0-9][0-9]-*.png "$folder/contact-sheet.png"
cp "${shots[@]}" "$folder/"
# The file names (01-splash ...) are the labels; the glob keeps screen order.
montage -font Liberation-Sans -pointsize 16 -label '%t' -tile 4x -geometry 400x300+10+10 \
    -title "$product: every screen of $(basename "$setup")" "$folder"/[0-9][0-9]-*.png \
    -depth 8 "$folder/contact-sheet.png"
echo "preview: ${#shots[@]} screens in $folder, all of them in $folder/contact-sheet.png"
if ((status != 0)); then
    grep -E "FAIL|failed|timed out" "$work/pilot.log" >&2 || true
    echo "preview: the installation did not go as expected (see the screens)" >&2
    exit 1
fi
