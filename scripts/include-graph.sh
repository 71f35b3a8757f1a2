#!/usr/bin/env bash
# Prints the folder-level include graph of the installer, the uninstaller and
# the tools from their #include lines, one "from -> to" edge a line, and
# exits non-zero when an edge runs against the layering:
#   manifest <- platform <- shell, pages (and shell, pages never both ways);
#   the uninstaller takes from manifest and platform, the tools from
#   manifest and the resource ids.
set -euo pipefail
cd "$(dirname "$0")/.."

# What each folder may include besides itself.
declare -A allowed=(
    [manifest]=""
    [platform]="manifest"
    [pages]="manifest platform resources"
    [shell]="manifest platform resources pages"
    [uninstaller]="manifest platform"
    [tools]="manifest resources"
)

edges=$(git ls-files manifest platform shell pages uninstaller tools |
    grep -E '\.(h|cpp)$' | grep -v '/tests/' |
    while read -r file; do
        from=${file%%/*}
        dir=$(dirname "$file")
        sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" |
            while read -r target; do
                # Beside the file, or from the top of the tree.
                if [[ -e $dir/$target ]]; then
                    to=$(realpath -m --relative-to=. "$dir/$target")
                else
                    to=$target
                fi
                to=${to%%/*}
                [[ $to != "$from" && -d $to ]] && echo "$from -> $to"
            done
    done | sort | uniq -c | awk '{print $2, $3, $4, "(" $1 ")"}')

status=0
while read -r from arrow to count; do
    [[ -n $from ]] || continue
    mark=""
    if [[ " ${allowed[$from]-} " != *" $to "* ]]; then
        mark="  <- against the layering"
        status=1
    fi
    echo "$from $arrow $to $count$mark"
done <<< "$edges"
exit $status
