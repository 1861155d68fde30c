# Shared by the simulators' start-on-pty.sh: starts a socat pty pair and the
# simulator on one end, both in the background, and waits for its "ready".
#   start_sim_on_pty DIR END NAME BINARY LOG COM [simulator options...]
# END names the simulator's end (DIR/END), DIR/line is the program's end;
# the process ids go to DIR/socat.pid and DIR/NAME.pid, the simulator's
# errors to DIR/NAME.err. Prints COM=DIR/line.
start_sim_on_pty() {
    local dir="$1" end="$2" name="$3" sim="$4" log="$5" com="$6"
    shift 6
    [ -x "$sim" ] || { echo "start-on-pty: no simulator at $sim (build first)" >&2; return 1; }
    mkdir -p "$dir"
    dir="$(cd "$dir" && pwd)"
    rm -f "$dir/$end" "$dir/line" "$dir/$log"

    socat pty,raw,echo=0,link="$dir/$end" pty,raw,echo=0,link="$dir/line" 2>"$dir/socat.err" &
    echo $! >"$dir/socat.pid"
    for _ in $(seq 100); do
        [ -e "$dir/$end" ] && [ -e "$dir/line" ] && break
        sleep 0.05
    done
    [ -e "$dir/line" ] || { echo "start-on-pty: socat did not create the links" >&2; kill "$(cat "$dir/socat.pid")"; return 1; }

    # Options naming files inside DIR are given relative to it.
    local args=()
    for a in "$@"; do args+=("${a//@DIR@/$dir}"); done
    "$sim" --device "$dir/$end" --log "$dir/$log" "${args[@]}" 2>"$dir/$name.err" &
    echo $! >"$dir/$name.pid"
    for _ in $(seq 100); do
        grep -q '^ready' "$dir/$log" 2>/dev/null && break
        sleep 0.05
    done
    if ! grep -q '^ready' "$dir/$log" 2>/dev/null; then
        echo "start-on-pty: the simulator did not start:" >&2
        cat "$dir/$name.err" >&2
        kill "$(cat "$dir/socat.pid")" 2>/dev/null || true
        return 1
    fi
    echo "$com=$dir/line"
}
