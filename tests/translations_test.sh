#!/bin/sh
# Runs lupdate over the window's sources into copies of the .ts files and
# fails on any text without a finished translation: one added to the sources
# but not translated, or one whose translation was never completed.
# Usage: translations_test.sh LUPDATE TS_DIR LUPDATE_ARGUMENTS...
set -eu
lupdate=$1
tsdir=$2
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
count=0
for ts in "$tsdir"/quorvan_*.ts; do
    copy=$scratch/$(basename "$ts")
    cp "$ts" "$copy"
    "$lupdate" "$@" -ts "$copy" >"$scratch/lupdate.log" 2>&1 || {
        cat "$scratch/lupdate.log" >&2
        exit 1
    }
    count=$((count + 1))
    unfinished=$(grep -c 'type="unfinished"' "$copy" || true)
    if [ "$unfinished" -ne 0 ]; then
        echo "$(basename "$ts"): $unfinished texts without a translation:" >&2
        grep -B 1 'type="unfinished"' "$copy" | grep '<source>' >&2
        failed=1
    fi
    # The sources' texts are the file's texts: nothing new, nothing left over.
    if ! cmp -s "$ts" "$copy"; then
        echo "$(basename "$ts") is not what lupdate makes of the sources:" >&2
        diff "$ts" "$copy" >&2 || true
        failed=1
    fi
done
[ "$count" -ge 2 ] || { echo "only $count translations" >&2; failed=1; }
exit $failed
