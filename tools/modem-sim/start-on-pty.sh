#!/usr/bin/env bash
# Starts the simulated modem on one end of a new socat pty pair and leaves
# both running in the background.
#
#   tools/modem-sim/start-on-pty.sh DIR [modem-sim options...]
#
# DIR (created when missing) receives the pty links DIR/modem and DIR/line,
# the simulator's log DIR/modem.log and the process ids in DIR/socat.pid and
# DIR/modem-sim.pid. The program reaches the modem as COM2 with
#   KOVA_COM2="$DIR/line" scripts/run.sh
# Stop both with:
#   kill "$(cat DIR/modem-sim.pid)" "$(cat DIR/socat.pid)"
# MODEM_SIM names the simulator binary (default: build/run/tools/modem-sim/modem-sim).
set -euo pipefail

if [ $# -lt 1 ] || [ "$1" = "--help" ]; then
    sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
fi
dir="$1"
shift
root="$(cd "$(dirname "$0")/../.." && pwd)"
sim="${MODEM_SIM:-$root/build/run/tools/modem-sim/modem-sim}"
[ -x "$sim" ] || { echo "start-on-pty: no simulator at $sim (build first)" >&2; exit 1; }

mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
rm -f "$dir/modem" "$dir/line" "$dir/modem.log"

socat pty,raw,echo=0,link="$dir/modem" pty,raw,echo=0,link="$dir/line" 2>"$dir/socat.err" &
echo $! >"$dir/socat.pid"
for _ in $(seq 100); do
    [ -e "$dir/modem" ] && [ -e "$dir/line" ] && break
    sleep 0.05
done
[ -e "$dir/line" ] || { echo "start-on-pty: socat did not create the links" >&2; kill "$(cat "$dir/socat.pid")"; exit 1; }

"$sim" --device "$dir/modem" --log "$dir/modem.log" "$@" 2>"$dir/modem-sim.err" &
echo $! >"$dir/modem-sim.pid"
for _ in $(seq 100); do
    grep -q '^ready' "$dir/modem.log" 2>/dev/null && break
    sleep 0.05
done
if ! grep -q '^ready' "$dir/modem.log" 2>/dev/null; then
    echo "start-on-pty: the simulator did not start:" >&2
    cat "$dir/modem-sim.err" >&2
    kill "$(cat "$dir/socat.pid")" 2>/dev/null || true
    exit 1
fi
echo "KOVA_COM2=$dir/line"
