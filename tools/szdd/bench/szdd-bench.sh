#!/usr/bin/env bash
# Compares our SZDD compressor with Debian's mscompress on a corpus built at
# run time: sizes per file, then totals and times for both.
#
#   tools/szdd/bench/szdd-bench.sh [path-to-szdd]
#
# Without an argument the tool is built (Release) under build/szdd-bench.
# Exits non-zero if ours is larger on any file, if an output of ours does not
# expand back to its input through msexpand, or if ours is not at least 5
# times as fast in total.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)

if [[ $# -ge 1 ]]; then
    szdd=$(realpath "$1")
else
    cmake -S "$root/tools/szdd" -B "$root/build/szdd-bench" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DSZDD_BUILD_TESTS=OFF >/dev/null
    ninja -C "$root/build/szdd-bench" -j2 szdd >/dev/null
    szdd="$root/build/szdd-bench/szdd"
fi
for tool in mscompress msexpand convert gzip; do
    command -v "$tool" >/dev/null || { echo "szdd-bench: $tool is missing" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/szdd-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
corpus="$work/corpus"
mkdir -p "$corpus" "$work/ours" "$work/theirs" "$work/check"

# ---- corpus -----------------------------------------------------------------
add() {  # add <source> <name>: copy a file in if it exists and is readable
    [[ -r "$1" && -f "$1" ]] && cp "$1" "$corpus/$2" || true
}

for f in GPL-3 GPL-2 LGPL-2.1 Apache-2.0 Artistic BSD MPL-2.0; do
    add "/usr/share/common-licenses/$f" "$f.txt"
done
add /usr/share/doc/cmake/copyright cmake-copyright.txt
add /usr/share/doc/bash/README bash-readme.txt
find /usr/share/doc -name 'README*' -type f ! -name '*.gz' -size +2k 2>/dev/null | sort | head -n 3 |
    while read -r f; do add "$f" "doc-$(basename "$(dirname "$f")")-$(basename "$f").txt"; done

wine=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
for f in kernel32.dll user32.dll comctl32.dll lz32.dll notepad.exe regedit.exe shell32.dll; do
    add "$wine/$f" "$f"
done

for f in ls bash find gzip msexpand; do
    add "/usr/bin/$f" "$f.elf"
done

convert -size 640x480 gradient:navy-gold BMP3:"$corpus/gradient.bmp"
convert -size 400x300 -seed 7 plasma:fractal BMP3:"$corpus/plasma.bmp"
convert logo: -colors 16 BMP3:"$corpus/logo16.bmp"
convert rose: BMP3:"$corpus/rose.bmp"
convert -size 320x240 pattern:checkerboard BMP3:"$corpus/checker.bmp"

gzip -9c /usr/share/common-licenses/GPL-3 >"$corpus/GPL-3.gz"
gzip -9c /usr/bin/bash >"$corpus/bash.gz"
convert logo: "$corpus/logo.png"
head -c 300000 /dev/urandom >"$corpus/random.bin"

# One 20 MiB file of varied system content, repeated as needed.
big="$corpus/mixed-20MiB.bin"
: >"$big"
while [[ $(stat -c %s "$big") -lt 20971520 ]]; do
    cat /usr/share/common-licenses/GPL-3 "$wine/kernel32.dll" /usr/bin/bash \
        "$corpus/gradient.bmp" /usr/share/common-licenses/Apache-2.0 "$wine/comctl32.dll" \
        "$corpus/bash.gz" "$wine/shell32.dll" /usr/bin/find >>"$big" 2>/dev/null || true
done
truncate -s 20971520 "$big"

# mscompress corrupts inputs shorter than 16 bytes: compare only the others.
mapfile -t files < <(find "$corpus" -type f -size +15c -printf '%f\n' | sort)
cp "${files[@]/#/$corpus/}" "$work/theirs/"

# ---- runs -------------------------------------------------------------------
TIMEFORMAT='%R %U %S'
run_ours() {
    for f in "${files[@]}"; do
        "$szdd" "$corpus/$f" "$work/ours/${f}_" 2>>"$work/ours.log" || echo "ours failed on $f" >>"$work/failures"
    done
}
run_theirs() {
    cd "$work/theirs"
    for f in "${files[@]}"; do
        mscompress "$f" >/dev/null 2>>"$work/theirs.log" || echo "mscompress failed on $f" >>"$work/failures"
    done
}
read -r ours_real ours_user ours_sys < <({ time run_ours; } 2>&1)
read -r theirs_real theirs_user theirs_sys < <({ time (run_theirs); } 2>&1)
if [[ -s "$work/failures" ]]; then
    cat "$work/failures" "$work/ours.log" "$work/theirs.log" >&2
    exit 1
fi

# ---- report -----------------------------------------------------------------
status=0
total_in=0 total_ours=0 total_theirs=0
printf '%-28s %10s %10s %10s %8s  %s\n' file input ours mscompress ours/ms note
for f in "${files[@]}"; do
    in=$(stat -c %s "$corpus/$f")
    ours=$(stat -c %s "$work/ours/${f}_")
    theirs=$(stat -c %s "$work/theirs/${f}_")
    note=smaller
    if ((ours > theirs)); then
        note="LARGER THAN MSCOMPRESS"
        status=1
    elif ((ours == theirs)); then
        # Ours is an optimal parse, so a tie means both are at the limit.
        note="tie (both at the format's limit)"
    fi
    msexpand <"$work/ours/${f}_" >"$work/check/$f"
    if ! cmp -s "$corpus/$f" "$work/check/$f"; then
        note="$note; MSEXPAND MISMATCH"
        status=1
    fi
    printf '%-28s %10d %10d %10d %8.4f  %s\n' "$f" "$in" "$ours" "$theirs" \
        "$(echo "$ours / $theirs" | bc -l)" "$note"
    total_in=$((total_in + in))
    total_ours=$((total_ours + ours))
    total_theirs=$((total_theirs + theirs))
done

speedup=$(echo "$theirs_real / $ours_real" | bc -l)
cpu_speedup=$(echo "($theirs_user + $theirs_sys) / ($ours_user + $ours_sys)" | bc -l)
echo
printf 'cpu seconds (user+sys): ours %.2f, mscompress %.2f (%.1fx)\n' \
    "$(echo "$ours_user + $ours_sys" | bc -l)" "$(echo "$theirs_user + $theirs_sys" | bc -l)" "$cpu_speedup"
if (($(echo "$speedup < 5" | bc -l))); then
    echo "szdd-bench: ours is less than 5 times as fast as mscompress" >&2
    status=1
fi
printf 'summary: %d files, %d bytes in; ours %d bytes in %.2f s; mscompress %d bytes in %.2f s; ours/ms size %.4f, %.1fx as fast%s\n' \
    "${#files[@]}" "$total_in" "$total_ours" "$ours_real" "$total_theirs" "$theirs_real" \
    "$(echo "$total_ours / $total_theirs" | bc -l)" "$speedup" \
    "$( ((status == 0)) && echo '; all targets met' || echo '; TARGETS MISSED')"
exit $status
