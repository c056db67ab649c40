#!/usr/bin/env bash
# The picker's poll and the target read: bench_inspect under Wine on a fresh 1920x1080x24 display.
#   bench/inspect.sh [build folder, default build/windows] [runs, default 2000]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/common.sh"
build=$(cd "${1:-$ROOT/build/windows}" && pwd)
runs=${2:-2000}
exe="$build/bench/bench_inspect.exe"
[ -f "$exe" ] || { echo "no $exe: build the bench_inspect target first" >&2; exit 1; }

out=$(mktemp)
trap 'stop_everything; rm -f "$out"' EXIT
start_display || exit 1
start_wine "$build/wineprefix"
wine "$exe" "$runs" > "$out" 2>/dev/null || { echo "bench_inspect failed" >&2; cat "$out"; exit 1; }
field() { tr -d '\r' < "$out" | grep "^$1=" | cut -d= -f2-; }

echo "machine: $(field cpu) (host: $(grep -m1 "model name" /proc/cpuinfo | cut -d: -f2- | sed "s/^ //")); $(nproc) logical CPUs; $(uname -sr)"
echo "display: $(field display) (Xvfb, $DISPLAY), Wine $(wine --version 2>/dev/null)"
echo "runs: $(field runs), medians in microseconds"
echo "Track, same window under the pointer:   $(field track_unchanged_us_median)"
echo "Track, another window (frames + event): $(field track_changed_us_median)   ($(field changes_seen) changes seen)"
echo "SetWnd, top-level window:               $(field setwnd_toplevel_us_median)"
echo "SetWnd, control with a font:            $(field setwnd_control_with_font_us_median)"
