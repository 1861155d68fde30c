#!/usr/bin/env bash
# Builds the program and every test in two build types (optimised, and with
# address and undefined-behaviour sanitizers) and runs all the tests. The
# optimised build's tests run a second time under the German locale (a
# decimal comma): the program works the same in every locale.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test

jobs="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
status=0

# build TYPE: configures and builds build/<type in lower case>.
build() {
    echo "=== build $1"
    cmake -S . -B "build/${1,,}" -G Ninja -DCMAKE_BUILD_TYPE="$1" >/dev/null
    cmake --build "build/${1,,}" -j "$jobs"
}

# run_tests DIR: every test of that build; a failure fails the script.
run_tests() {
    echo "=== test $1${LC_ALL:+ under LC_ALL=$LC_ALL}"
    ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout 600 || status=1
}

build RelWithDebInfo
run_tests build/relwithdebinfo
LC_ALL=de_DE.UTF-8 run_tests build/relwithdebinfo
build Asan
run_tests build/asan
exit $status
