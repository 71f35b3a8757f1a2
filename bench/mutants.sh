#!/usr/bin/env bash
# Measures what the native tests catch: applies each mutant of
# bench/mutants.list, one at a time, to a copy of the tree, rebuilds, runs
# the native tests (under the sanitizers) and prints whether some test killed it. The tree itself
# is never touched.
#
#   bench/mutants.sh [list] [work folder]
#
# Prints one line per mutant and a summary line:
#   mutants: K of N killed (S survived, C did not compile, T stale)
# A stale mutant's text is no longer in its file: mend the list.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
list=$(realpath "${1:-$root/bench/mutants.list}")
work=${2:-$root/build/mutants}

rm -rf "$work"
mkdir -p "$work/src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 tar -cf - --) |
    tar -xf - -C "$work/src"
# The test command runs the unit tests under the sanitizers too, so an
# overrun that only they report counts as caught.
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all"
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_C_FLAGS="$sanitize" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$work/build" -j2 >"$work/build.log" 2>&1 ||
    { echo "mutants: the unmutated tree does not build (see $work/build.log)" >&2; exit 2; }
# The style check is left out: a mutant is caught by a test, not by its layout.
tests() { ctest --test-dir "$work/build" -LE style -j2 --stop-on-failure --timeout 300 >"$work/test.log" 2>&1; }
tests || { echo "mutants: the unmutated tree fails its tests (see $work/test.log)" >&2; exit 2; }

# mutate <file> <from> <to>: 0 applied, 1 stale (the text is not there once)
mutate() {
    python3 - "$@" <<'PY'
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="latin-1").read()
if text.count(old) != 1:
    sys.exit(1)
open(path, "w", encoding="latin-1").write(text.replace(old, new))
PY
}

killed=0 survived=0 broken=0 stale=0 total=0
try() { # try <file> <from> <to>
    total=$((total + 1))
    local file="$work/src/$1" label="$1: ${2%%$'\n'*}"
    label=${label//$'\t'/ }
    cp "$file" "$work/original"
    if ! mutate "$file" "$2" "$3"; then
        stale=$((stale + 1)); echo "stale     $label"; return
    fi
    if ! cmake --build "$work/build" -j2 >"$work/mutant.log" 2>&1; then
        broken=$((broken + 1)); echo "no build  $label"
    elif tests; then
        survived=$((survived + 1)); echo "SURVIVED  $label"
    else
        killed=$((killed + 1)); echo "killed    $label"
    fi
    cp "$work/original" "$file"
}

file="" from="" to="" part=""
flush() {
    [[ -n $file ]] && try "$file" "$from" "$to"
    file="" from="" to="" part=""
}
while IFS= read -r -u 3 line || [[ -n $line ]]; do
    case $line in
        '#'*) ;;
        '@ '*) flush; file=${line#@ } ;;
        '- '*) from=${line#- }; part=from ;;
        '+ '*) to=${line#+ }; part=to ;;
        '| '*) if [[ $part == from ]]; then from+=$'\n'${line#| }; else to+=$'\n'${line#| }; fi ;;
        '') ;;
        *) echo "mutants: cannot read the line: $line" >&2; exit 2 ;;
    esac
done 3<"$list"
flush
cmake --build "$work/build" -j2 >/dev/null 2>&1 || true
echo "mutants: $killed of $total killed ($survived survived, $broken did not compile, $stale stale)"
