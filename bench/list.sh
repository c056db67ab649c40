#!/usr/bin/env bash
# "skimlet list" over thousands of visible top-level windows of another process, beside a program that reads the same
# facts of each window (process id, image path, class, stored title, rectangle) and nothing else, in one run:
# bench_list under Wine on a fresh 1920x1080x24 display. Prints the machine, then the medians and their ratios.
#   bench/list.sh [build folder, default build/windows] [windows, default 5000] [runs, default 3]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/bench/kit.sh"
bench_open "${1:-}" bench/bench_list.exe bin/skimlet.com
wine "$build/bench/bench_list.exe" "$(winepath -w "$build/bin/skimlet.com")" "${2:-5000}" "${3:-3}" 2>/dev/null |
  tr -d '\r' > "$out/list.txt"
f() { field_of "$out/list.txt" "$1"; }
print_machine "$out/list.txt"
echo "windows: $(f windows) visible top-level windows of another process ($(f listed) lines listed)"
echo "bare reads of the same facts:           median $(f bare_ms) ms of $(f runs) runs"
echo "list's reads in the benchmark process:  median $(f engine_ms) ms ($(f engine_ratio) times the bare reads)"
echo "skimlet.com list, whole process:        median $(f list_ms) ms ($(f list_ratio) times the bare reads)"
