#!/usr/bin/env bash
# The picker's poll and the target read: bench_inspect under Wine on a fresh 1920x1080x24 display.
#   bench/inspect.sh [build folder, default build/windows] [runs, default 2000]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_inspect.exe
runs=${2:-2000}
wine "$build/bench/bench_inspect.exe" "$runs" > "$out/bench.txt" 2>/dev/null ||
  { echo "bench_inspect failed" >&2; cat "$out/bench.txt"; exit 1; }
field() { field_of "$out/bench.txt" "$1"; }

print_machine "$out/bench.txt"
echo "runs: $(field runs), medians in microseconds"
echo "Track, same window under the pointer:   $(field track_unchanged_us_median)"
echo "Track, another window (frames + event): $(field track_changed_us_median)   ($(field changes_seen) changes seen)"
echo "SetWnd, top-level window:               $(field setwnd_toplevel_us_median)"
echo "SetWnd, control with a font:            $(field setwnd_control_with_font_us_median)"
