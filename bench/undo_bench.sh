#!/usr/bin/env bash
# A journaled run of 1,000,000 renames by quorvan-cli run, then its undo by
# quorvan-cli undo: the peak memory of each and the undo's time as a ratio to
# the run's, measured in the same go. Goals: the undo's peak memory at most
# 150 MB, its time at most 1.5 times the run's.
# Usage: undo_bench.sh [BUILD_DIR]   (COUNT=N for another number of files)
set -euo pipefail
build=$(cd "${1:-"$(dirname "$0")/../build"}" && pwd)
cli="$build/bin/quorvan-cli"
count=${COUNT:-1000000}
work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/quorvan-undo-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QUORVAN_STATE_DIR="$work/state"

mkdir "$work/files"
(cd "$work/files" && seq -f "file_%07g.dat" 1 "$count" | xargs touch)
sync

# Wall-clock seconds and peak resident set (kB) of a command, as "S KB".
measure() {
    local t0 t1 status=0
    t0=$(date +%s.%N)
    /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || status=$?
    t1=$(date +%s.%N)
    if [ "$status" -ne 0 ]; then
        echo "failed ($status): $*" >&2
        cat "$work/stderr" >&2
        exit 1
    fi
    awk -v a="$t0" -v b="$t1" -v kb="$(tail -n 1 "$work/time")" 'BEGIN { printf "%.2f %d\n", b - a, kb }'
}

read -r run_s run_kb < <(measure "$cli" run --set AddPrefix=Yes --set Prefix=new_ "$work/files")
renamed=$(find "$work/files" -name 'new_*' | wc -l)
journal=$(du -m "$work/state/history" | tail -n 1 | cut -f 1)
read -r undo_s undo_kb < <(measure "$cli" undo)
back=$(find "$work/files" -name 'file_*' | wc -l)

echo "== $count files: run and undo"
echo "run:  $run_s s, peak $((run_kb / 1024)) MB ($renamed renamed, journal $journal MB)"
echo "undo: $undo_s s, peak $((undo_kb / 1024)) MB ($back back)"
awk -v u="$undo_s" -v r="$run_s" -v m="$undo_kb" 'BEGIN {
    printf "undo/run time ratio %.2f (goal at most 1.5), undo peak %d MB (goal at most 150)\n",
        u / r, m / 1024 }'
