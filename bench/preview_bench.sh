#!/usr/bin/env bash
# Previews a folder of 100,000 empty files with quorvan-cli and, in the same
# run, lists it with find as the reference. Usage: preview_bench.sh [BUILD_DIR]
set -euo pipefail
build=${1:-"$(dirname "$0")/../build"}
cli="$build/bin/quorvan-cli"
count=${COUNT:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/files"
(cd "$work/files" && seq -f "file_%06g.dat" 1 "$count" | xargs touch)

best() {  # best of three wall-clock times of a command
    local best=""
    for _ in 1 2 3; do
        local t0 t1
        t0=$(date +%s.%N)
        "$@" >/dev/null
        t1=$(date +%s.%N)
        best=$(awk -v a="$t0" -v b="$t1" -v best="$best" \
            'BEGIN { t = b - a; if (best == "" || t < best) best = t; printf "%.3f", best }')
    done
    echo "$best"
}

find_time=$(best find "$work/files" -maxdepth 1 -type f -printf '%p %T@\n')
cli_time=$(best "$cli" preview --set AddPrefix=Yes --set Prefix=new_ "$work/files")
lines=$("$cli" preview --set AddPrefix=Yes --set Prefix=new_ "$work/files" | wc -l)
echo "files:          $lines"
echo "find:           $find_time s"
echo "quorvan-cli:    $cli_time s"
awk -v a="$cli_time" -v b="$find_time" 'BEGIN { printf "ratio:          %.2f (goal at most 2)\n", a / b }'
status_time=$(best "$cli" preview --status --set AddPrefix=Yes --set Prefix=new_ "$work/files")
echo "with --status:  $status_time s"
awk -v a="$status_time" -v b="$cli_time" \
    'BEGIN { printf "ratio:          %.2f to plain preview (goal at most 1.3)\n", a / b }'
