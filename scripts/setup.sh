#!/usr/bin/env bash
# Installs what building and testing Cratewise needs, with apt-get, and only
# what is missing: a second run installs nothing. The product a vendor ships
# is 32-bit, so wine32 (from the i386 architecture) runs beside wine64.
set -euo pipefail

packages=(
    cmake ninja-build g++ libgtest-dev clang-format
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine wine64 wine32:i386 xvfb xauth imagemagick fonts-liberation
    mscompress libmspack-dev clang libclang-rt-dev
    libmagick++-6.q16-dev osslsigncode openssl
)

sudo=""
((EUID == 0)) || sudo=sudo
updated=false
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture for wine32"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
    updated=true
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
    echo "setup: everything needed is installed"
    exit 0
fi

echo "setup: installing ${missing[*]}"
$updated || $sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
