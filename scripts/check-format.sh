#!/usr/bin/env bash
# Checks the code against .clang-format: prints each file that clang-format
# would change and exits 1 when there is any. Covers every C and C++ file
# in the tree, tests included.
set -euo pipefail
cd "$(dirname "$0")/.."

covered() {
    git ls-files | grep -E '\.(c|cc|cpp|h|hpp)$'
}

if ! command -v clang-format > /dev/null; then
    echo "check-format: clang-format is missing (scripts/setup.sh installs it)" >&2
    exit 1
fi

# One clang-format over every file; each difference is reported as
# "file:line:column: error: code should be clang-formatted".
mapfile -t files < <(covered)
if [[ ${#files[@]} -eq 0 ]]; then
    echo "check-format: no files to check (it reads the list from git)" >&2
    exit 1
fi
report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1) && exit 0
offending=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*/\1/p' <<< "$report" | sort -u)
if [[ -z $offending ]]; then
    echo "$report" >&2
    exit 1
fi
echo "$offending"
echo "check-format: the files above differ from .clang-format" >&2
exit 1
