#!/usr/bin/env bash
# Prints how long scripts/package.sh takes for the tiny product: cold (a
# fresh build folder) and warm (one value of the description changed),
# unsigned and signed (a throwaway certificate made with openssl).
#
#   bench/package-time.sh [<scratch folder>]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=${1:-$root/build/bench-package}
rm -rf "$scratch"
mkdir -p "$scratch"
cp -r "$root/tests/products/tiny" "$scratch/product"
description=$scratch/product/tiny.product

openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Bench Signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null
echo "bench" >"$scratch/password"
openssl pkcs12 -export -inkey "$scratch/key.pem" -in "$scratch/cert.pem" -out "$scratch/cert.p12" \
    -passout "file:$scratch/password"

timed() { # timed <label> <package.sh arguments...>
    local label=$1 start end
    shift
    start=$(date +%s.%N)
    "$root/scripts/package.sh" "$@" >"$scratch/last.log" 2>&1 || { cat "$scratch/last.log"; exit 1; }
    end=$(date +%s.%N)
    awk -v l="$label" -v s="$start" -v e="$end" 'BEGIN { printf "%-16s %6.1f s\n", l, e - s }'
}
sign=(--sign "$scratch/cert.p12" "$scratch/password")
timed "unsigned cold" --work "$scratch/unsigned" "$description"
sed -i 's/^Version: .*/Version: 0.9.1/' "$description"
timed "unsigned warm" --work "$scratch/unsigned" "$description"
timed "signed cold" "${sign[@]}" --work "$scratch/signed" "$description"
sed -i 's/^Version: .*/Version: 0.9.2/' "$description"
timed "signed warm" "${sign[@]}" --work "$scratch/signed" "$description"
