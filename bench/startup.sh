#!/usr/bin/env bash
# Start-up to window shown (process start included) and resident memory of the panel, side by
# side with an empty window of the same size that probes the serial ports alike, taken in turn
# so that both see the same machine. Prints every run, then the medians and their ratio.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]; under a display, or with QT_QPA_PLATFORM=offscreen.
set -euo pipefail
build=${1:-build}
runs=${2:-10}

# Prints "<ms from process start to window shown> <VmRSS kB> <phases within main>" for one run.
run_once() {
    local start out shown
    start=$(date +%s%N)
    out=$("$1")
    shown=$(sed -n 's/^shown_epoch_ns //p' <<<"$out")
    echo "$(((shown - start) / 1000000)) $(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\).*/\1/p' <<<"$out")" \
        "$(sed -n 's/^phases_ms //p; s/^main_to_shown_ms /exposed /p' <<<"$out" | tr '\n' ' ')"
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

panel=() bare=()
for _ in $(seq "$runs"); do
    read -r p prss pphases < <(run_once "$build/bench/max2870_startup")
    read -r b brss bphases < <(run_once "$build/bench/max2870_startup_bare")
    echo "panel ${p} ms, rss ${prss} kB (in main: ${pphases})"
    echo "bare  ${b} ms, rss ${brss} kB (in main: ${bphases})"
    panel+=("$p") bare+=("$b")
done
pm=$(printf '%s\n' "${panel[@]}" | median)
bm=$(printf '%s\n' "${bare[@]}" | median)
echo "median start_to_shown_ms panel $pm bare $bm ratio $(awk -v p="$pm" -v b="$bm" 'BEGIN {printf "%.2f", p / b}')"
