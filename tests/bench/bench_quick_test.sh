#!/usr/bin/env bash
# The benchmark harness works: a quick run of scripts/bench.sh over this
# build prints every figure of its table and writes each one, with a number,
# to its JSON file, with the machine it ran on. Nothing about the figures'
# size is checked.
#
#   tests/bench/bench_quick_test.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src="$1"
build="$2"
out="$(mktemp -d "${TMPDIR:-/tmp}/kova-bench-test.XXXXXX")"
trap 'rm -rf "$out"' EXIT

if ! bash "$src/scripts/bench.sh" --quick --build "$build" --no-build --json "$out/figures.json" \
        >"$out/table" 2>"$out/log"; then
    echo "bench.sh failed:"; cat "$out/log" "$out/table"; exit 1
fi
cat "$out/table"
status=0
fail() { echo "FAIL: $*"; status=1; }

number='-?[0-9]+(\.[0-9]+)?'
# Table rows: label, then the program's figure and the anchor's.
rows=(
    "connect at 9600, ms|$number \($number\.\.$number\) \| floor $number \(wire $number \+ 10/reply\); master $number \| $number x floor"
    "master connect vs wire|- \| $number \($number\.\.$number\) \| $number x wire"
    "status polls per second|$number \($number\.\.$number\) \| settle-limited $number; wire $number; master $number \| $number x settle-limited"
    "CPU per poll online, us|$number \($number\.\.$number\) \| master $number \($number\.\.$number\) \| $number x master"
    "CPU online, % of a core|$number \($number\.\.$number\)"
    "CPU idle \(not connected\), % of a core|$number"
    "start-up to main window, ms|$number \($number\.\.$number\) \| bare Qt window $number \($number\.\.$number\) \| $number x bare"
    "peak RSS, MB|$number \($number\.\.$number\) \| bare Qt window $number \| $number x bare"
    "check of 9 forms with proof, ms|$number"
    "opening Phase Protections, us|$number"
    "engine PollTransaction, ns|$number"
    "engine ReplyCheckSetpointBlock, ns|$number"
    "engine DecodeStatusBlock, ns|$number"
    "engine DecodeValueBlock, ns|$number"
    "engine CRC16ReadFrame, ns|$number"
)
for row in "${rows[@]}"; do
    label="${row%%|*}"
    figures="${row#*|}"
    # Columns are padded: squeeze the blanks around the bars first.
    if ! sed -E 's/ +\| +/ | /g; s/ +$//' "$out/table" | grep -Eq "^$label \| $figures"; then
        fail "no figures in the row '$label'"
    fi
done
grep -Eq "^machine: .+, [0-9]+ cores, load average at start $number $number $number " "$out/table" \
    || fail "no machine line (CPU model, cores, load average) above the table"
grep -q nan "$out/table" && fail "a figure is missing (nan) in the table"

keys=(connect_ms_program connect_ms_master polls_per_s_program polls_per_s_master cpu_us_per_poll_program
      cpu_us_per_poll_master cpu_pct_online_program cpu_pct_idle_program startup_ms_program startup_ms_bare
      rss_mb_program rss_mb_bare engine_ns_PollTransaction engine_ns_DecodeStatusBlock form_check_ms page_open_us)
for k in "${keys[@]}"; do
    grep -Eq "\"$k\": \{\"median\": $number, \"min\": $number, \"max\": $number\}" "$out/figures.json" \
        || fail "no figure $k in the JSON file"
done
for k in cores floor_connect_ms settle_limited_polls_per_s connect_to_floor polls_to_settle_limited \
         cpu_per_poll_to_master startup_to_bare rss_to_bare; do
    grep -Eq "\"$k\": $number" "$out/figures.json" || fail "no $k in the JSON file"
done
if command -v python3 >/dev/null; then
    python3 -m json.tool "$out/figures.json" >/dev/null || fail "the JSON file does not parse"
fi
exit $status
