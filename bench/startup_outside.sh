#!/usr/bin/env bash
# Start-up and memory measured from outside, as a user sees them: skimlet.exe beside bench_minimal.exe (the smallest
# window program, built the same way) and bench_minimal_controls.exe (the same with the controls, fonts and tray icon
# that skimlet's window has before it shows), each started N times with `wine` on a fresh 1920x1080x24 display by
# bench_startup_outside (a Linux program of the native build), which times process creation to the X server's map of
# the program's window and reads the memory of the process one second later. Prints both medians and their ratios.
#   bench/startup_outside.sh [build folder, default build/windows] [runs, default 15] [native build, default build/native]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
watcher="${3:-$ROOT/build/native}/bench/outside/bench_startup_outside"
[ -x "$watcher" ] || { echo "no $watcher: build it first (bench/run-all.sh builds it)" >&2; exit 1; }
bench_open "${1:-}" bench/bench_minimal.exe bench/bench_minimal_controls.exe bin/skimlet.exe
runs=${2:-15}
# Copies in a fresh folder: no list files beside skimlet.exe, as on a first start.
cp "$build/bin/skimlet.exe" "$build/bench/bench_minimal.exe" "$build/bench/bench_minimal_controls.exe" "$out/"
"$watcher" "$runs" "$out/skimlet.exe" "$out/bench_minimal.exe" "$out/bench_minimal_controls.exe" > "$out/bench.txt" ||
  { echo "bench_startup_outside failed" >&2; cat "$out/bench.txt" >&2; exit 1; }
field() { field_of "$out/bench.txt" "$1"; }
ratio() { echo "scale=2; $1 / $2" | bc; }

echo "machine: $(host_cpu); $(nproc) logical CPUs; $(uname -sr); load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "runs: $(field runs) each, \`wine program.exe\` to the map of its window, medians in milliseconds"
echo "skimlet.exe:       $(field skimlet_ms_median)    (all: $(field skimlet_ms_all))"
echo "bench_minimal.exe: $(field bench_minimal_ms_median)    (all: $(field bench_minimal_ms_all))"
echo "bench_minimal_controls.exe: $(field bench_minimal_controls_ms_median)" \
  "   (all: $(field bench_minimal_controls_ms_all))"
echo "ratio:             $(ratio "$(field skimlet_ms_median)" "$(field bench_minimal_ms_median)")" \
  "   against the program with the same controls: $(ratio "$(field skimlet_ms_median)" \
  "$(field bench_minimal_controls_ms_median)")"
echo "memory one second after the window showed, medians: skimlet.exe VmRSS $(field skimlet_rss_kb_median) kB," \
  "RssAnon $(field skimlet_anon_kb_median) kB; bench_minimal.exe VmRSS $(field bench_minimal_rss_kb_median) kB," \
  "RssAnon $(field bench_minimal_anon_kb_median) kB"
echo "resident ratio:    $(ratio "$(field skimlet_rss_kb_median)" "$(field bench_minimal_rss_kb_median)")"
