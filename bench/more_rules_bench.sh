#!/usr/bin/env bash
# Previews 100,000 files with the More Rules (a regular expression with
# capture groups, Title Case and transliteration to ASCII) and, in the same
# run, with only a prefix as the reference. One name in ten is Cyrillic or
# accented, so the transliteration has real work. Usage:
# more_rules_bench.sh [BUILD_DIR]
set -euo pipefail
build=${1:-"$(dirname "$0")/../build"}
cli="$build/bin/quorvan-cli"
count=${COUNT:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/files"
awk -v n="$count" 'BEGIN {
    for (i = 1; i <= n; ++i) {
        d = sprintf("2024%02d%02d_%06d", i % 12 + 1, i % 28 + 1, i)
        if (i % 10 == 0) printf "IMG_%s привет мир.jpg\n", d
        else if (i % 10 == 5) printf "IMG_%s crème brûlée.jpg\n", d
        else printf "IMG_%s holiday at the sea.jpg\n", d
    }
}' | (cd "$work/files" && xargs -d '\n' touch)

# Best of five: wall-clock seconds, and processor seconds (user + system),
# which other work on a shared machine disturbs far less.
best() {
    local wall="" cpu="" t
    for _ in 1 2 3 4 5; do
        t=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null; } 2>&1 )
        read -r w u s <<<"$t"
        wall=$(awk -v t="$w" -v b="$wall" 'BEGIN { if (b == "" || t < b) b = t; print b }')
        cpu=$(awk -v t="$u" -v s="$s" -v b="$cpu" 'BEGIN { t += s; if (b == "" || t < b) b = t; print b }')
    done
    echo "$wall $cpu"
}

prefix=(--set AddPrefix=Yes --set Prefix=new_)
rules=(--set RegexReplace=Yes --set 'RegexPattern=^IMG_(\d{4})(\d{2})(\d{2})_(\d+)'
    --set 'RegexReplacement=$1-$2-$3 $4' --set NameCaseStyle=Title --set TransliterateAscii=Yes)
read -r prefix_wall prefix_cpu <<<"$(best "$cli" preview "${prefix[@]}" "$work/files")"
read -r rules_wall rules_cpu <<<"$(best "$cli" preview "${rules[@]}" "$work/files")"
lines=$("$cli" preview "${rules[@]}" "$work/files" | wc -l)
sample=$("$cli" preview "${rules[@]}" "$work/files" | awk -F'\t' '/привет/ && s == "" { s = $2 } END { print s }')
echo "files:          $lines"
echo "sample:         ${sample##*/}"
echo "prefix only:    $prefix_wall s (processor $prefix_cpu s)"
echo "More Rules:     $rules_wall s (processor $rules_cpu s)"
awk -v a="$rules_wall" -v b="$prefix_wall" -v c="$rules_cpu" -v d="$prefix_cpu" \
    'BEGIN { printf "ratio:          %.2f, processor %.2f (goal at most 2)\n", a / b, c / d }'
