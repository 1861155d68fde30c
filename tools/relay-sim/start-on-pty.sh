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
# shellcheck source=../sim-on-pty.sh
. "$root/tools/sim-on-pty.sh"
start_sim_on_pty "$dir" relay relay-sim "${RELAY_SIM:-$root/build/dev/tools/relay-sim/relay-sim}" sim.log KOVA_COM1 --dump @DIR@/sim.dump --control @DIR@/sim.ctl "$@"
