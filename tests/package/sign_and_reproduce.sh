#!/usr/bin/env bash
# Packages the tiny product as a vendor would. Twice unsigned, in two build
# folders at two times, by two users in two time zones: the setup programs
# must be the same bytes. Then signed with a throwaway certificate: both
# setup programs must verify, an unsigned one must not, and the signed
# 32-bit setup must still install, leaving a signed uninstaller in the
# Windows directory.
#
#   sign_and_reproduce.sh <work folder> <pilot.exe> <template prefix>
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1 pilot=$2 template=$3
tiny=$root/tests/products/tiny/tiny.product
package=$root/scripts/package.sh
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"

"$package" --work "$work/A" "$tiny" "$work/outA"
sleep 2
TZ=Pacific/Auckland USER=other LOGNAME=other "$package" --work "$work/B" "$tiny" "$work/outB"
for exe in setup.exe setup-win64.exe; do
    cmp "$work/outA/$exe" "$work/outB/$exe" || fail "$exe differs between two builds"
done

openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Ashgrove Test Signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
echo "not a secret" >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
    -passout "file:$work/password"
"$package" --sign "$work/cert.p12" "$work/password" --work "$work/A" "$tiny" "$work/signed"

verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }
verify "$work/outA/setup.exe" && fail "an unsigned setup program verified"
for exe in setup.exe setup-win64.exe; do
    verify "$work/signed/$exe" || { cat "$work/verify.log"; fail "signed $exe does not verify"; }
done

"$root/tests/e2e/harness.sh" run sample_tour 800 600 --template "$template" --out "$work/install" \
    --pilot "$pilot" --setup "$work/signed/setup.exe" --set product=Tinytally --keep ||
    fail "the signed setup program did not install"
installed=$work/install/work/sample_tour/prefix/drive_c/windows/Tallygone.exe
verify "$installed" || { cat "$work/verify.log"; fail "the installed uninstaller does not verify"; }
rm -rf "$work/install/work/sample_tour/prefix"
echo "setup programs reproduced byte for byte; signed ones verify and install"
