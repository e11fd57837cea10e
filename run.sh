#!/usr/bin/env bash
# Set-up, build and start the program: ./run.sh [--no-splash] [--] [FOLDER]
set -euo pipefail
# Options go to the program as they are; a relative FOLDER means the caller's
# folder, not this one.
options=()
args=()
ended=0
for arg in "$@"; do
    if ((!ended)) && [[ $arg == -- ]]; then
        ended=1
    elif ((!ended)) && [[ $arg == -* ]]; then
        options+=("$arg")
    else
        ended=1
        if [ -e "$arg" ]; then
            arg=$(realpath -- "$arg")
        fi
        args+=("$arg")
    fi
done
cd "$(dirname "$0")"

scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVAN_GUI=ON -DQUORVAN_TESTS=OFF \
    -DQUORVAN_BENCH=OFF
exec build/bin/quorvan "${options[@]}" -- "${args[@]}"
