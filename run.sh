#!/usr/bin/env bash
# Set-up, build and start the program: ./run.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVAN_TESTS=OFF -DQUORVAN_BENCH=OFF
if [ -x build/bin/quorvan ]; then
    exec build/bin/quorvan "$@"
fi
# Until the window exists, the command line is the program.
build/bin/quorvan-cli --help
if [ $# -gt 0 ]; then
    exec build/bin/quorvan-cli preview "$1"
fi
