#!/usr/bin/env bash
# Checks a built executable without running it: its machine, its subsystem,
# that it can be loaded anywhere, and that it imports only the DLLs it is
# allowed to.
# usage: check-pe.sh <objdump> <exe> <pei-i386|pei-x86-64> <gui|console> DLL...
set -euo pipefail
objdump=$1 exe=$2 format=$3 subsystem=$4
shift 4
allowed=" $(echo "$*" | tr '[:lower:]' '[:upper:]') "
status=0

header=$("$objdump" -f "$exe")
if ! grep -q "file format $format" <<<"$header"; then
    echo "FAIL: $exe is not $format:"; echo "$header"; status=1
fi
private=$("$objdump" -p "$exe")
want=2; [[ $subsystem == console ]] && want=3
if ! grep -Eq "^Subsystem[[:space:]]+0000000$want" <<<"$private"; then
    echo "FAIL: $exe subsystem is not $subsystem:"; grep -E '^Subsystem' <<<"$private"; status=1
fi
# Loaded at a random address with data never run: the relocations stay, the
# first thing to go when bytes are short.
for flag in DYNAMIC_BASE NX_COMPAT; do
    if ! grep -Eq "^[[:space:]]+$flag\$" <<<"$private"; then
        echo "FAIL: $exe does not ask for $flag"; status=1
    fi
done
if ! "$objdump" -h "$exe" | grep -q ' \.reloc '; then
    echo "FAIL: $exe has no relocations"; status=1
fi
while read -r dll; do
    upper=$(tr '[:lower:]' '[:upper:]' <<<"$dll")
    if [[ $allowed != *" $upper "* ]]; then
        echo "FAIL: $exe imports $dll, which is not allowed"; status=1
    fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$private")
if grep -qiE 'libgcc|libstdc|libwinpthread' <<<"$private"; then
    echo "FAIL: $exe depends on a MinGW runtime DLL"; status=1
fi
[[ $status == 0 ]] && echo "ok: $exe ($format, $subsystem): $(awk '/DLL Name:/ {printf "%s ", $3}' <<<"$private")"
exit $status
