#!/usr/bin/env bash
# Measures the program against the physical limit of its serial line and
# against a plain libmodbus master (tools/master-bench), both talking to the
# simulated relay (tools/relay-sim) on fresh pseudo-terminal pairs with the
# line timing of 9600 baud emulated, and prints one table of figures and
# ratios, headed by the machine it ran on (CPU model, cores, load average
# as the runs start); the figures also go to a JSON file.
#
#   scripts/bench.sh [--quick] [--runs N] [--poll-seconds S] [--json FILE]
#                    [--build DIR] [--no-build]
#
#   a. connect: from the first request byte to the 15th reply, from the
#      simulator's own time stamps; program and master against the floor
#      (the wire time of the fifteen exchanges + the 10 ms settle per reply).
#   b. polling: status polls per second against the settle-limited rate, and
#      CPU time per poll (all threads, /proc/PID/task/*/schedstat) against
#      the master; the program's CPU while idle (not connected).
#   c. start-up: exec to the main window shown (the handshake file of
#      command-line mode) and peak RSS, against a bare Qt Widgets window.
#   d. engine micro-benchmarks (Google Benchmark).
#   e. forms (Google Benchmark): the check of the nine built-in setpoint
#      forms with the proof that runs each page, and opening a page.
#
# Each run starts program, master and bare window in turn; figures are the
# median (min..max) of the runs. --quick: one run, 2 s of polling, for a
# check that everything works (a few seconds once build/bench is built; the
# first build on a clean clone takes minutes). The default is 5 runs of
# 30 s polling (about six minutes). Builds RelWithDebInfo into build/bench
# (KOVA_JOBS limits the parallel jobs) unless --build names a build folder
# (--no-build: use it as it is).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# awk and printf write and read the figures with a decimal point whatever
# the user's locale.
export LC_ALL=C.UTF-8

runs=5
poll_seconds=30
quick=0
json=""
build=""
do_build=1
while [ $# -gt 0 ]; do
    case "$1" in
        --quick) quick=1; runs=1; poll_seconds=2; shift ;;
        --runs) runs="${2:?}"; shift 2 ;;
        --poll-seconds) poll_seconds="${2:?}"; shift 2 ;;
        --json) json="${2:?}"; shift 2 ;;
        --build) build="${2:?}"; shift 2 ;;
        --no-build) do_build=0; shift ;;
        -h|--help) sed -n '2,30p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "bench: unknown option $1" >&2; exit 2 ;;
    esac
done
build="${build:-$root/build/bench}"
if [ "$do_build" = 1 ]; then
    bash "$root/scripts/setup.sh" bench
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVA_TESTS=OFF >/dev/null
    fi
    cmake --build "$build" ${KOVA_JOBS:+-j "$KOVA_JOBS"} --target kova relay-sim master-bench bare-window \
        engine-bench form-bench default_file >/dev/null
fi
json="${json:-$build/bench-results.json}"
kova="$build/kova"
sim="$build/tools/relay-sim/relay-sim"
master="$build/tools/master-bench/master-bench"
bare="$build/bench/bare-window"
engine_bench="$build/bench/engine-bench"
form_bench="$build/bench/form-bench"
for f in "$kova" "$sim" "$master" "$bare" "$engine_bench" "$form_bench" "$build/Default.KOVA2"; do
    [ -e "$f" ] || { echo "bench: $f is missing (build first)" >&2; exit 1; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/kova-bench.XXXXXX")"
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Short waits without a process per wait: a read that times out on a FIFO
# nobody writes to.
mkfifo "$work/never"
exec {never}<>"$work/never"
nap() { read -r -t "$1" -u "$never" _ || true; }

baud=9600
# Register counts of the fifteen connect reads, in the order sent.
connect_counts="4 24 24 25 25 25 26 26 7 21 25 8 21 14 4"
# Wire time of one exchange: request, reply, 3.5-character gap after each,
# 10 bits a character.
floor_ms="$(awk -v c="$connect_counts" -v b=$baud 'BEGIN {
    n = split(c, a, " "); t = 0
    for (i = 1; i <= n; i++) t += (8 + 5 + 2 * a[i] + 7) * 10 * 1000 / b
    printf "%.2f %.2f", t, t + 10 * n }')"
wire_ms="${floor_ms% *}"
floor_ms="${floor_ms#* }"
poll_wire_ms="$(awk -v b=$baud 'BEGIN { printf "%.4f", (8 + 13 + 7) * 10 * 1000 / b }')"
settle_rate="$(awk -v w="$poll_wire_ms" 'BEGIN { printf "%.2f", 1000 / (w + 10) }')"
wire_rate="$(awk -v w="$poll_wire_ms" 'BEGIN { printf "%.2f", 1000 / w }')"

now_ns() { date +%s%N; }

# CPU time in ns of every thread of a process so far.
cpu_ns() {
    local t sum=0 v
    for t in /proc/"$1"/task/*/schedstat; do
        read -r v _ <"$t" 2>/dev/null || continue
        sum=$((sum + v))
    done
    echo "$sum"
}

peak_rss_kb() { awk '/^VmHWM:/ { print $2 }' /proc/"$1"/status; }

# Starts socat and the simulator with line timing in $1; sets sim_pid, socat_pid.
start_line() {
    local d="$1"
    mkdir -p "$d"
    socat pty,raw,echo=0,link="$d/relay" pty,raw,echo=0,link="$d/line" 2>"$d/socat.err" &
    socat_pid=$!
    pids+=("$socat_pid")
    local i
    for i in $(seq 200); do [ -e "$d/line" ] && [ -e "$d/relay" ] && break; nap 0.01; done
    "$sim" --device "$d/relay" --baud $baud --line-timing --log-times --log "$d/sim.log" 2>"$d/sim.err" &
    sim_pid=$!
    pids+=("$sim_pid")
    for i in $(seq 200); do grep -q '^ready' "$d/sim.log" 2>/dev/null && return 0; nap 0.01; done
    echo "bench: the simulator did not start" >&2
    cat "$d/sim.err" >&2
    exit 1
}

stop() {
    local p q keep
    for p in "$@"; do kill "$p" 2>/dev/null || true; done
    for p in "$@"; do wait "$p" 2>/dev/null || true; done
    keep=()
    for q in "${pids[@]}"; do
        for p in "$@"; do [ "$q" = "$p" ] && continue 2; done
        keep+=("$q")
    done
    pids=("${keep[@]}")
}

requests() { grep -c '^req ' "$1" 2>/dev/null || true; }

# Waits until the simulator's log holds $2 requests (bounded by $3 s).
wait_requests() {
    local end=$(( $(date +%s) + $3 ))
    while [ "$(requests "$1")" -lt "$2" ]; do
        [ "$(date +%s)" -lt "$end" ] || return 1
        nap 0.02
    done
}

# From the first request's first byte to the 15th reply, in ms.
connect_ms() {
    awk '/^req / { n++; if (n == 1) t0 = $(NF-1); if (n == 15) { printf "%.2f", ($NF - t0) * 1000; exit } }' "$1"
}

# Status polls (function 4 at 0203) of the log whose reply came between the
# time stamps $2 and $3: "count rate".
polls_between() {
    awk -v a="$2" -v b="$3" '/^req / && / fc 4 addr 0203 / && $NF >= a && $NF <= b {
        n++; if (n == 1) f = $NF; l = $NF }
        END { if (n > 1) printf "%d %.2f", n, (n - 1) / (l - f); else printf "%d 0", n }' "$1"
}

append() { # name value
    printf '%s %s\n' "$1" "$2" >>"$work/figures"
}

program_run() {
    local d="$work/program-$1"
    start_line "$d"
    mkdir -p "$d/app"
    cp "$build/Default.KOVA2" "$d/app/"
    local hs="$d/handshake"
    local t0 t1 pid
    t0=$(now_ns)
    KOVA_APP_DIR="$d/app" KOVA_HANDSHAKE_FILE="$hs" KOVA_COM1="$d/line" QT_QPA_PLATFORM=offscreen \
        "$kova" "9600,N,8,1" 1 1 >"$d/kova.out" 2>&1 &
    pid=$!
    pids+=("$pid")
    while [ ! -s "$hs" ]; do
        kill -0 "$pid" 2>/dev/null || { echo "bench: the program ended at start" >&2; cat "$d/kova.out" >&2; exit 1; }
        nap 0.001
    done
    t1=$(now_ns)
    append startup_ms_program "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", (b - a) / 1e6 }')"
    if ! wait_requests "$d/sim.log" 17 20; then
        echo "bench: the program did not connect" >&2; cat "$d/kova.out" >&2; exit 1
    fi
    append rss_mb_program "$(awk -v k="$(peak_rss_kb "$pid")" 'BEGIN { printf "%.1f", k / 1024 }')"
    append connect_ms_program "$(connect_ms "$d/sim.log")"
    nap 0.5
    local c0 c1 s0 s1
    s0=$(awk '/^req / { t = $NF } END { print t }' "$d/sim.log")
    c0=$(cpu_ns "$pid")
    nap "$poll_seconds"
    c1=$(cpu_ns "$pid")
    s1=$(awk '/^req / { t = $NF } END { print t }' "$d/sim.log")
    local pr
    pr=$(polls_between "$d/sim.log" "$s0" "$s1")
    append polls_per_s_program "${pr#* }"
    append cpu_us_per_poll_program "$(awk -v c=$((c1 - c0)) -v n="${pr% *}" 'BEGIN { printf "%.1f", n ? c / 1000 / n : 0 }')"
    append cpu_pct_online_program "$(awk -v c=$((c1 - c0)) -v a="$s0" -v b="$s1" 'BEGIN { printf "%.3f", (b > a ? c / 1e7 / (b - a) : 0) }')"
    stop "$pid"
    stop "$sim_pid" "$socat_pid"
}

# The program started as a user starts it, nothing connected: its CPU over
# a quiet stretch once it is up.
idle_run() {
    local d="$work/idle-$1"
    mkdir -p "$d/app"
    cp "$build/Default.KOVA2" "$d/app/"
    KOVA_APP_DIR="$d/app" KOVA_HANDSHAKE_FILE="$d/handshake" KOVA_COM1=/nonexistent QT_QPA_PLATFORM=offscreen \
        "$kova" >"$d/kova.out" 2>&1 &
    local pid=$!
    pids+=("$pid")
    nap 5 # past the splash
    local c0 c1 span
    span=$(( poll_seconds < 5 ? poll_seconds : 5 ))
    c0=$(cpu_ns "$pid")
    nap "$span"
    c1=$(cpu_ns "$pid")
    append cpu_pct_idle_program "$(awk -v c=$((c1 - c0)) -v s="$span" 'BEGIN { printf "%.3f", c / 1e7 / s }')"
    stop "$pid"
}

master_run() {
    local d="$work/master-$1"
    start_line "$d"
    "$master" --device "$d/line" --baud $baud --seconds "$poll_seconds" >"$d/master.out" 2>&1 || {
        echo "bench: master-bench failed" >&2; cat "$d/master.out" >&2; exit 1; }
    append connect_ms_master "$(connect_ms "$d/sim.log")"
    append polls_per_s_master "$(awk '$1 == "polls_per_s" { print $2 }' "$d/master.out")"
    append cpu_us_per_poll_master "$(awk '$1 == "cpu_us_per_poll" { print $2 }' "$d/master.out")"
    stop "$sim_pid" "$socat_pid"
}

bare_run() {
    local d="$work/bare-$1"
    mkdir -p "$d"
    local hs="$d/handshake" t0 t1 pid
    t0=$(now_ns)
    KOVA_HANDSHAKE_FILE="$hs" QT_QPA_PLATFORM=offscreen "$bare" >"$d/bare.out" 2>&1 &
    pid=$!
    pids+=("$pid")
    while [ ! -s "$hs" ]; do nap 0.001; done
    t1=$(now_ns)
    append startup_ms_bare "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.2f", (b - a) / 1e6 }')"
    nap 0.3
    append rss_mb_bare "$(awk -v k="$(peak_rss_kb "$pid")" 'BEGIN { printf "%.1f", k / 1024 }')"
    stop "$pid"
}

# The machine, and how busy it is as the runs start (other work on it
# shifts every figure; the ratios less so).
cpu_model="$(awk -F': *' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
load_start="$(cut -d' ' -f1-3 /proc/loadavg)"
machine="${cpu_model:-unknown CPU}, $(nproc) cores, load average at start $load_start (1, 5, 15 min)"

echo "bench: $runs run(s), ${poll_seconds} s of polling each, at $baud baud with line timing" >&2
for i in $(seq "$runs"); do
    echo "bench: run $i" >&2
    program_run "$i"
    master_run "$i"
    bare_run "$i"
done
idle_run 1

# Engine micro-benchmarks: name, ns per iteration.
min_time=0.5
[ "$quick" = 1 ] && min_time=0.01
"$engine_bench" --benchmark_min_time="$min_time" --benchmark_format=csv 2>/dev/null \
    | awk -F, '$1 ~ /^"?BM_/ { gsub(/"/, "", $1); printf "engine_ns_%s %.1f\n", substr($1, 4), $4 }' >>"$work/figures"
# Forms: CPU time of the check of the nine forms (ms) and of one page's opening (us).
"$form_bench" --benchmark_min_time="$min_time" --benchmark_format=csv 2>/dev/null \
    | awk -F, '$1 ~ /^"?BM_CheckNineForms/ { printf "form_check_ms %.2f\n", $4 }
               $1 ~ /^"?BM_OpenPhasePage/ { printf "page_open_us %.1f\n", $4 }' >>"$work/figures"

# median, min, max of one figure
summary() {
    awk -v k="$1" '$1 == k && NF >= 2 { v[++n] = $2 } END {
        if (!n) { print "nan nan nan"; exit }
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
        m = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
        print m, v[1], v[n] }' "$work/figures"
}
med() { set -- $(summary "$1"); echo "$1"; }
range() { set -- $(summary "$1"); printf '%s (%s..%s)' "$1" "$2" "$3"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "nan" }'; }

r_connect=$(ratio "$(med connect_ms_program)" "$floor_ms")
r_connect_m=$(ratio "$(med connect_ms_master)" "$wire_ms")
r_polls=$(ratio "$(med polls_per_s_program)" "$settle_rate")
r_cpu=$(ratio "$(med cpu_us_per_poll_program)" "$(med cpu_us_per_poll_master)")
r_start=$(ratio "$(med startup_ms_program)" "$(med startup_ms_bare)")
r_rss=$(ratio "$(med rss_mb_program)" "$(med rss_mb_bare)")

{
    echo
    echo "KOVA benchmark: $(date -u '+%Y-%m-%d %H:%M UTC'), $runs run(s), median (min..max)"
    echo "machine: $machine"
    printf '%-34s | %-26s | %-44s | %s\n' "measure" "program" "anchor" "ratio"
    printf '%-34s | %-26s | %-44s | %s\n' "connect at 9600, ms" "$(range connect_ms_program)" \
        "floor $floor_ms (wire $wire_ms + 10/reply); master $(med connect_ms_master)" "$r_connect x floor"
    printf '%-34s | %-26s | %-44s | %s\n' "master connect vs wire" "-" "$(range connect_ms_master)" "$r_connect_m x wire"
    printf '%-34s | %-26s | %-44s | %s\n' "status polls per second" "$(range polls_per_s_program)" \
        "settle-limited $settle_rate; wire $wire_rate; master $(med polls_per_s_master)" "$r_polls x settle-limited"
    printf '%-34s | %-26s | %-44s | %s\n' "CPU per poll online, us" "$(range cpu_us_per_poll_program)" \
        "master $(range cpu_us_per_poll_master)" "$r_cpu x master"
    printf '%-34s | %-26s | %-44s | %s\n' "CPU online, % of a core" "$(range cpu_pct_online_program)" "-" "-"
    printf '%-34s | %-26s | %-44s | %s\n' "CPU idle (not connected), % of a core" "$(med cpu_pct_idle_program)" "-" "-"
    printf '%-34s | %-26s | %-44s | %s\n' "start-up to main window, ms" "$(range startup_ms_program)" \
        "bare Qt window $(range startup_ms_bare)" "$r_start x bare"
    printf '%-34s | %-26s | %-44s | %s\n' "peak RSS, MB" "$(range rss_mb_program)" "bare Qt window $(med rss_mb_bare)" "$r_rss x bare"
    printf '%-34s | %-26s | %-44s | %s\n' "check of 9 forms with proof, ms" "$(med form_check_ms)" "-" "-"
    printf '%-34s | %-26s | %-44s | %s\n' "opening Phase Protections, us" "$(med page_open_us)" "-" "-"
    for k in $(awk '$1 ~ /^engine_ns_/ { print $1 }' "$work/figures"); do
        printf '%-34s | %-26s | %-44s | %s\n' "engine ${k#engine_ns_}, ns" "$(med "$k")" "-" "-"
    done
}

# JSON: each figure's median, min and max, and the anchors computed here.
{
    echo "{"
    echo "  \"runs\": $runs, \"poll_seconds\": $poll_seconds, \"baud\": $baud,"
    echo "  \"cpu_model\": \"${cpu_model//\"/}\", \"cores\": $(nproc), \"load_average_at_start\": \"$load_start\","
    echo "  \"floor_connect_ms\": $floor_ms, \"wire_connect_ms\": $wire_ms,"
    echo "  \"settle_limited_polls_per_s\": $settle_rate, \"wire_limited_polls_per_s\": $wire_rate,"
    echo "  \"ratios\": {\"connect_to_floor\": $r_connect, \"polls_to_settle_limited\": $r_polls,"
    echo "    \"cpu_per_poll_to_master\": $r_cpu, \"startup_to_bare\": $r_start, \"rss_to_bare\": $r_rss},"
    echo "  \"figures\": {"
    keys=$(awk '{ print $1 }' "$work/figures" | awk '!seen[$0]++')
    n=$(echo "$keys" | wc -l)
    i=0
    for k in $keys; do
        i=$((i + 1))
        set -- $(summary "$k")
        sep=","
        [ "$i" -eq "$n" ] && sep=""
        echo "    \"$k\": {\"median\": $1, \"min\": $2, \"max\": $3}$sep"
    done
    echo "  }"
    echo "}"
} >"$json"
echo "bench: figures written to $json" >&2
