#!/usr/bin/env bash
# Renames 100,000 empty files in place with a prefix by quorvan-cli run and, in
# the same run, by a bare renameat2 loop and by Debian's perl rename over
# identical folders; then copies 1 GiB in 64 files with quorvan-cli run against
# cp -p. Usage: run_bench.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-"$(dirname "$0")/../build"}" && pwd)
cli="$build/bin/quorvan-cli"
count=${COUNT:-100000}
work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/quorvan-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QUORVAN_STATE_DIR="$work/state"

perl_rename=$(command -v file-rename || command -v rename || true)

make_folder() {
    mkdir "$1"
    (cd "$1" && seq -f "file_%06g.dat" 1 "$count" | xargs touch)
}

seconds() {  # wall-clock seconds of a command
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s.%N)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

best() {  # the smaller of two times, the second possibly empty
    awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'
}

echo "== rename in place, $count files"
# Alternating, best of three each, on a machine whose disk is shared.
loop_time=""
cli_time=""
for _ in 1 2 3; do
    rm -rf "$work/loop" "$work/cli"
    make_folder "$work/loop"
    make_folder "$work/cli"
    sync
    t=$(seconds "$build/bin/rename_loop" "$work/loop" new_)
    loop_time=$(best "$t" "$loop_time")
    t=$(seconds "$cli" run --set AddPrefix=Yes --set Prefix=new_ "$work/cli")
    cli_time=$(best "$t" "$cli_time")
done
renamed=$(find "$work/cli" -name 'new_*' | wc -l)
echo "renameat2 loop: $loop_time s"
echo "quorvan-cli:    $cli_time s ($renamed renamed), ratio $(ratio "$cli_time" "$loop_time") to the loop (goal at most 1.5)"
if [ -n "$perl_rename" ]; then
    make_folder "$work/perl"
    sync
    perl_time=$(seconds sh -c "cd '$work/perl' && find . -maxdepth 1 -type f -print0 | xargs -0 '$perl_rename' 's/^\.\//.\/new_/'")
    echo "perl rename:    $perl_time s, ratio $(ratio "$cli_time" "$perl_time") to perl (goal below 1)"
else
    echo "perl rename:    not installed"
fi
rm -rf "$work/loop" "$work/cli" "$work/perl"

echo "== renumber by one, $count files (every target is another file's name)"
number_folder() {
    rm -rf "$1"
    mkdir "$1"
    (cd "$1" && seq -f "%06g.dat" 1 "$count" | xargs touch)
}
# Alternating, best of three each, on a machine whose disk is shared.
loop_time=""
cli_time=""
bare_time=""
renumber=(run --set TextSeqModifications=Seq --set NumericAlphaSequence=Num --set StartWith=2
    --set DigitCount=6 --set SequencePlacement=Replace)
for _ in 1 2 3; do
    number_folder "$work/loop"
    number_folder "$work/cli"
    number_folder "$work/bare"
    sync
    t=$(seconds "$build/bin/rename_loop" "$work/loop" --renumber "$count")
    loop_time=$(best "$t" "$loop_time")
    t=$(seconds "$cli" "${renumber[@]}" "$work/cli")
    cli_time=$(best "$t" "$cli_time")
    t=$(seconds env QUORVAN_BENCH_NO_JOURNAL=1 "$cli" "${renumber[@]}" "$work/bare")
    bare_time=$(best "$t" "$bare_time")
done
last=$(printf '%06d.dat' $((count + 1)))
[ -e "$work/cli/$last" ] && [ ! -e "$work/cli/000001.dat" ] && echo "every file renumbered"
echo "renameat2 loop: $loop_time s (top down)"
echo "quorvan-cli:    $cli_time s (journaled), ratio $(ratio "$cli_time" "$loop_time") to the loop (goal at most 1.5)"
echo "  no journal:   $bare_time s, ratio $(ratio "$bare_time" "$loop_time") to the loop"
rm -rf "$work/loop" "$work/cli" "$work/bare"

echo "== the run journal, $count files renamed with a prefix"
# Alternating, best of three each: the journal's cost against the same run
# with the journal switched off (for this measurement only), and the undo of
# the journaled run against the run.
journal_on=""
journal_off=""
undo_time=""
for _ in 1 2 3; do
    rm -rf "$work/on" "$work/off"
    make_folder "$work/on"
    make_folder "$work/off"
    sync
    t=$(seconds env QUORVAN_BENCH_NO_JOURNAL=1 "$cli" run --set AddPrefix=Yes --set Prefix=new_ "$work/off")
    journal_off=$(best "$t" "$journal_off")
    t=$(seconds "$cli" run --set AddPrefix=Yes --set Prefix=new_ "$work/on")
    journal_on=$(best "$t" "$journal_on")
    t=$(seconds "$cli" undo)
    undo_time=$(best "$t" "$undo_time")
done
restored=$(find "$work/on" -name 'file_*' | wc -l)
echo "journal off:    $journal_off s"
echo "journal on:     $journal_on s, ratio $(ratio "$journal_on" "$journal_off") (goal at most 1.15)"
echo "undo:           $undo_time s ($restored back), ratio $(ratio "$undo_time" "$journal_on") to the run (goal at most 1.5)"
rm -rf "$work/on" "$work/off"

echo "== copy, 1 GiB in 64 files"
mkdir "$work/src"
for i in $(seq 1 64); do
    head -c 16777216 /dev/urandom >"$work/src/part_$i.bin"
done
# Best of three each, alternating, on a machine whose disk is shared.
cp_time=""
cli_copy_time=""
for _ in 1 2 3; do
    rm -rf "$work/cp" "$work/out"
    sync
    t=$(seconds sh -c "mkdir '$work/cp' && cp -p '$work/src/'*.bin '$work/cp/'")
    cp_time=$(best "$t" "$cp_time")
    sync
    t=$(seconds "$cli" run --set RenameInPlace=No --set "RenameDestFolder=$work/out" "$work/src")
    cli_copy_time=$(best "$t" "$cli_copy_time")
done
sync
echo "cp -p:          $cp_time s"
echo "quorvan-cli:    $cli_copy_time s, ratio $(ratio "$cli_copy_time" "$cp_time") to cp -p (goal at most 1.2)"
cmp -s "$work/src/part_7.bin" "$work/out/part_7.bin" && echo "copies verified"
