#!/usr/bin/env bash
# Set-up, build and every test: the normal build, then a sanitizer build of the
# core and command line without Qt (which also proves the core needs no Qt).
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup.sh --tests
# The options are given in full: ./run.sh builds the same folder without tests.
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVAN_GUI=ON -DQUORVAN_TESTS=ON \
    -DQUORVAN_BENCH=ON
(cd build && ctest --output-on-failure --no-tests=error -j "$(nproc)")

# A short run of every fuzz target from its seed corpus (clang, no Qt).
scripts/fuzz.sh --runs 10000

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DQUORVAN_SANITIZE=ON -DQUORVAN_GUI=OFF \
    -DQUORVAN_TESTS=ON -DQUORVAN_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure --no-tests=error -j "$(nproc)")
