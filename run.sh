#!/usr/bin/env bash
# Set-up, build and start the program: ./run.sh [FOLDER]
set -euo pipefail
# A relative FOLDER means the caller's folder, not this one.
args=()
for arg in "$@"; do
    if [ -e "$arg" ]; then
        arg=$(realpath -- "$arg")
    fi
    args+=("$arg")
done
cd "$(dirname "$0")"

scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVAN_GUI=ON -DQUORVAN_TESTS=OFF \
    -DQUORVAN_BENCH=OFF
exec build/bin/quorvan -- "${args[@]}"
