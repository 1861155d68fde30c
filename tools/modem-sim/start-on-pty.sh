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
# shellcheck source=../sim-on-pty.sh
. "$root/tools/sim-on-pty.sh"
start_sim_on_pty "$dir" modem modem-sim "${MODEM_SIM:-$root/build/run/tools/modem-sim/modem-sim}" modem.log KOVA_COM2 "$@"
