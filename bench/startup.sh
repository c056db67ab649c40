#!/usr/bin/env bash
# Start-up time: skimlet.exe beside bench_minimal.exe (the smallest window program, built the same way), each started
# N times under Wine on a fresh 1920x1080x24 display by bench_startup, which times process creation to the first
# visible top-level window. Prints both medians and their ratio.
#   bench/startup.sh [build folder, default build/windows] [runs, default 15]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"
build=$(cd "${1:-$ROOT/build/windows}" && pwd)
runs=${2:-15}
helper="$build/bench/bench_startup.exe"
minimal="$build/bench/bench_minimal.exe"
skimlet="$build/bin/skimlet.exe"
for f in "$helper" "$minimal" "$skimlet"; do
  [ -f "$f" ] || { echo "no $f: build the skimlet, bench_startup and bench_minimal targets first" >&2; exit 1; }
done

out=$(mktemp)
trap 'stop_everything; rm -f "$out"' EXIT
start_display || exit 1
start_wine "$build/wineprefix"
wine "$helper" "$runs" "$(winepath -w "$skimlet")" "$(winepath -w "$minimal")" > "$out" 2>/dev/null ||
  { echo "bench_startup failed" >&2; tr -d '\r' < "$out" >&2; exit 1; }
field() { tr -d '\r' < "$out" | grep "^$1=" | cut -d= -f2-; }

skimlet_ms=$(field skimlet_ms_median)
minimal_ms=$(field bench_minimal_ms_median)
echo "machine: $(field cpu) (host: $(grep -m1 "model name" /proc/cpuinfo | cut -d: -f2- | sed "s/^ //")); $(nproc) logical CPUs; $(uname -sr)"
echo "display: $(field display) (Xvfb, $DISPLAY), Wine $(wine --version 2>/dev/null)"
echo "runs: $(field runs) each, process start to first visible window, medians in milliseconds"
echo "skimlet.exe:       $skimlet_ms    (all: $(field skimlet_ms_all))"
echo "bench_minimal.exe: $minimal_ms    (all: $(field bench_minimal_ms_all))"
echo "ratio:             $(echo "scale=2; $skimlet_ms / $minimal_ms" | bc)"
