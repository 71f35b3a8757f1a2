#!/usr/bin/env bash
# Packages a product: builds the setup executable for the product that a
# description names, with no change to this tree.
#
#   scripts/package.sh [--sign <certificate.p12> <password file>]
#                      [--timestamp <url>] [--work <folder>]
#                      <description> [<output folder>]
#
# Builds in build/package/<name>/ (<name>: the description's file name
# without its extension; --work names another folder) and puts into the
# output folder (by default the build folder):
#   setup.exe        the product's setup program (32-bit Windows)
#   setup-win64.exe  its 64-bit twin, a product of its own
# --sign signs, with osslsigncode (SHA-256), the uninstaller before it goes
# into the payload and then both setup programs; the password is the file's
# first line. --timestamp adds an RFC 3161 time stamp from that server (it
# needs the network). Without --sign nothing is signed.
# A description with faults stops the build with file:line: messages, and
# no setup program is left in the output folder. The same description and
# files give the same setup programs, byte for byte, wherever and whenever
# they are built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() { sed -n '2,22s/^# \{0,1\}//p' "$0" >&2; exit 2; }
pkcs12="" password="" timestamp="" work=""
while (($#)); do
    case $1 in
        --sign) (($# >= 3)) || usage; pkcs12=$2 password=$3; shift 3 ;;
        --timestamp) (($# >= 2)) || usage; timestamp=$2; shift 2 ;;
        --work) (($# >= 2)) || usage; work=$2; shift 2 ;;
        -h|--help|-*) usage ;;
        *) break ;;
    esac
done
(($# >= 1 && $# <= 2)) || usage
[[ -f $1 ]] || { echo "package: no description at $1" >&2; exit 2; }
if [[ -n $pkcs12 ]]; then
    [[ -f $pkcs12 ]] || { echo "package: no certificate at $pkcs12" >&2; exit 2; }
    [[ -f $password ]] || { echo "package: no password file at $password" >&2; exit 2; }
    command -v osslsigncode >/dev/null || { echo "package: signing needs osslsigncode (scripts/setup.sh)" >&2; exit 2; }
    pkcs12=$(realpath "$pkcs12") password=$(realpath "$password")
elif [[ -n $timestamp ]]; then
    echo "package: --timestamp needs --sign" >&2
    exit 2
fi
description=$(realpath "$1")
name=$(basename "$description")
name=${name%.*}
name=${name//[^A-Za-z0-9_.-]/_}  # a folder name the tools take without quoting
work=${work:-$root/build/package/$name}
mkdir -p "$work"
work=$(realpath "$work")
out=${2:-$work}
mkdir -p "$out"
out=$(realpath "$out")
rm -f "$out/setup.exe" "$out/setup-win64.exe"

sign() { # sign <in> <out>
    local ts=()
    [[ -n $timestamp ]] && ts=(-ts "$timestamp")
    rm -f "$2"
    osslsigncode sign -pkcs12 "$pkcs12" -readpass "$password" -h sha256 "${ts[@]}" \
        -in "$1" -out "$2" >/dev/null
}

build() { # build <arch> <toolchain> <copy as>
    local tree="$work/build-$1"
    echo "package: building the $1 setup program of $name in $tree"
    cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" -DCRATEWISE_PRODUCT="$description" \
        -DCRATEWISE_SIGN_PKCS12="$pkcs12" -DCRATEWISE_SIGN_PASSWORD_FILE="$password" \
        -DCRATEWISE_SIGN_TIMESTAMP="$timestamp" >/dev/null
    cmake --build "$tree" --target packaged_setup -j2
    if [[ -n $pkcs12 ]]; then
        sign "$tree/product/packaged/setup.exe" "$out/$3"
    else
        cp "$tree/product/packaged/setup.exe" "$out/$3"
    fi
}
build win32 toolchain-i686-w64-mingw32.cmake setup.exe
build win64 toolchain-x86_64-w64-mingw32.cmake setup-win64.exe

signed=""
[[ -n $pkcs12 ]] && signed=", signed"
echo "package: $out/setup.exe is the setup program of $name$signed"
echo "package: $out/setup-win64.exe is its 64-bit twin$signed"
echo "package: try it under wine32, in a prefix booted once by wine64:"
echo "    export WINEPREFIX=~/wine-try WINEDEBUG=-all WINEDLLOVERRIDES=\"mscoree,mshtml=\""
echo "    /usr/lib/wine/wine64 wineboot -i && /usr/lib/wine/wine $out/setup.exe"
echo "package: or see every screen of it: scripts/preview.sh $out/setup.exe"
