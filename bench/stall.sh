#!/usr/bin/env bash
# The interface's longest wait during a levelled task over 5,000 windows: skimlet.exe with one task line (pLevels=1,
# under a top window of 5,000 children, naming a control that is not there) and bench_stall timing WM_NULL round trips
# to its main window every 10 ms while the pointer moves over it, under Wine on a fresh 1920x1080x24 display. The same
# with the task at level 0 (one FindWindowEx a turn) for comparison.
#   bench/stall.sh [build folder, default build/windows] [seconds, default 20]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_stall.exe bin/skimlet.exe
seconds=${2:-20}
cp "$build/bin/skimlet.exe" "$out/skimlet.exe"

echo "round trips of WM_NULL to the main window every 10 ms for $seconds s, in milliseconds"
for levels in 1 0; do
  printf 'Name=Target,Class=BenchStallTarget,pName=stall top,pClass=BenchStallNode,pLevels=%s\r\n' "$levels" \
    > "$out/skimlet.ini"
  wine "$build/bench/bench_stall.exe" "$(winepath -w "$out/skimlet.exe")" "$seconds" > "$out/bench.txt" 2>/dev/null ||
    { echo "bench_stall failed" >&2; tr -d '\r' < "$out/bench.txt" >&2; exit 1; }
  field() { field_of "$out/bench.txt" "$1"; }
  [ "$levels" = 1 ] && print_machine "$out/bench.txt"
  echo "pLevels=$levels over $(field windows) windows: $(field trips) round trips, median $(field median_ms)," \
    "95th percentile $(field p95_ms), longest $(field max_ms)"
done
