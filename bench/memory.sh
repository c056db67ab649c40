#!/usr/bin/env bash
# Memory of skimlet.exe under Wine on a fresh 1920x1080x24 display: resident (VmRSS) and private anonymous (RssAnon)
# memory of the Wine process that hosts it, read from /proc after start-up and again after bench_memory has made
# N picks, each a whole drag with real mouse input from the picker over one of two windows and back.
# bench_minimal.exe's figures after start-up are printed beside them as the floor of any window program.
#   bench/memory.sh [build folder, default build/windows] [picks, default 1000]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_memory.exe bench/bench_minimal.exe bin/skimlet.exe
picks=${2:-1000}
minimal="$build/bench/bench_minimal.exe"
field() { field_of "$out/driver.txt" "$1"; }
figures() { echo "VmRSS $(status_kb "$1" VmRSS) kB, RssAnon $(status_kb "$1" RssAnon) kB"; }

# The floor: the smallest window program, two seconds after it started.
wine "$minimal" > /dev/null 2>&1 &
minimal_line="not measured"
for _ in $(seq 1 100); do
  pid=$(wine_pid_of bench_minimal.exe) && break
  sleep 0.1
done
if [ -n "${pid:-}" ]; then
  sleep 2
  minimal_line=$(figures "$pid")
  kill "$pid" 2>/dev/null
fi

start_driver started picks "$picks"
started_line=$(figures "$pid")
driver_step go picked "the picks"
picked_line=$(figures "$pid")
finish_driver

print_machine "$out/driver.txt"
printf '%-36s %s\n' "skimlet.exe after start-up:" "$started_line"
printf '%-36s %s\n' "skimlet.exe after $(field picks) picks:" \
  "$picked_line   ($(field confirmed) confirmed; $(field pick_ms_median) ms per pick, $(field picks_total_s) s in all)"
printf '%-36s %s\n' "bench_minimal.exe after start-up:" "$minimal_line"
[ "$status" = 0 ] || echo "note: bench_memory reported a failure (exit $status)"
