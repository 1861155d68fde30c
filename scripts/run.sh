#!/usr/bin/env bash
# Builds the program and starts it.
#
#   scripts/run.sh [--relay DEVICE] [PROGRAM ARGUMENTS...]
#
# With a relay named (--relay /dev/ttyUSB0, or KOVA_COM1 already set), COM1 is
# that device. With none, a simulated relay (tools/relay-sim) is started on
# one end of a pseudo-terminal pair and COM1 is mapped to the other end, so
# the program can be tried without a relay. PROGRAM ARGUMENTS go to the
# program unchanged (for example the command line "9600,N,8,1" 1 1).
# The build goes to build/run (KOVA_BUILD_DIR overrides it); the tests are
# not built there. Only packages that are missing are installed, so with
# them present nothing here needs root.
set -euo pipefail
cd "$(dirname "$0")/.."

relay=""
args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --relay) relay="${2:?--relay needs a device}"; shift 2 ;;
        --) shift; args+=("$@"); break ;;
        *) args+=("$1"); shift ;;
    esac
done

bash scripts/setup.sh run

build="${KOVA_BUILD_DIR:-build/run}"
# A build folder made here leaves the tests out; one that exists (a test
# build, for instance) keeps its own settings.
if [ ! -f "$build/build.ninja" ]; then
    echo "run: first build, this takes a minute or two"
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVA_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target kova relay-sim modem-sim default_file

work="$(mktemp -d "${TMPDIR:-/tmp}/kova-run.XXXXXX")"
helpers=()
kova_pid=""

cleanup() {
    for pid in "${helpers[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    # The helpers are not children of this shell: wait (bounded) until gone.
    for pid in "${helpers[@]}"; do
        for _ in $(seq 60); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
    done
    rm -rf "$work"
}
trap cleanup EXIT

forward() {
    if [ -n "$kova_pid" ]; then kill -TERM "$kova_pid" 2>/dev/null || true; fi
}
trap forward TERM INT

if [ -n "$relay" ]; then
    export KOVA_COM1="$relay"
elif [ -z "${KOVA_COM1:-}" ]; then
    RELAY_SIM="$build/tools/relay-sim/relay-sim" \
        bash tools/relay-sim/start-on-pty.sh "$work" --address 1 --baud 9600 >/dev/null
    helpers+=("$(cat "$work/relay-sim.pid")" "$(cat "$work/socat.pid")")
    export KOVA_COM1="$work/line"
    echo "run: simulated relay (slave 1, 9600 baud) on COM1 = $KOVA_COM1"
fi

"$build/kova" "${args[@]}" &
kova_pid=$!
status=0
# wait returns early when a forwarded signal arrives; wait again for the end.
while kill -0 "$kova_pid" 2>/dev/null; do
    wait "$kova_pid" && status=0 || status=$?
done
exit "$status"
