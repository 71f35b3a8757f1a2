#!/usr/bin/env bash
# Prints, for each setup executable in the given build folders, its size, the
# size of its resource section (the product it carries) and the rest (the
# installer's own code and data). The target for the i686 build: the rest at
# 32 KiB or less.
set -euo pipefail
printf '%-44s %10s %10s %10s\n' executable bytes resources rest
for build in "$@"; do
    for exe in "$build"/product/*/setup.exe; do
        [[ -f $exe ]] || continue
        objdump=objdump
        [[ $build == *win32* ]] && objdump=i686-w64-mingw32-objdump
        [[ $build == *win64* ]] && objdump=x86_64-w64-mingw32-objdump
        total=$(stat -c %s "$exe")
        rsrc=$("$objdump" -h "$exe" | awk '$2 == ".rsrc" {print $3}')
        rsrc=$((16#${rsrc:-0}))
        # On disk a section is padded to the file alignment of 512 bytes.
        rsrc_file=$(( (rsrc + 511) / 512 * 512 ))
        printf '%-44s %10d %10d %10d\n' "${exe#$PWD/}" "$total" "$rsrc_file" "$((total - rsrc_file))"
    done
done
