#!/usr/bin/env bash
# The planner's sweep rate (one process, CSV to /dev/null) beside the rate of one planner
# process per step, and max2870-send's sweep timing and processor share over a pseudo-terminal
# against the bound lines x gap + steps x dwell.
# Usage: bench/tools_report.sh [BUILD_DIR] [SWEEP_STEPS]   (after ./test)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
steps=${2:-1000000}
plan="$build/tools/max2870-plan/max2870-plan"
send="$build/tools/max2870-send/max2870-send"
sim="$build/tools/max2870-sim/max2870-sim"
echo "== machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

stop=$(awk -v n="$steps" 'BEGIN { printf "%.3f", 3000 + (n - 1) * 0.001 }')
for run in 1 2 3; do
    cpu=$( { /usr/bin/time -f "%e %U %S" "$plan" --sweep 3000 "$stop" 0.001 >/dev/null; } 2>&1)
    awk -v n="$steps" -v c="$cpu" 'BEGIN { split(c, t, " ");
        printf "sweep in one process: %d steps in %.3f s wall, %.0f steps/s (CPU %.3f s, %.0f steps per CPU second)\n",
               n, t[1], n / t[1], t[2] + t[3], n / (t[2] + t[3]) }'
done
start=$(date +%s.%N)
for i in $(seq 0 199); do "$plan" --fout "30$i" --json >/dev/null; done
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" \
    'BEGIN { printf "one process per step: 200 steps in %.3f s, %.0f steps/s\n", e - s, 200 / (e - s) }'

# A hop list of 100 MB (about 8.3 million values) is read as a stream: resident memory stays
# far below the list's size. The sender checks the whole file before it opens the port.
list=$(mktemp)
awk 'BEGIN { srand(1); for (i = 0; i < 8333334; ++i) printf "%.6f\n", 3000 + 3000 * rand() }' >"$list"
resident() { # label, command...: the largest resident set and the wall time
    local label=$1 log
    log=$(mktemp)
    shift
    /usr/bin/time -o "$log" -f "%M %e" "$@" >/dev/null 2>&1 || true
    awk -v l="$label" '{ printf "%s: max resident %d KB (%.1f MB) in %.1f s\n", l, $1, $1 / 1024, $2 }' \
        <(tail -1 "$log")
    rm -f "$log"
}
resident "planner, 100 MB list" "$plan" --list "$list" --strict
resident "sender, check of a 100 MB list before the port opens" "$send" /dev/nonexistent --list "$list"
rm -f "$list"

sim_out=$(mktemp)
"$sim" >"$sim_out" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; rm -f "$sim_out"' EXIT
for _ in $(seq 50); do [ -s "$sim_out" ] && break; sleep 0.1; done
port=$(head -1 "$sim_out")
# label, sweep arguments, gap, dwell
timed() {
    local label=$1 gap=$3 dwell=$4
    local log
    log=$(mktemp)
    # shellcheck disable=SC2086
    /usr/bin/time -f "cpu %U %S wall %e" "$send" "$port" $2 --gap "$gap" --dwell "$dwell" \
        2>"$log" >/dev/null
    local lines seconds cpu
    lines=$(grep -cE '^(R[0-9A-F]{8}|W|INIT)  ' "$log")
    seconds=$(sed -n 's/^max2870-send: [0-9]* lines in \([0-9.]*\) s$/\1/p' "$log")
    cpu=$(sed -n 's/^cpu \([0-9.]*\) \([0-9.]*\) wall \([0-9.]*\)$/\1 \2 \3/p' "$log")
    awk -v l="$label" -v n="$lines" -v t="$seconds" -v g="$gap" -v d="$dwell" -v k="$5" \
        -v c="$cpu" 'BEGIN { split(c, u, " "); bound = n * g + k * d;
            printf "%s: %d lines, %d steps in %.4f s; bound %.4f s x 1.02 = %.4f s (%.4f x); CPU %.3f s of %.2f s wall (%.2f %%)\n",
                   l, n, k, t, bound, bound * 1.02, t / bound, u[1] + u[2], u[3], 100 * (u[1] + u[2]) / u[3] }'
    rm -f "$log"
}
timed "one set, default gap" "--odiv 1" 0.2 0 1
timed "sweep 3000..3010 by 1, default gap" "--sweep 3000 3010 1" 0.2 0 11
timed "sweep 3000..3010 by 1, gap 0.05, dwell 0.1" "--sweep 3000 3010 1" 0.05 0.1 11
timed "sweep 3000..3100 by 1, smallest gap" "--sweep 3000 3100 1" 0.0126 0 101
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
echo "simulator: $(tail -1 "$sim_out")"
