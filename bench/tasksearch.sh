#!/usr/bin/env bash
# The levelled task search on generated trees of about 2,000 windows: bench_tasksearch under Wine on a fresh
# 1920x1080x24 display. Prints the machine, then per tree shape and level the nested enumeration's and the single
# walk's median times and their ratio.
#   bench/tasksearch.sh [build folder, default build/windows] [runs, default 5]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_tasksearch.exe
runs=${2:-5}

echo "machine: $(host_cpu), $(nproc) CPUs," \
  "$(uname -sr), $(wine --version 2>/dev/null)"
echo "runs per figure: $runs (median)"
wine "$build/bench/bench_tasksearch.exe" "$runs" 2>/dev/null | tr -d '\r'
