#!/usr/bin/env bash
# Builds the fuzz targets into build-fuzz/ and runs them one after another:
#   scripts/fuzz.sh [SECONDS | --runs N] [TARGET...]
# SECONDS (default 60) is the time for each target; --runs N runs each target N
# inputs instead. Without TARGETs every target in fuzz/ runs. Each target starts
# from a copy of its seed corpus in fuzz/corpus/, so new inputs stay out of the
# repository; findings land in build-fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVAN_FUZZ_BUILD:-$root/build-fuzz}

limit=(-max_total_time=60)
if [[ $# -gt 0 && $1 == --runs ]]; then
    [[ $# -ge 2 && $2 =~ ^[0-9]+$ ]] || { echo "usage: $0 [SECONDS | --runs N] [TARGET...]" >&2; exit 2; }
    limit=(-runs="$2")
    shift 2
elif [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
    limit=(-max_total_time="$1")
    shift
fi

targets=("$@")
if ((${#targets[@]} == 0)); then
    for source in "$root"/fuzz/*_fuzz.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("${name%_fuzz}")
    done
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVAN_FUZZ=ON -DQUORVAN_GUI=OFF \
    -DQUORVAN_TESTS=OFF -DQUORVAN_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvan-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
findings=$build/findings
mkdir -p "$findings"

failed=()
for target in "${targets[@]}"; do
    corpus=$work/$target
    mkdir -p "$corpus"
    if [[ -d $root/fuzz/corpus/$target ]]; then
        cp -r "$root/fuzz/corpus/$target/." "$corpus/"
    fi
    dict=()
    if [[ -f $root/fuzz/$target.dict ]]; then
        dict=(-dict="$root/fuzz/$target.dict")
    fi
    echo "== $target (${limit[*]})"
    log=$work/$target.log
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/fuzz/$target" "${limit[@]}" "${dict[@]}" -print_final_stats=1 \
        -artifact_prefix="$findings/$target-" "$corpus" >"$log" 2>&1; then
        grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
    else
        tail -n 40 "$log"
        echo "== $target: FINDING (input kept in $findings/)"
        failed+=("$target")
    fi
done

if ((${#failed[@]})); then
    echo "Findings in: ${failed[*]}" >&2
    exit 1
fi
echo "All ${#targets[@]} fuzz targets ran without a finding."
