#!/usr/bin/env bash
# Installs what building and testing Cratewise needs, with apt-get, and only
# what is missing: a second run installs nothing.
set -euo pipefail

packages=(
    cmake ninja-build g++ libgtest-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine wine64 xvfb xauth imagemagick fonts-liberation
    mscompress libmspack-dev clang libclang-rt-dev
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
    echo "setup: everything needed is installed"
    exit 0
fi

sudo=""
((EUID == 0)) || sudo=sudo
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
