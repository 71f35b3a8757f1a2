#!/usr/bin/env bash
# A short, fixed-length run of one fuzz target from its seed corpus; prints
# the executions and the corpus size, and fails on any crash or report.
# usage: run-fuzzer.sh <fuzzer> <seed corpus> <work folder> <runs> <max length> [options...]
# (any further options, such as -dict=FILE, go to the fuzzer)
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 runs=$4 max_len=$5
shift 5
name=$(basename "$fuzzer")
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp -r "$seeds"/. "$work/corpus/" 2>/dev/null || true
log="$work/log.txt"
# A target that needs files of its own makes them in the folder it runs in.
cd "$work"
if ! "$fuzzer" -runs="$runs" -seed=1 -max_len="$max_len" -rss_limit_mb=2048 \
        -artifact_prefix="$work/artifacts/" "$@" "$work/corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name: FAILED; the input that failed is in $work/artifacts/"
    exit 1
fi
executions=$(grep -oE 'Done [0-9]+ runs' "$log" | grep -oE '[0-9]+' || echo "?")
files=$(find "$work/corpus" -type f | wc -l)
bytes=$(du -sb "$work/corpus" | cut -f1)
seeds_count=$(find "$seeds" -type f | wc -l)
echo "fuzz: $name: $executions executions, corpus $files inputs ($bytes bytes) from $seeds_count seeds"
