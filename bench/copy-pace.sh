#!/usr/bin/env bash
# Times the copy page under wine64 against the least its own pauses allow
# (timer arms and waits), for the sample product and for a product that
# carries a 50 MiB file, and prints the ratio. Target for the sample: within
# 10% of the minimum (a ratio of 1.10 or less).
#
#   bench/copy-pace.sh [runs]      (default 3 runs each; the best counts)
#
# Needs the win64 build (cmake --build --preset win64).
# Runs one Wine session at a time, like the end-to-end tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
build=$root/build/win64
out=$root/build/bench/copy-pace
harness=$root/tests/e2e/harness.sh
template=$build/e2e/template-prefix
pilot=$build/tests/e2e/pilot.exe
sample=$build/product/pellomark/setup.exe
packer=$build/hosttools/packer/packer
for needed in "$pilot" "$sample" "$packer"; do
    [[ -x $needed || -f $needed ]] || { echo "missing $needed: build native and win64 first" >&2; exit 2; }
done
mkdir -p "$out"

# minimum <expanded size>... : milliseconds the pauses add up to.
minimum() {
    awk -v sizes="$*" 'BEGIN {
        n = split(sizes, size, " ")
        steps = n ? int(100 / n) + 1 : 0
        whole = n * (steps * 10 + 100) + 1000          # write, and again removal
        total = 0; reads = 0
        for (i = 1; i <= n; i++) { total += size[i]; reads += int(size[i] / 32) + 1 }
        pace = int(total / 6400); if (pace < 1) pace = 1
        expand = n * 100 + int(reads / pace) * 25 + 2000
        printf "%d %d %d %d\n", 100 + whole + expand + 100 + whole, whole, expand, int(reads / pace)
    }'
}

# pace <setup.exe> : the best wall time of the copy page over the runs, in ms.
pace() {
    local best="" run ms
    for ((run = 1; run <= runs; run++)); do
        ms=$("$harness" run copy_pace 800 600 --template "$template" --out "$out/runs" \
                 --pilot "$pilot" --setup "$1" 2>&1 |
             sed -n 's/.*copy page wall time: \([0-9]*\) ms.*/\1/p')
        [[ -n $ms ]] || { echo "the pilot reported no time for $1" >&2; exit 1; }
        echo "    run $run: $ms ms" >&2
        if [[ -z $best ]] || ((ms < best)); then best=$ms; fi
    done
    echo "$best"
}

# A product like the sample whose program row is a 50 MiB file, packed as
# the sample is.
build_bulk() {
    local dir=$out/bulk
    mkdir -p "$dir"
    # The 50 MiB file is made once; the executable is linked afresh each time.
    [[ -f $dir/Bulkdata.bin ]] || python3 - "$dir/Bulkdata.bin" <<'EOF'
import random, sys
random.seed(7)
words = [("".join(random.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(random.randint(2, 9))))
         for _ in range(4000)]
size = 50 * 1024 * 1024
with open(sys.argv[1], "w", newline="") as f:
    written = 0
    line = 0
    while written < size:
        text = "%08d %s\r\n" % (line, " ".join(random.choice(words) for _ in range(9)))
        text = text[: size - written]
        f.write(text)
        written += len(text)
        line += 1
EOF
    local sample=$root/product/pellomark
    cat >"$dir/bulk.product" <<EOF
ProductName: Pellomark
Tagline: Software updates made easy!
Version: 1.01
RegistryKeyTemplate: Shareware\Dornwick\Programs\%s\%s
DefaultFolderTemplate: C:\Dornwick\%s
SupportAddress: support@dornwick.example
Agreement: $sample/agreement.txt
Notice: A product that carries one file of 50 MiB.
Icon: $sample/art/product.ico
PageBitmap: $sample/art/page.png
GroupBitmap: $sample/art/group.png
HeaderBitmap: $sample/art/header.png
Row: Quodgone.exe | Purgeset | Uninstall | compressed | $build/uninstaller/Quodgone.exe
Row: Bulkdata.bin | Bulk     | Pellomark | compressed | $dir/Bulkdata.bin
Row: Quodpost.hlp | HelpFile | Help      | compressed | $sample/help.txt
Row: Read_me.txt  | ReadMe   | Read Me   | plain      | $sample/read_me.txt
ShortcutCount: 4
EOF
    "$packer" --out "$dir/packed" "$dir/bulk.product"
    # Compiled and linked as the sample's setup is, with the bulk's manifest
    # and resources in place of the sample's.
    local commands
    commands=$(ninja -C "$build" -t commands product/pellomark/setup.exe | grep pellomark_setup.dir)
    [[ $commands == *pellomark_setup.dir/packed/manifest.cpp.obj* ]] ||
        { echo "cannot tell how the sample's setup is built" >&2; exit 1; }
    commands=${commands//$build\/product\/pellomark\/packed/$dir/packed}
    commands=${commands//product\/pellomark\/CMakeFiles\/pellomark_setup.dir/$dir/obj}
    commands=${commands//product\/pellomark\//$dir/}
    local made
    grep -o "$dir/obj/[^ ]*" <<<"$commands" | while read -r made; do
        mkdir -p "$(dirname "$made")"
    done
    (cd "$build" && bash -e -c "$commands")
}

report() { # report <name> <setup.exe> <expanded size>...
    local name=$1 setup=$2
    shift 2
    read -r least whole expand halfsteps < <(minimum "$@")
    echo "$name: $# files, $(awk -v s="$*" 'BEGIN{n=split(s,a," ");t=0;for(i=1;i<=n;i++)t+=a[i];print t}') bytes expanded" >&2
    local ms
    ms=$(pace "$setup")
    printf '%-8s minimum %6d ms (start 100, write %d, expand %d with %d half-steps, removal 100+%d)  measured %6d ms  ratio %.3f\n' \
        "$name" "$least" "$whole" "$expand" "$halfsteps" "$whole" "$ms" "$(awk -v a="$ms" -v b="$least" 'BEGIN{print a/b}')"
}

"$harness" prefix "$template"
report sample "$sample" $(stat -c %s "$build/uninstaller/Quodgone.exe" \
    "$build/product/pellomark/program/Quodpost.exe" "$root/product/pellomark/help.txt" \
    "$root/product/pellomark/read_me.txt")
build_bulk
report 50MiB "$out/bulk/setup.exe" $(stat -c %s "$build/uninstaller/Quodgone.exe" \
    "$out/bulk/Bulkdata.bin" "$root/product/pellomark/help.txt" "$root/product/pellomark/read_me.txt")
