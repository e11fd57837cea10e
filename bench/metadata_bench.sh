#!/usr/bin/env bash
# Names from metadata over 10,000 photos and 10,000 songs that it makes itself:
# quorvan-cli preview against exiftool's dry run (TestName) and, for photos,
# against exiv2 printing the same dates; the names must agree.
# Usage: metadata_bench.sh [BUILD_DIR]   (COUNT=N for another size)
set -euo pipefail
build=${1:-"$(dirname "$0")/../build"}
cli="$build/bin/quorvan-cli"
make_media="$build/bin/quorvan-make-media"
count=${COUNT:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QUORVAN_STATE_DIR="$work/state"

seconds() {  # wall-clock seconds of a command, its output to a file
    local out=$1
    shift
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >"$out" 2>/dev/null || true
    t1=$(date +%s.%N)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

best() {  # best of three
    local best="" t
    for _ in 1 2 3; do
        t=$(seconds "$@")
        best=$(awk -v t="$t" -v b="$best" 'BEGIN { if (b == "" || t < b) b = t; print b }')
    done
    echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

# Our new base names, and exiftool's, one per line, sorted.
ours() { cut -f2 "$1" | sed 's|.*/||' | sort; }
theirs() { sed -n "s|.* --> '\(.*\)'$|\1|p" "$1" | sed 's|.*/||' | sort; }

mkdir "$work/photos" "$work/songs"
"$make_media" photos "$work/photos" "$count"
"$make_media" songs "$work/songs" "$count"

echo "photos:         $count, {taken:%Y-%m-%d %H.%M.%S}"
q=$(best "$work/q.txt" "$cli" preview --set UseTemplate=Yes \
    --set 'Template={taken:%Y-%m-%d %H.%M.%S}' "$work/photos")
e=$(seconds "$work/e.txt" exiftool -q -d '%Y-%m-%d %H.%M.%S' '-TestName<${DateTimeOriginal}.%e' \
    "$work/photos")
x=$(best "$work/x.txt" sh -c 'exiv2 -q -g Exif.Photo.DateTimeOriginal -Pv "$1"/*' sh "$work/photos")
cmp -s <(ours "$work/q.txt") <(theirs "$work/e.txt") && same=yes || same=NO
echo "quorvan-cli:    $q s"
echo "exiftool:       $e s   ratio $(ratio "$e" "$q") (goal at least 50)   same names: $same"
echo "exiv2:          $x s   ratio $(ratio "$q" "$x") (goal at most 2)"
if [ -x /usr/bin/time ]; then
    peak=$(/usr/bin/time -f %M "$cli" preview --set UseTemplate=Yes \
        --set 'Template={taken:%Y-%m-%d %H.%M.%S}' "$work/photos" 2>&1 >/dev/null | tail -1)
    echo "peak memory:    $((peak / 1024)) MB (goal under 100)"
fi

echo "songs:          $count, {artist} - {title}"
q=$(best "$work/q.txt" "$cli" preview --set UseTemplate=Yes --set 'Template={artist} - {title}' \
    "$work/songs")
e=$(seconds "$work/e.txt" exiftool -q -ext mp3 '-TestName<${Artist} - ${Title}.%e' "$work/songs")
cmp -s <(ours "$work/q.txt") <(theirs "$work/e.txt") && same=yes || same=NO
echo "quorvan-cli:    $q s"
echo "exiftool:       $e s   ratio $(ratio "$e" "$q") (goal at least 30)   same names: $same"
