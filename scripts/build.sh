#!/usr/bin/env bash
# Configures and builds the given presets (native, win32, win64).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in "$@"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2
done
