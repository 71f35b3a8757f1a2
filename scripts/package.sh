#!/usr/bin/env bash
# Packages a product: builds the setup executable for the product that a
# description names, with no change to this tree.
#
#   scripts/package.sh <description> [<output folder>]
#
# Builds in build/package/<name>/ (<name>: the description's file name
# without its extension) and puts into the output folder (by default that
# same folder):
#   setup.exe        the product's setup program (32-bit Windows)
#   setup-win64.exe  its 64-bit twin, for trying it under wine64
# A description with faults stops the build with file:line: messages, and
# no setup program is left in the output folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if (($# < 1 || $# > 2)) || [[ $1 == -h || $1 == --help ]]; then
    sed -n '2,13s/^# \{0,1\}//p' "$0" >&2
    exit 2
fi
[[ -f $1 ]] || { echo "package: no description at $1" >&2; exit 2; }
description=$(realpath "$1")
name=$(basename "$description")
name=${name%.*}
name=${name//[^A-Za-z0-9_.-]/_}  # a folder name the tools take without quoting
work="$root/build/package/$name"
out=${2:-$work}
mkdir -p "$out"
out=$(realpath "$out")
rm -f "$out/setup.exe" "$out/setup-win64.exe"

build() { # build <arch> <toolchain> <copy as>
    local tree="$work/build-$1"
    echo "package: building the $1 setup program of $name in $tree"
    cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" -DCRATEWISE_PRODUCT="$description" >/dev/null
    cmake --build "$tree" --target packaged_setup -j2
    cp "$tree/product/packaged/setup.exe" "$out/$3"
}
build win32 toolchain-i686-w64-mingw32.cmake setup.exe
build win64 toolchain-x86_64-w64-mingw32.cmake setup-win64.exe

echo "package: $out/setup.exe is the setup program of $name"
echo "package: $out/setup-win64.exe is its 64-bit twin, for trying it under wine64"
