#!/usr/bin/env bash
# Builds the program and every test in two build types (optimised, and with
# address and undefined-behaviour sanitizers) and runs all the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test

jobs="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
status=0
for type in RelWithDebInfo Asan; do
    dir="build/${type,,}"
    echo "=== build ${type}"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
    cmake --build "$dir" -j "$jobs"
    echo "=== test ${type}"
    if ! ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600; then
        status=1
    fi
done
exit $status
