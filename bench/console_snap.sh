#!/usr/bin/env bash
# The console program's full-screen snapshot as a whole process, beside ImageMagick's import on the same display:
# `skimlet snap --screen --out x.png` (Wine start, capture, conversion by skimlet.dll, exit) against
# `import -window root x.png`. Prints the medians, the ratio and the machine.
#   bench/console_snap.sh [build folder, default build/windows] [runs, default 15]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bin/skimlet.com bin/skimlet.dll
runs=${2:-15}

now_ms() { date +%s%N | awk '{ printf "%.2f", $1 / 1000000 }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }'; }

# times_ms COMMAND...: the median of $runs runs of the command; stops the script when a run fails.
times_ms() {
  local times=() start
  for _ in $(seq 1 "$runs"); do
    start=$(now_ms)
    "$@" > /dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    times+=("$(echo "$(now_ms) - $start" | bc)")
  done
  printf '%s\n' "${times[@]}" | median
}

# The display as Xvfb and Wine leave it (no wallpaper: with one set on the root window by ImageMagick's display,
# import read back a blank screen while Wine's capture saw the picture, so the two would not capture the same).
skimlet_ms=$(times_ms wine "$build/bin/skimlet.com" snap --screen --out "$(winepath -w "$out/skimlet.png")")
import_ms=$(times_ms import -window root "$out/import.png")
read -r width height < <(identify -format '%w %h\n' "$out/skimlet.png")

echo "machine: $(host_cpu); $(nproc) logical CPUs; $(uname -sr)"
echo "display: ${width}x${height} (Xvfb, $DISPLAY), Wine $(wine --version 2>/dev/null), wineserver kept running"
echo "skimlet snap --screen --out x.png: median $skimlet_ms ms of $runs runs (whole process: Wine start included)"
echo "import -window root x.png:         median $import_ms ms of $runs runs"
echo "skimlet/import: $(echo "scale=2; $skimlet_ms / $import_ms" | bc)"
echo "PNG sizes in bytes: skimlet $(stat -c %s "$out/skimlet.png"), import $(stat -c %s "$out/import.png")"
