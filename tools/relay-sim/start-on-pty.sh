#!/usr/bin/env bash
# Starts the simulated relay on one end of a new socat pty pair and leaves
# both running in the background.
#
#   tools/relay-sim/start-on-pty.sh DIR [relay-sim options...]
#
# DIR (created when missing) receives the pty links DIR/relay and DIR/line,
# the simulator's log, dump and control FIFO, and the process ids in
# DIR/socat.pid and DIR/relay-sim.pid. The program connects to DIR/line, e.g.
#   KOVA_COM1="$DIR/line" build/dev/kova "9600,N,8,1 1 1"
# Stop both with:
#   kill "$(cat DIR/relay-sim.pid)" "$(cat DIR/socat.pid)"
# RELAY_SIM names the simulator binary (default: build/dev/tools/relay-sim/relay-sim).
set -euo pipefail

if [ $# -lt 1 ] || [ "$1" = "--help" ]; then
    sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
dir="$1"
shift
root="$(cd "$(dirname "$0")/../.." && pwd)"
sim="${RELAY_SIM:-$root/build/dev/tools/relay-sim/relay-sim}"
[ -x "$sim" ] || { echo "start-on-pty: no simulator at $sim (build first)" >&2; exit 1; }

mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
rm -f "$dir/relay" "$dir/line" "$dir/sim.log"

socat pty,raw,echo=0,link="$dir/relay" pty,raw,echo=0,link="$dir/line" 2>"$dir/socat.err" &
echo $! >"$dir/socat.pid"
for _ in $(seq 100); do
    [ -e "$dir/relay" ] && [ -e "$dir/line" ] && break
    sleep 0.05
done
[ -e "$dir/line" ] || { echo "start-on-pty: socat did not create the links" >&2; kill "$(cat "$dir/socat.pid")"; exit 1; }

"$sim" --device "$dir/relay" --log "$dir/sim.log" --dump "$dir/sim.dump" --control "$dir/sim.ctl" "$@" \
    2>"$dir/relay-sim.err" &
echo $! >"$dir/relay-sim.pid"
for _ in $(seq 100); do
    grep -q '^ready' "$dir/sim.log" 2>/dev/null && break
    sleep 0.05
done
if ! grep -q '^ready' "$dir/sim.log" 2>/dev/null; then
    echo "start-on-pty: the simulator did not start:" >&2
    cat "$dir/relay-sim.err" >&2
    kill "$(cat "$dir/socat.pid")" 2>/dev/null || true
    exit 1
fi
echo "KOVA_COM1=$dir/line"
