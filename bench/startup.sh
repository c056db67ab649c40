#!/usr/bin/env bash
# Start-up time: skimlet.exe beside bench_minimal.exe (the smallest window program, built the same way), each started
# N times under Wine on a fresh 1920x1080x24 display by bench_startup, which times process creation to the first
# visible top-level window. Prints both medians and their ratio.
#   bench/startup.sh [build folder, default build/windows] [runs, default 15]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_startup.exe bench/bench_minimal.exe bin/skimlet.exe
runs=${2:-15}
wine "$build/bench/bench_startup.exe" "$runs" "$(winepath -w "$build/bin/skimlet.exe")" \
  "$(winepath -w "$build/bench/bench_minimal.exe")" > "$out/bench.txt" 2>/dev/null ||
  { echo "bench_startup failed" >&2; tr -d '\r' < "$out/bench.txt" >&2; exit 1; }
field() { field_of "$out/bench.txt" "$1"; }

skimlet_ms=$(field skimlet_ms_median)
minimal_ms=$(field bench_minimal_ms_median)
print_machine "$out/bench.txt"
echo "runs: $(field runs) each, process start to first visible window, medians in milliseconds"
echo "skimlet.exe:       $skimlet_ms    (all: $(field skimlet_ms_all))"
echo "bench_minimal.exe: $minimal_ms    (all: $(field bench_minimal_ms_all))"
echo "ratio:             $(echo "scale=2; $skimlet_ms / $minimal_ms" | bc)"
