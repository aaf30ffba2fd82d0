#!/usr/bin/env bash
# Every figure of the README's performance table in one run on one machine: the core benchmarks,
# keystroke to results, start-up and memory of the window, and the paced transfers with their CPU.
# Usage: bench/report.sh [BUILD_DIR]   (a build with tests and benchmarks, e.g. after ./test)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
echo "== machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== core (Google Benchmark, medians of 5)"
"$build/bench/max2870_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    2>/dev/null | grep median
echo "== keystroke in FoutText to updated results (Qt Test, median of 9)"
"$build/tests/window/panel_typing_bench" -median 9 2>&1 | grep -A1 'RESULT' || true
echo "== start-up to window shown, resident memory (10 runs)"
bench/startup.sh "$build" 10 2>/dev/null
echo "== paced transfers over a pseudo-terminal, CPU of the whole run"
/usr/bin/time -f "cpu_user %U s, cpu_sys %S s, wall %e s" \
    "$build/tests/link/link_transfer_test" pacedCommandsAtFullTiming 2>&1 |
    grep -E 'Set all|Write EE|cpu_user'
echo "== SCPI instrument: round trips with 8 clients beside a bare echo, first serial byte, pacing"
"$build/bench/max2870_scpi_bench"
