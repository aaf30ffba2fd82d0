#!/usr/bin/env bash
# Start-up to window shown (process start included) and resident memory, over several runs.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]; under a display, or with QT_QPA_PLATFORM=offscreen.
set -euo pipefail
build=${1:-build}
runs=${2:-10}
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    out=$("$build/bench/max2870_startup")
    shown=$(sed -n 's/^shown_epoch_ns //p' <<<"$out")
    rss=$(sed -n 's/^VmRSS: *//p' <<<"$out")
    echo "start_to_shown_ms $(((shown - start) / 1000000)) rss $rss"
done
